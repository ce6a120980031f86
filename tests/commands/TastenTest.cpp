// The key handler: its table, paging with wrap-around, shifting, the pointer toggle, the magnifier
// keys, the windows it opens, and keys arriving through every window.
#include "commands/Tastentabelle.h"
#include "support/ShowFixture.h"
#include "windows/HilfeBoxForm.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <set>

TEST(Tastentabelle, EveryRowIsReachableAndNoneIsDoubled)
{
    std::set<std::pair<int, int>> gesehen;
    for (const Tastenzeile& z : Tastentabelle::Zeilen()) {
        EXPECT_TRUE(gesehen.insert({z.keyCode, z.shift}).second) << z.keyCode << "/" << z.shift;
        const qint16 shift = z.shift < 0 ? 0 : z.shift;
        const qint16 code = z.keyCode == 0 ? 65 : z.keyCode;  // "any other key": A
        EXPECT_EQ(Tastentabelle::Suchen(code, shift), &z) << z.keyCode;
    }
    // A key with rows but no condition met does nothing.
    EXPECT_EQ(Tastentabelle::Suchen(90, 0), nullptr);  // Z
    EXPECT_EQ(Tastentabelle::Suchen(37, 0), nullptr);  // Left
    EXPECT_EQ(Tastentabelle::Suchen(38, 0), nullptr);  // Up
    EXPECT_EQ(Tastentabelle::Suchen(117, 2)->aktion, Tastenaktion::AutomatikStarten);  // Ctrl+F6
}

class Tasten : public ShowTest {};

TEST_F(Tasten, PagingWrapsAroundAndConsumesTheKey)
{
    starten({{100, 80}, {100, 80}, {100, 80}});
    struct Schritt {
        Qt::Key key;
        Qt::KeyboardModifiers mod;
        int erwartet;
    } schritte[] = {
        {Qt::Key_F3, Qt::NoModifier, 1},      {Qt::Key_F3, Qt::NoModifier, 2},   {Qt::Key_F3, Qt::NoModifier, 0},
        {Qt::Key_F2, Qt::NoModifier, 2},      {Qt::Key_Right, Qt::AltModifier, 0}, {Qt::Key_Left, Qt::AltModifier, 2},
        {Qt::Key_Home, Qt::NoModifier, 0},    {Qt::Key_End, Qt::NoModifier, 2},  {Qt::Key_PageUp, Qt::NoModifier, 0},
        {Qt::Key_PageDown, Qt::NoModifier, 2}, {Qt::Key_Left, Qt::NoModifier, 2}, {Qt::Key_Right, Qt::NoModifier, 2},
    };
    for (const auto& s : schritte) {
        taste(s.key, s.mod);
        EXPECT_EQ(index(), s.erwartet) << s.key;
        EXPECT_EQ(programm().AngezeigteDatei, arbeitsliste().Text());
    }
    qint16 code = 114, shift = 0;
    form().Form_KeyDown(code, shift);
    EXPECT_EQ(code, 0);  // consumed
    code = 39;
    shift = 1;
    form().Form_KeyDown(code, shift);
    EXPECT_EQ(code, 39);  // Shift+Right is not consumed
    // Ctrl+Alt+Z as the handler receives it (pressing Ctrl or Alt alone is a key of its own):
    // modifiers are compared for equality, so nothing happens and the list stays.
    programm().listBoxForm().show();
    code = 90;
    shift = 6;
    form().Form_KeyDown(code, shift);
    EXPECT_TRUE(programm().listBoxForm().isVisible());
    EXPECT_FALSE(form().RechteckLupeScharf);
    EXPECT_EQ(code, 90);
}

TEST_F(Tasten, ShiftArrowsMoveThePictureAndStoreItsRectangle)
{
    starten({{300, 200}, {300, 200}});
    programm().wertxForm().CheckSpeichernBildPosition->setChecked(true);
    const QRect vorher = bild().Image1.pixel();
    taste(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(bild().Image1.pixel().x(), vorher.x() - 267);  // 4000 twips
    taste(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(bild().Image1.pixel().y(), vorher.y() - 133);  // 2000 twips
    taste(Qt::Key_Down, Qt::ShiftModifier);
    taste(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(bild().Image1.pixel(), vorher);
    taste(Qt::Key_Right, Qt::ShiftModifier);
    const Positionssatz& satz = programm().BildPosList[0];
    EXPECT_EQ(satz.Left, qRound(bild().Image1.Left()));
    EXPECT_EQ(satz.Top, qRound(bild().Image1.Top()));
    EXPECT_EQ(satz.Width, 4500);
    EXPECT_EQ(satz.Height, 3000);
}

TEST_F(Tasten, EveryKeyClosesTheHelpAndHidesTheMetadataViews)
{
    // Keys of every kind, also those with no key code of their own (symbols, umlauts, shifted
    // digits, dead keys, a key Qt does not know), pressed in each window that hands keys on.
    starten({{100, 80}, {100, 80}});
    ListBoxForm& liste = programm().listBoxForm();
    const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> tasten = {
        {Qt::Key_Left, Qt::NoModifier},         {Qt::Key_BracketLeft, Qt::NoModifier}, {Qt::Key_Slash, Qt::NoModifier},
        {Qt::Key_NumberSign, Qt::NoModifier},   {Qt::Key_Less, Qt::NoModifier},        {Qt::Key_Adiaeresis, Qt::NoModifier},
        {Qt::Key_ssharp, Qt::NoModifier},       {Qt::Key_Exclam, Qt::ShiftModifier},   {Qt::Key_section, Qt::ShiftModifier},
        {Qt::Key_Dead_Circumflex, Qt::NoModifier}, {Qt::Key_Dead_Acute, Qt::NoModifier}, {Qt::Key_unknown, Qt::NoModifier},
        {Qt::Key_Menu, Qt::NoModifier},         {Qt::Key_Shift, Qt::ShiftModifier},    {Qt::Key_Down, Qt::NoModifier},
        {Qt::Key_Z, Qt::NoModifier},            {Qt::Key_Escape, Qt::NoModifier},      {Qt::Key_Space, Qt::NoModifier},
    };
    // Keys with rows of which none applies here.
    const std::set<int> ohneZeile = {Qt::Key_Left, Qt::Key_Down, Qt::Key_Z};
    for (QWidget* fenster : {static_cast<QWidget*>(&bild()), static_cast<QWidget*>(&programm().xyPos()),
                             static_cast<QWidget*>(liste.ListBoxNeu)}) {
        for (auto [key, mod] : tasten) {
            liste.show();
            programm().hilfeBoxForm().Zeigen();
            liste.chkExifAnzeigen->setChecked(true);
            liste.chkExifAnzeigen->setEnabled(false);
            liste.txtEXIFInfo->show();
            bild().Shape1.Visible = true;
            // As the window system delivers them (the test library cannot type every one of these).
            QKeyEvent druck(QEvent::KeyPress, key, mod, QStringLiteral("?"));
            QCoreApplication::sendEvent(fenster, &druck);
            const QString was = fenster->objectName() + u' ' + QString::number(key, 16);
            EXPECT_FALSE(programm().hatHilfeBoxForm()) << qPrintable(was);
            EXPECT_FALSE(liste.chkExifAnzeigen->isChecked()) << qPrintable(was);
            EXPECT_TRUE(liste.chkExifAnzeigen->isEnabled()) << qPrintable(was);
            EXPECT_TRUE(liste.txtEXIFInfo->isHidden()) << qPrintable(was);
            EXPECT_FALSE(bild().Shape1.Visible) << qPrintable(was);
            // Those keys leave the list; every other one hides it, and the list hides itself on any key.
            EXPECT_EQ(liste.isVisible(), ohneZeile.count(key) && fenster != liste.ListBoxNeu) << qPrintable(was);
            EXPECT_EQ(index(), 0) << qPrintable(was);
        }
    }
}

TEST_F(Tasten, PointerToggleAndMagnifierKeys)
{
    starten({{100, 80}, {100, 80}});
    EXPECT_EQ(bild().cursor().shape(), Qt::ArrowCursor);
    taste(Qt::Key_F9);
    EXPECT_FALSE(form().blnMauszeigerSichtbar);
    EXPECT_EQ(bild().cursor().shape(), Qt::BitmapCursor);
    taste(Qt::Key_F9);
    EXPECT_TRUE(form().blnMauszeigerSichtbar);
    EXPECT_EQ(bild().cursor().shape(), Qt::ArrowCursor);
    taste(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(form().RechteckLupeScharf);
    EXPECT_EQ(bild().cursor().shape(), Qt::BitmapCursor);
    taste(Qt::Key_F9);
    taste(Qt::Key_F9);
    EXPECT_EQ(bild().cursor().shape(), Qt::BitmapCursor);  // the visible pointer is the magnifier
    taste(Qt::Key_O, Qt::ControlModifier);
    EXPECT_FALSE(form().RechteckLupeScharf);
    EXPECT_EQ(bild().cursor().shape(), Qt::ArrowCursor);
}

TEST_F(Tasten, ListOfOnePictureWrapsToItselfAndAnEmptyListStartsANewCompilationButAltF4StillEnds)
{
    starten({{100, 80}});
    taste(Qt::Key_F3);
    EXPECT_EQ(index(), 0);
    taste(Qt::Key_F2);
    EXPECT_EQ(index(), 0);
    arbeitsliste().Clear();
    taste(Qt::Key_F3);
    EXPECT_TRUE(form().blnNeuZusammenstellen);
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(bild().isVisible());
    EXPECT_EQ(platform.endRequests, 0);
    taste(Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(platform.endRequests, 1);
}

TEST_F(Tasten, KeysArriveThroughTheOtherWindows)
{
    starten({{100, 80}, {100, 80}, {100, 80}});
    // F10, F11 and F5 open the settings, the position and the list window.
    taste(Qt::Key_F10);
    EXPECT_TRUE(programm().wertxForm().isVisible());
    XYPos& xy = programm().xyPos();
    taste(Qt::Key_F11);
    EXPECT_TRUE(xy.isVisible());
    taste(&xy, Qt::Key_F3);
    EXPECT_FALSE(xy.isVisible());
    EXPECT_EQ(index(), 1);

    ListBoxForm& liste = programm().listBoxForm();
    taste(Qt::Key_F5);
    EXPECT_TRUE(liste.isVisible());
    EXPECT_TRUE(liste.chkIptcAnzeigen->isChecked());
    EXPECT_TRUE(liste.lstExifIptc->isVisible());
    taste(liste.ListBoxNeu, Qt::Key_F3);
    EXPECT_FALSE(liste.isVisible());
    EXPECT_EQ(index(), 2);
    // Return in the list shows the selected entry, like a double click.
    liste.show();
    arbeitsliste().setListIndex(0);
    taste(liste.ListBoxNeu, Qt::Key_Return);
    EXPECT_FALSE(liste.isVisible());
    EXPECT_EQ(programm().AngezeigteDatei, arbeitsliste().List(0));
    EXPECT_TRUE(form().blnListBoxNeuDblClick);

    // The help window only closes on a key, until it hands the keyboard to the picture window
    // after 100 ms; a key that reaches it after that (where the platform kept the focus there)
    // acts as in the picture window.
    HilfeBoxForm& hilfe = programm().hilfeBoxForm();
    hilfe.Zeigen();
    taste(&hilfe, Qt::Key_F3);
    EXPECT_FALSE(programm().hatHilfeBoxForm());
    EXPECT_EQ(index(), 0);
    HilfeBoxForm& spaeter = programm().hilfeBoxForm();
    QSignalSpy abgelaufen(&spaeter.Timer100msek, &QTimer::timeout);
    spaeter.Zeigen();
    ASSERT_TRUE(abgelaufen.wait(5000));
    taste(&spaeter, Qt::Key_F3);
    EXPECT_FALSE(programm().hatHilfeBoxForm());
    EXPECT_EQ(index(), 1);
    taste(Qt::Key_F2);

    // Alt+F4 ends the program from every window.
    taste(&programm().wertxForm(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(platform.endRequests, 0);  // the settings window passes no keys on
    taste(&xy, Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(platform.endRequests, 1);
}

TEST_F(Tasten, HelpCaptionsAndLinesThatSendTheirKeys)
{
    sprache(1);
    starten({{100, 80}, {100, 80}, {100, 80}});
    HilfeBoxForm& englisch = programm().hilfeBoxForm();
    EXPECT_EQ(englisch.windowTitle(), QStringLiteral("help for pressing the keys"));
    EXPECT_EQ(englisch.Label[2]->text(), QStringLiteral("F3 - go one image forward (or key Alt and ->)"));
    EXPECT_EQ(englisch.lblAltF4->text(), QStringLiteral("Alt+F4 - end"));
    EXPECT_EQ(englisch.geometry(), QRect(200, 200, 850, 500));
    const struct {
        int zeile;
        int index;
        bool lupe;
    } faelle[] = {{2, 1, false}, {1, 0, false}, {11, 0, true}, {12, 0, false}};
    for (const auto& f : faelle) {
        HilfeBoxForm& hilfe = programm().hilfeBoxForm();
        hilfe.Zeigen();
        hilfe.ZeileGeklickt(f.zeile);
        EXPECT_FALSE(programm().hatHilfeBoxForm());
        EXPECT_EQ(index(), f.index) << f.zeile;
        EXPECT_EQ(form().RechteckLupeScharf, f.lupe) << f.zeile;
    }
    programm().hilfeBoxForm().ZeileGeklickt(13);
    EXPECT_EQ(platform.endRequests, 1);
}
