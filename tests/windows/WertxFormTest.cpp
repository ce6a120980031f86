// The settings window: design values, the interval check, start and stop, background, brightness
// and its reset, the frames' layout, closing; what pictures read of it before it is made.
#include "support/ShowFixture.h"
#include "windows/WertxForm.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QGroupBox>
#include <QTest>

#include <algorithm>
#include <optional>

class Einstellungen : public ShowTest {
protected:
    WertxForm& w() { return programm().wertxForm(); }
};

TEST_F(Einstellungen, FreshStartShowsTheDesignValuesAndClosingKeepsWhatWasChanged)
{
    starten({{10, 10}, {10, 10}});
    EXPECT_EQ(w().txtInterval->text(), QStringLiteral("3"));
    EXPECT_TRUE(w().optSchwarz->isChecked());
    EXPECT_TRUE(w().OptAlphabetisch->isChecked());
    EXPECT_EQ(w().HScroll1->value(), 80);
    EXPECT_EQ(w().HScroll1->minimum(), 0);
    EXPECT_EQ(w().HScroll1->maximum(), 175);
    EXPECT_EQ(w().txtHelligkeit->text(), QStringLiteral("80"));
    EXPECT_TRUE(w().Opt1024Oder768->isChecked());
    EXPECT_FALSE(w().CheckSpeichernBildPosition->isChecked());
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(w().Opt1024Oder768->text(), QStringLiteral("ab Bildbreite 1024 Pixel oder Bildhöhe 768 Pixel"));
    EXPECT_EQ(form().Timer1.interval(), 3000);

    w().show();
    w().OptZufaellig->setChecked(true);
    w().txtInterval->setText(QStringLiteral("12"));
    w().close();
    EXPECT_FALSE(w().isVisible());
    taste(Qt::Key_F10);
    EXPECT_TRUE(w().isVisible());
    EXPECT_TRUE(w().OptZufaellig->isChecked());
    EXPECT_EQ(w().txtInterval->text(), QStringLiteral("12"));
}

TEST_F(Einstellungen, IntervalIsAWholeNumberOfSecondsFromOneToSixty)
{
    starten({{10, 10}, {10, 10}});
    for (const char* falsch : {"", "0", "61", "abc", "100", "1,5", "1e1", "-5"}) {
        platform.messages.clear();
        form().Timer1.setInterval(3000);
        w().show();
        w().txtInterval->setText(QString::fromLatin1(falsch));
        w().btnStarten->click();
        ASSERT_EQ(platform.messages.size(), 1u) << falsch;
        EXPECT_EQ(platform.messages[0].text, QStringLiteral("Geben Sie einen Wert zwischen 1 und 60 ein"));
        EXPECT_FALSE(form().Timer1.isActive());
        EXPECT_EQ(form().Timer1.interval(), 3000);
        EXPECT_TRUE(w().isVisible());
    }
    for (auto [text, ms] : std::vector<std::pair<const char*, int>>{{"1", 1000}, {"60", 60000}, {"7", 7000}}) {
        w().show();
        w().txtInterval->setText(QString::fromLatin1(text));
        w().btnStarten->click();
        EXPECT_EQ(form().Timer1.interval(), ms);
        EXPECT_TRUE(form().Timer1.isActive());
        EXPECT_TRUE(form().F6TimerGestartet);
        EXPECT_FALSE(w().isVisible());
    }
    // "Do not start" takes the interval over and stops the running show.
    w().txtInterval->setText(QStringLiteral("9"));
    w().btnNichtStarten->click();
    EXPECT_EQ(form().Timer1.interval(), 9000);
    EXPECT_FALSE(form().Timer1.isActive());
    EXPECT_FALSE(form().F6TimerGestartet);
}

TEST_F(Einstellungen, BrightnessBarAppliesOnReleaseOrStepAndResetShowsTwiceWhenNeeded)
{
    starten({{10, 10}, {10, 10}});
    QSignalSpy angezeigt(&form(), &FotolaufForm::BildAngezeigt);
    w().show();
    QScrollBar* bar = w().HScroll1;
    // Dragging the thumb: nothing applies on the way (the field follows), the level applies when
    // the thumb is let go.
    bar->setSliderDown(true);
    for (int wert : {85, 97, 110}) {
        bar->setSliderPosition(wert);
        EXPECT_TRUE(w().isVisible()) << wert;
        EXPECT_EQ(form().Helligkeit, 80) << wert;
        EXPECT_EQ(w().txtHelligkeit->text(), QString::number(wert));
    }
    EXPECT_EQ(angezeigt.count(), 0);
    bar->setSliderDown(false);
    EXPECT_EQ(form().Helligkeit, 110);
    EXPECT_FALSE(w().isVisible());
    EXPECT_EQ(angezeigt.count(), 1);

    // Tab reaches the bar from the field before it, and an arrow key is one step.
    bar->setValue(80);
    angezeigt.clear();
    w().show();
    // Tab goes to the next control in the focus chain that takes the focus by Tab.
    QWidget* naechstes = w().txtHelligkeit->nextInFocusChain();
    while (naechstes != w().txtHelligkeit && !(naechstes->focusPolicy() & Qt::TabFocus && naechstes->isVisibleTo(&w())))
        naechstes = naechstes->nextInFocusChain();
    EXPECT_EQ(naechstes, bar);
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(form().Helligkeit, 81);
    EXPECT_EQ(w().txtHelligkeit->text(), QStringLiteral("81"));
    EXPECT_FALSE(w().isVisible());
    EXPECT_EQ(angezeigt.count(), 1);

    w().HScroll1->setValue(120);
    angezeigt.clear();
    w().btnZuruecksetzen->click();
    EXPECT_EQ(angezeigt.count(), 2);
    EXPECT_EQ(form().Helligkeit, 80);
    EXPECT_EQ(w().HScroll1->value(), 80);
    EXPECT_EQ(w().txtHelligkeit->text(), QStringLiteral("80"));
    angezeigt.clear();
    w().btnZuruecksetzen->click();
    EXPECT_EQ(angezeigt.count(), 1);
}

TEST_F(Einstellungen, ControlsSitInsideTheirFramesBelowTheBorder)
{
    starten({{10, 10}, {10, 10}});
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    const QColor grund = w().palette().color(QPalette::Window);
    for (QGroupBox* rahmen : {w().Frame1, w().Frame2, w().Frame3, w().Frame4, w().Frame5}) {
        // The frame alone, without its controls; its top border is the first row whose right half
        // differs from the window.
        QImage bild(rahmen->size(), QImage::Format_RGB32);
        bild.fill(grund);
        rahmen->render(&bild, {}, {}, QWidget::DrawWindowBackground);
        int rand = -1;
        for (int y = 0; y < bild.height() && rand < 0; ++y) {
            int anders = 0;
            for (int x = bild.width() / 2; x < bild.width() - 4; ++x)
                anders += bild.pixelColor(x, y) != grund;
            if (anders > (bild.width() / 2 - 4) * 8 / 10)
                rand = y;
        }
        ASSERT_GE(rand, 0) << qPrintable(rahmen->objectName());
        for (QWidget* c : rahmen->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_GT(c->geometry().top(), rand) << qPrintable(c->objectName());
    }
}

TEST_F(Einstellungen, BackgroundOptionsActHoweverTheyAreChosen)
{
    starten({{10, 10}, {10, 10}});
    const QColor grau = QApplication::palette().color(QPalette::Button), schwarz = Qt::black;
    QRadioButton* knopf[2] = {w().optGrau, w().optSchwarz};
    auto waehlen = [&](int welcher, const char* wie) {
        QRadioButton* k = knopf[welcher];
        QRadioButton* anderer = knopf[1 - welcher];
        if (std::string_view(wie) == "mouse") {
            QTest::mouseClick(k, Qt::LeftButton, {}, QPoint(5, k->height() / 2));
        } else if (std::string_view(wie) == "arrow key") {
            // From the chosen button of the group to the other one.
            anderer->setFocus();
            QTest::keyClick(anderer, k == w().optGrau ? Qt::Key_Up : Qt::Key_Down);
        } else if (std::string_view(wie) == "space") {
            k->setFocus();
            QTest::keyClick(k, Qt::Key_Space);
        } else if (std::string_view(wie) == "accessibility") {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(k);
            ASSERT_TRUE(a && a->actionInterface());
            const QStringList aktionen = a->actionInterface()->actionNames();
            ASSERT_FALSE(aktionen.isEmpty());
            // What a screen reader offers first for an option button.
            a->actionInterface()->doAction(aktionen.first());
            ASSERT_TRUE(QTest::qWaitFor([k] { return k->isChecked(); })) << wie;
        } else {
            k->setChecked(true);
        }
    };
    for (const char* wie : {"mouse", "arrow key", "space", "accessibility", "program"}) {
        for (int welcher : {0, 1}) {
            // On screen and active, so that the keys reach it. The test platform tells of an
            // activation only when another window was active before: the picture window is.
            w().show();
            ASSERT_TRUE(QTest::qWaitFor([this] {
                if (!w().isActiveWindow()) {
                    bild().activateWindow();
                    w().activateWindow();
                }
                return w().isActiveWindow();
            })) << wie << " " << welcher;
            waehlen(welcher, wie);
            EXPECT_TRUE(knopf[welcher]->isChecked()) << wie << " " << welcher;
            EXPECT_EQ(bild().Hintergrundfarbe(), welcher == 0 ? grau : schwarz) << wie << " " << welcher;
            EXPECT_FALSE(w().isVisible()) << wie << " " << welcher;
        }
    }
    // A click on the button already chosen acts as well.
    w().show();
    w().optSchwarz->click();
    EXPECT_FALSE(w().isVisible());
    EXPECT_EQ(bild().Hintergrundfarbe(), schwarz);
}

TEST_F(Einstellungen, PicturesAreShownBeforeTheWindowIsMadeAsANewWindowWouldSay)
{
    // The first picture does not wait for the settings window: it is made once that picture is on
    // screen. Until then the settings read as a new window starts; from then on, from its controls.
    auto fensterDa = [] {
        const QList<QWidget*> alle = QApplication::allWidgets();
        return std::any_of(alle.begin(), alle.end(), [](QWidget* w) { return qobject_cast<WertxForm*>(w) != nullptr; });
    };
    ScriptedPlatform start;
    start.appDataFolder = platform.appDataFolder;
    start.givenArguments = {Fixtures::writePicture(pfad("a.jpg"), 30, 20), Fixtures::writePicture(pfad("b.jpg"), 20, 30)};
    Programm p(start);
    std::optional<bool> beimErstenBild;
    QObject::connect(&p.fotolaufForm(), &FotolaufForm::BildAngezeigt, &p.fotolaufForm(), [&] { beimErstenBild = fensterDa(); },
                     Qt::SingleShotConnection);
    const Einstellungsstand ohneFenster = p.Einstellungen();
    p.Starten();
    EXPECT_EQ(beimErstenBild, std::optional<bool>(false));
    ASSERT_TRUE(QTest::qWaitFor(fensterDa));
    WertxForm& w = p.wertxForm();
    EXPECT_EQ(w.Lesen(), ohneFenster);

    const std::pair<QRadioButton*, Vergroesserung> regeln[] = {
        {w.OptKeine, Vergroesserung::Keine}, {w.Opt640, Vergroesserung::Ab640}, {w.Opt800, Vergroesserung::Ab800},
        {w.Opt1024, Vergroesserung::Ab1024}, {w.Opt1024Oder768, Vergroesserung::Ab1024Oder768}};
    for (const auto& [knopf, regel] : regeln)
        for (bool zufaellig : {false, true})
            for (bool speichern : {false, true}) {
                knopf->setChecked(true);
                (zufaellig ? w.OptZufaellig : w.OptAlphabetisch)->setChecked(true);
                w.CheckSpeichernBildPosition->setChecked(speichern);
                EXPECT_EQ(p.Einstellungen(), (Einstellungsstand{regel, !zufaellig, speichern})) << knopf->objectName().toStdString();
            }
}
