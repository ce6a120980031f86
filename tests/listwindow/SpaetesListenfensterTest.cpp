// The list window is not made on the way to the first picture: the start makes it once that
// picture is painted, and anything that needs it sooner (the list key) makes it then. Made late,
// it shows exactly what a window that was there from the start shows: title, selection and
// scroll position, ticks, the EXIF and IPTC check boxes, the EXIF text or the note that the
// selected entry is not the picture shown.
#include "app/Startbild.h"
#include "support/ShowFixture.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <map>
#include <optional>

namespace {

// How the list window of a run comes to be.
enum class Fenster {
    VonAnfang,  // when the working list is first filled, as if it had always been made at once
    Spaeter,    // by whatever asks for it after the keys
    DurchF5,    // by the list key after the keys
};

// One key of a sequence, or a tick set on an entry of the working list.
struct Schritt {
    Qt::Key taste = Qt::Key_unknown;
    int haken = -1;
};

// A started program of its own.
struct Sitzung {
    ScriptedPlatform platform;
    std::unique_ptr<Programm> programm;
    // Whether a list window existed when the first picture was shown.
    std::optional<bool> fensterBeimErstenBild;

    void ausfuehren(const std::vector<Schritt>& schritte)
    {
        for (const Schritt& s : schritte) {
            if (s.haken >= 0)
                programm->Arbeitsliste().setSelected(s.haken, true);
            else
                QTest::keyClick(&programm->imageForm(), s.taste);
        }
    }
};

// What the list window shows and what the program said, one line each (makes the window).
QStringList zustand(Sitzung& s)
{
    ListBoxForm& l = s.programm->listBoxForm();
    const BildListenFeld& feld = *l.ListBoxNeu;
    QStringList z;
    z << "title: " + l.windowTitle();
    z << QStringLiteral("visible: %1, shown: %2").arg(l.isVisible()).arg(QFileInfo(s.programm->AngezeigteDatei).fileName());
    QStringList markiert;
    for (const QModelIndex& i : feld.selectionModel()->selectedRows())
        markiert << QString::number(i.row());
    z << QStringLiteral("current row %1, highlighted %2, scrolled to %3")
             .arg(feld.currentIndex().row())
             .arg(markiert.join(u','))
             .arg(feld.verticalScrollBar()->value());
    QStringList haken;
    for (int i = 0; i < feld.model()->rowCount(); ++i)
        if (feld.model()->index(i, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked)
            haken << QString::number(i);
    z << QStringLiteral("%1 entries, ticked %2").arg(feld.model()->rowCount()).arg(haken.join(u','));
    for (const QCheckBox* c : {l.chkExifAnzeigen, l.chkIptcAnzeigen})
        z << QStringLiteral("%1: ticked %2, enabled %3").arg(c->text()).arg(c->isChecked()).arg(c->isEnabled());
    z << QStringLiteral("EXIF text (%1, enabled %2): %3")
             .arg(l.txtEXIFInfo->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown"))
             .arg(l.txtEXIFInfo->isEnabled())
             .arg(l.txtEXIFInfo->toPlainText());
    QStringList iptc;
    for (int i = 0; i < l.lstExifIptc->count(); ++i)
        iptc << l.lstExifIptc->item(i)->text();
    z << QStringLiteral("IPTC (%1): %2").arg(l.lstExifIptc->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown"), iptc.join(u'|'));
    z << "messages: " + s.platform.messageTexts().join(QStringLiteral(" / "));
    return z;
}

}  // namespace

class SpaetesListenfenster : public ShowTest {
protected:
    // A slide list of kBilder entries, in this order: a picture, one with EXIF fields, one that
    // cannot be loaded, one with IPTC fields, then pictures again (enough to scroll the list).
    static constexpr int kBilder = 30;
    static constexpr int kKaputt = 2;
    QString diaListe()
    {
        QStringList zeilen;
        for (int i = 0; i < kBilder; ++i) {
            const QString name = pfad(QStringLiteral("bild%1.jpg").arg(i, 2, 10, QChar(u'0')));
            if (i == 1)
                zeilen << QStringLiteral(FOTOLAUF_SAMPLES_DIR "/exif/exiftool__Canon.jpg");
            else if (i == kKaputt)
                zeilen << Fixtures::writeFile(name, "kein Bild");
            else if (i == 3)
                zeilen << QStringLiteral(FOTOLAUF_SAMPLES_DIR "/iptc/exiftool__IPTC.jpg");
            else
                zeilen << Fixtures::writePicture(name, 16 + i, 12, i % 2 ? Qt::blue : Qt::yellow);
        }
        return Fixtures::writeFile(pfad(QStringLiteral("schau.flf")), zeilen.join(u'\n').toUtf8() + '\n');
    }

    // Starts a program on the slide list. Without `startbild` nothing that belongs to the start
    // stays behind to make the list window once the first picture is painted: the test decides
    // when it is made.
    std::unique_ptr<Sitzung> starten(Fenster fenster, bool startbild)
    {
        auto s = std::make_unique<Sitzung>();
        s->platform.appDataFolder = platform.appDataFolder;
        s->platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
        s->platform.givenArguments = {m_liste};
        s->programm = std::make_unique<Programm>(s->platform);
        Programm& p = *s->programm;
        if (fenster == Fenster::VonAnfang)
            QObject::connect(&p.Arbeitsliste(), &BildListe::Geaendert, &p.Arbeitsliste(), [&p] { p.listBoxForm(); },
                             Qt::SingleShotConnection);
        QObject::connect(&p.fotolaufForm(), &FotolaufForm::BildAngezeigt, &p.fotolaufForm(),
                         [&p, roh = s.get()] { roh->fensterBeimErstenBild = p.hatListBoxForm(); }, Qt::SingleShotConnection);
        p.Starten();
        if (!startbild)
            delete p.fotolaufForm().findChild<Startbild*>();
        return s;
    }

    void SetUp() override { m_liste = diaListe(); }
    QString m_liste;
};

TEST_F(SpaetesListenfenster, MadeOnlyAfterTheFirstPictureIsPaintedAndThenAsIfItHadBeenThereAllAlong)
{
    auto vonAnfang = starten(Fenster::VonAnfang, true);
    EXPECT_EQ(vonAnfang->fensterBeimErstenBild, std::optional<bool>(true));

    // Nothing asks for it: the start makes it once the picture is on screen.
    auto spaeter = starten(Fenster::Spaeter, true);
    EXPECT_EQ(spaeter->fensterBeimErstenBild, std::optional<bool>(false));
    EXPECT_FALSE(spaeter->programm->hatListBoxForm());
    ASSERT_TRUE(QTest::qWaitFor([&] { return spaeter->programm->hatListBoxForm(); }));
    EXPECT_EQ(zustand(*spaeter), zustand(*vonAnfang));

    // The list key at once, before the start got to it.
    auto sofort = starten(Fenster::DurchF5, true);
    EXPECT_EQ(sofort->fensterBeimErstenBild, std::optional<bool>(false));
    ASSERT_FALSE(sofort->programm->hatListBoxForm());
    for (Sitzung* s : {vonAnfang.get(), sofort.get()})
        s->ausfuehren({{Qt::Key_F5}});
    EXPECT_TRUE(sofort->programm->listBoxForm().isVisible());
    EXPECT_EQ(zustand(*sofort), zustand(*vonAnfang));
}

TEST_F(SpaetesListenfenster, KeysBeforeTheWindowIsMadeLeaveItAsAWindowMadeAtOnceWouldBe)
{
    // Left alone is no key of the table: it only hides the list window.
    const Schritt F2{Qt::Key_F2}, F3{Qt::Key_F3}, Pos1{Qt::Key_Home}, Ende{Qt::Key_End}, Links{Qt::Key_Left};
    const struct {
        const char* was;
        std::vector<Schritt> schritte;
    } folgen[] = {
        {"the first picture", {}},
        {"the next one, with EXIF fields", {F3}},
        {"forward and back", {F3, F3, F3, F2}},
        {"the last entry, far down the list", {Ende}},
        {"last, first, next", {Ende, Pos1, F3}},
        {"onto the picture that cannot be loaded", {F3, F3}},
        {"past the picture that cannot be loaded", {F3, F3, F3}},
        {"back onto it", {F3, F3, F3, F2}},
        {"a key that keeps the picture, on it", {F3, F3, Links}},
        {"a key that keeps the picture", {F3, Links}},
        {"from the first back round to the last", {F2}},
        {"ticked entries, one of them shown", {{Qt::Key_unknown, 0}, {Qt::Key_unknown, kBilder - 1}, Ende}},
        {"a ticked entry passed by", {{Qt::Key_unknown, 4}, F3, F3, F3, F3, F3}},
    };
    for (const auto& f : folgen) {
        SCOPED_TRACE(f.was);
        std::map<Fenster, std::unique_ptr<Sitzung>> laeufe;
        for (Fenster art : {Fenster::VonAnfang, Fenster::Spaeter, Fenster::DurchF5}) {
            laeufe[art] = starten(art, false);
            laeufe[art]->ausfuehren(f.schritte);
        }
        Sitzung& vonAnfang = *laeufe[Fenster::VonAnfang];
        Sitzung& spaeter = *laeufe[Fenster::Spaeter];
        Sitzung& durchF5 = *laeufe[Fenster::DurchF5];
        // The keys went by while there was no window.
        ASSERT_FALSE(spaeter.programm->hatListBoxForm());
        ASSERT_FALSE(durchF5.programm->hatListBoxForm());

        const QStringList erwartet = zustand(vonAnfang);
        EXPECT_EQ(zustand(spaeter), erwartet);
        for (Sitzung* s : {&vonAnfang, &spaeter, &durchF5})
            s->ausfuehren({{Qt::Key_F5}});
        const QStringList offen = zustand(vonAnfang);
        EXPECT_NE(offen, erwartet);  // the list key did show it, with its IPTC view
        EXPECT_EQ(zustand(spaeter), offen);
        EXPECT_EQ(zustand(durchF5), offen);

        // The EXIF view of the entry, and a step on with the window open.
        for (Sitzung* s : {&vonAnfang, &spaeter, &durchF5})
            s->programm->listBoxForm().chkExifAnzeigen->setChecked(true);
        EXPECT_EQ(zustand(spaeter), zustand(vonAnfang));
        EXPECT_EQ(zustand(durchF5), zustand(vonAnfang));
        for (Sitzung* s : {&vonAnfang, &durchF5})
            QTest::keyClick(s->programm->listBoxForm().ListBoxNeu, Qt::Key_F3);
        EXPECT_EQ(zustand(durchF5), zustand(vonAnfang));
    }
}
