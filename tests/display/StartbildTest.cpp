// The picture a start shows first is decoded while the start-up goes on (during the folder
// question, for one): it is shown only while its file and the screen are as they were for that
// decode, its neighbours are decoded ahead only once it is painted, and a picture that cannot be
// loaded is reported where the start-up reports it without that early decode. A decode begun before
// the program is up, from the arguments alone, is taken the same way.
#include "display/BildVorlader.h"
#include "display/Dateistempel.h"
#include "display/Dekodierer.h"
#include "display/FruehDekodierung.h"
#include "lists/ErstesBild.h"
#include "support/ShowFixture.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

const QColor kRot(Qt::red);
const QColor kGruen(Qt::green);

bool aehnlich(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
}

bool bis(const std::function<bool()>& bedingung)
{
    return QTest::qWaitFor(bedingung, 20000);
}

QString ladefehler(const QString& eintrag)
{
    return "Bild kann nicht geladen werden.\r\n" + eintrag +
           "\r\nPrüfen Sie ob diese Datei existiert\r\noder ob es sich um einen verbotenen Dateityp handelt.";
}

// Writes down every message box, and whether the picture window was on screen under it.
struct Protokollplattform : ScriptedPlatform {
    QStringList protokoll;
    std::function<bool()> bildFensterSichtbar = [] { return false; };
    int messageBox(const MessageBoxRequest& anfrage) override
    {
        protokoll.append(QStringLiteral("message: ") + anfrage.text +
                         (bildFensterSichtbar() ? QStringLiteral(" (over the picture window)") : QString()));
        return ScriptedPlatform::messageBox(anfrage);
    }
};

// A start of its own in a folder of its own holding a.bmp (red) and b.bmp (green), every decode
// counted (and held when the test says so), and what happens written down in order: messages, the
// folder question (answered "without sub-folders") and the first picture shown.
struct Start {
    Start(const QString& ordner, const QString& einstellungen)
        : ordner(ordner)
    {
        platform.appDataFolder = einstellungen;
        platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
        Fixtures::writePicture(datei(0), 64, 48, Qt::red);
        Fixtures::writePicture(datei(1), 64, 48, Qt::green);
    }
    ~Start() { dekodierer->frei.release(1000); }
    QString datei(int i) const { return ordner + u'/' + QChar(u'a' + i) + QStringLiteral(".bmp"); }
    // frueh false: no picture is decoded before the start-up asks for it.
    void starten(const QStringList& argumente, bool frueh = true, std::function<void()> waehrendDerFrage = [] {})
    {
        platform.givenArguments = argumente;
        platform.onModal = [this, waehrendDerFrage](QDialog& frage) {
            platform.protokoll.append(QStringLiteral("folder question"));
            waehrendDerFrage();
            dynamic_cast<frmDurchsuchenUnterOrdner&>(frage).btnOhneUnterordner->click();
        };
        programm = std::make_unique<Programm>(platform);
        platform.bildFensterSichtbar = [this] { return programm->imageForm().isVisible(); };
        vorlader().setVorausladen(frueh);
        std::shared_ptr<Dekodierer> d = dekodierer;
        vorlader().setLadefunktion(
            [d](const QString& p, QSize a, const ByteTable* t, const CancelFlag& c) { return (*d)(p, a, t, c); });
        QObject::connect(&programm->fotolaufForm(), &FotolaufForm::BildAngezeigt,
                         [this] { platform.protokoll.append(QStringLiteral("shown: ") + programm->AngezeigteDatei); });
        vorDemStart();
        programm->Starten();
    }
    BildVorlader& vorlader() { return programm->fotolaufForm().Vorlader(); }
    ImageForm& bild() { return programm->imageForm(); }
    QColor farbe() { return bild().Image1Bild().image.pixelColor(5, 5); }
    int wieOft(int i) { return dekodierer->wieOft(QFileInfo(datei(i)).fileName()); }

    QString ordner;
    Protokollplattform platform;
    std::shared_ptr<Dekodierer> dekodierer = std::make_shared<Dekodierer>();
    std::unique_ptr<Programm> programm;
    std::function<void()> vorDemStart = [] {};
};

// Counts the paints of a window and runs `beimErsten` at the first.
struct Malzaehler : QObject {
    std::function<void()> beimErsten;
    int anzahl = 0;
    bool eventFilter(QObject*, QEvent* ereignis) override
    {
        if (ereignis->type() == QEvent::Paint && ++anzahl == 1)
            beimErsten();
        return false;
    }
};

// Lets a held decode go once the start-up waits for it.
struct FreigabeBeimWarten {
    explicit FreigabeBeimWarten(Start& s)
    {
        QObject::connect(&uhr, &QTimer::timeout, [this, &s] {
            if (s.programm && s.vorlader().aufschub().wartet()) {
                uhr.stop();
                s.dekodierer->halten({});
                s.dekodierer->frei.release();
            }
        });
    }
    void starten() { uhr.start(1); }
    QTimer uhr;
};

}  // namespace

class FruehesStartbild : public ShowTest {};

TEST_F(FruehesStartbild, PictureDecodedDuringTheStartIsTakenOnlyWhileItsFileAndTheScreenAreUnchanged)
{
    // One picture started: its decode begins before the folder question and is done (or held)
    // while the question waits; meanwhile its file or the screen may change.
    // (A file removed meanwhile is not in the folder's list any more: that start shows another one.)
    enum class Aenderung { Keine, GehaltenBisZumWarten, Ersetzt, Umbenannt, BeimLesen, Bildschirm };
    const struct {
        const char* was;
        Aenderung aenderung;
        QColor farbe;  // shown
        int dekodiert;
    } faelle[] = {
        {"unchanged: the start's own decode is shown", Aenderung::Keine, kRot, 1},
        {"unchanged, still decoding when the start asks for it", Aenderung::GehaltenBisZumWarten, kRot, 1},
        {"new content of the same size, times put back (touch -r)", Aenderung::Ersetzt, Qt::magenta, 2},
        {"new content renamed over it, times put back", Aenderung::Umbenannt, Qt::darkRed, 2},
        {"rewritten once read, while the start waits for that decode", Aenderung::BeimLesen, Qt::magenta, 2},
        {"the screen changed its size", Aenderung::Bildschirm, kRot, 2},
    };
    int n = 0;
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        Start s(pfad(QString::number(++n)), platform.appDataFolder);
        const QString a = s.datei(0);
        FreigabeBeimWarten freigabe(s);
        if (f.aenderung == Aenderung::GehaltenBisZumWarten || f.aenderung == Aenderung::BeimLesen)
            s.dekodierer->halten({QStringLiteral("a.bmp")}, f.aenderung == Aenderung::BeimLesen);
        // Changed until the file system's clock has moved on: the change time tells.
        auto ersetzen = [&](Qt::GlobalColor farbe, bool umbenennen) {
            const Dateistempel vorher = Dateistempel::von(a);
            ASSERT_TRUE(bis([&] { return Fixtures::replaceKeepingTimes(a, farbe, umbenennen) && !(Dateistempel::von(a) == vorher); }));
        };
        s.starten({a}, true, [&] {
            // The decode began before the question.
            ASSERT_TRUE(bis([&] { return s.wieOft(0) == 1; }));
            switch (f.aenderung) {
            case Aenderung::Keine: ASSERT_TRUE(bis([&] { return s.vorlader().ruhig(); })); break;
            case Aenderung::GehaltenBisZumWarten: freigabe.starten(); break;
            case Aenderung::Ersetzt:
            case Aenderung::Umbenannt:
                ASSERT_TRUE(bis([&] { return s.vorlader().ruhig(); }));
                ersetzen(f.aenderung == Aenderung::Ersetzt ? Qt::magenta : Qt::darkRed, f.aenderung == Aenderung::Umbenannt);
                break;
            case Aenderung::BeimLesen:
                ASSERT_TRUE(s.dekodierer->gelesen.tryAcquire(1, 20000));
                ersetzen(Qt::magenta, false);
                freigabe.starten();
                break;
            case Aenderung::Bildschirm:
                ASSERT_TRUE(bis([&] { return s.vorlader().ruhig(); }));
                s.platform.screen = QSize(800, 600);
                break;
            }
        });
        EXPECT_EQ(s.wieOft(0), f.dekodiert);
        EXPECT_EQ(s.platform.protokoll, QStringList({"folder question", "shown: " + a.toLower()}));
        EXPECT_TRUE(s.bild().Image1.Visible);
        EXPECT_TRUE(aehnlich(s.farbe(), f.farbe)) << s.farbe().name().toStdString();
    }
}

TEST_F(FruehesStartbild, NeighboursAreDecodedAheadOnlyOnceTheFirstPictureIsPainted)
{
    // Three pictures started: the first is decoded during the start-up, its neighbours wait until
    // the picture window has painted it (and are work still to do meanwhile), then are decoded.
    Start s(pfad(QStringLiteral("nachbarn")), platform.appDataFolder);
    const QString c = Fixtures::writePicture(s.ordner + QStringLiteral("/c.bmp"), 64, 48, Qt::blue);
    Malzaehler maler;
    int nachbarnBeimMalen = -1;
    auto nachbarn = [&] { return s.wieOft(1) + s.dekodierer->wieOft(QStringLiteral("c.bmp")); };
    maler.beimErsten = [&] {
        // A decode let go too early would begin on the worker meanwhile (nothing here lets it go).
        QDeadlineTimer frist(500);
        while (!frist.hasExpired() && nachbarn() == 0)
            QThread::msleep(1);
        nachbarnBeimMalen = nachbarn();
    };
    s.vorDemStart = [&] { s.bild().installEventFilter(&maler); };
    s.starten({s.datei(0), s.datei(1), c});
    EXPECT_EQ(s.platform.protokoll, QStringList{"shown: " + s.datei(0).toLower()});
    EXPECT_EQ(s.wieOft(0), 1);
    EXPECT_FALSE(s.vorlader().ruhig());
    ASSERT_TRUE(bis([&] { return s.vorlader().ruhig(); }));
    EXPECT_GE(maler.anzahl, 1);
    EXPECT_EQ(nachbarnBeimMalen, 0);
    EXPECT_EQ(s.wieOft(1), 1);
    EXPECT_EQ(s.dekodierer->wieOft(QStringLiteral("c.bmp")), 1);
    // Decoded ahead: F3 takes b without reading it again.
    QTest::keyClick(&s.bild(), Qt::Key_F3);
    EXPECT_TRUE(aehnlich(s.farbe(), kGruen)) << s.farbe().name().toStdString();
    EXPECT_EQ(s.wieOft(1), 1);
}

TEST_F(FruehesStartbild, PictureThatCannotBeLoadedIsReportedWhereTheStartReportsItWithoutTheEarlyDecode)
{
    // The early decode fails during the start-up; its message still comes when the start shows the
    // picture, after everything the start-up says before, over the picture window, and the next key
    // goes on from there: the same with and without the early decode.
    const QString hinweis =
        "Nur Dateinamen-Erweiterungen 'BMP', 'CUR', 'DIB', 'EMF', 'GIF', 'ICO', 'JPG', 'WMF'\r\nsind erlaubt.\r\nNur die "
        "gültigen Dateinamen-Erweiterungen werden übernommen.\r\nDieser Hinweis wird nicht wiederholt.";
    // A file of another program's making: an ICC segment cut short, nothing after it.
    const QString fremd = QStringLiteral(FOTOLAUF_SAMPLES_DIR "/bad/exiv2__exiv2-bug1247.jpg");
    ASSERT_TRUE(QFileInfo::exists(fremd));
    enum class Art { EinBild, MitFremdemNamen, FotolaufdateiMitFremdemKaputten, FotolaufdateiMitFehlendem };
    int n = 0;
    for (Art art : {Art::EinBild, Art::MitFremdemNamen, Art::FotolaufdateiMitFremdemKaputten,
                     Art::FotolaufdateiMitFehlendem}) {
        SCOPED_TRACE(static_cast<int>(art));
        for (bool frueh : {false, true}) {
            Start s(pfad(QStringLiteral("kaputt%1").arg(++n)), platform.appDataFolder);
            const QString a = s.datei(0);
            Fixtures::writeFile(a, QByteArray("BM no picture after all"));
            QString erster = a.toLower();  // the entry shown first
            QStringList vorher;            // what the start-up says before it
            switch (art) {
            case Art::EinBild:
                // The early decode has failed while the question is still open; nothing is said then.
                s.starten({a}, frueh, [&] {
                    ASSERT_TRUE(bis([&] { return s.vorlader().ruhig(); }));
                    EXPECT_EQ(s.wieOft(0), frueh ? 1 : 0);
                });
                vorher = {QStringLiteral("folder question")};
                break;
            case Art::MitFremdemNamen:
                s.starten({s.ordner + QStringLiteral("/x.png"), a, s.datei(1)}, frueh);
                vorher = {"message: " + hinweis};
                break;
            case Art::FotolaufdateiMitFremdemKaputten:
            case Art::FotolaufdateiMitFehlendem:
                erster = art == Art::FotolaufdateiMitFehlendem ? s.ordner + QStringLiteral("/fehlt.jpg") : fremd;
                s.starten({Fixtures::writeFile(s.ordner + QStringLiteral("/show.flf"), (erster + "\n" + s.datei(1) + "\n").toUtf8())},
                          frueh);
                break;
            }
            const QStringList erwartet = vorher + QStringList{"message: " + ladefehler(erster) + " (over the picture window)",
                                                              "shown: " + erster};
            EXPECT_EQ(s.platform.protokoll, erwartet) << (frueh ? "early decode" : "no early decode");
            // A failed decode is not kept: the start reads the file again.
            if (art == Art::EinBild) {
                EXPECT_EQ(s.wieOft(0), frueh ? 2 : 1);
            }
            EXPECT_FALSE(s.bild().Image1.Visible);
            QTest::keyClick(&s.bild(), Qt::Key_F3);
            EXPECT_TRUE(aehnlich(s.farbe(), kGruen)) << s.farbe().name().toStdString();
        }
    }
}

TEST_F(FruehesStartbild, DecodeBegunBeforeTheProgramIsUpIsTakenByEveryKindOfStartOnlyWhileItFits)
{
    // Before the toolkit is up, the first picture is told from the arguments alone (relative names,
    // mixed case, umlauts, names of other types, slide lists in another encoding or with a quoted
    // comma) and decoded. The start takes that decode instead of reading the picture again, and
    // shows and says what it does without it; a decode of another file, at another size, of a file
    // changed since or of content that is no JPEG is not taken.
    enum class Frueh { Passend, AndereDatei, AndereGroesse, DateiGeaendert };
    const struct {
        const char* was;
        QStringList argumente;  // relative to the folder the start is made from
        QString erstes;         // the picture shown first
        QColor farbe;
        Frueh frueh;
    } faelle[] = {
        {"one picture", {"Zebra.JPG"}, "Zebra.JPG", Qt::blue, Frueh::Passend},
        {"pictures in mixed case and another type", {"b.jpg", "Äpfel.jpg", "notes.txt", "Zebra.JPG"}, "Äpfel.jpg",
         kRot, Frueh::Passend},
        {"slide list in Windows-1252, a relative line", {"show.flf"}, "sub/Käse.jpg", Qt::magenta, Frueh::Passend},
        {"slide list with a quoted comma", {"Quoted.FLF"}, "a, b.jpg", Qt::yellow, Frueh::Passend},
        {"decoded for another picture", {"b.jpg", "Äpfel.jpg"}, "Äpfel.jpg", kRot, Frueh::AndereDatei},
        {"decoded for another screen", {"b.jpg", "Äpfel.jpg"}, "Äpfel.jpg", kRot, Frueh::AndereGroesse},
        {"file changed since, times put back", {"b.jpg", "Äpfel.jpg"}, "Äpfel.jpg", Qt::cyan, Frueh::DateiGeaendert},
        {"BMP content named .jpg", {"bmp.jpg", "zz.jpg"}, "bmp.jpg", Qt::darkGreen, Frueh::Passend},
    };
    int n = 0;
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        QStringList protokoll[2];
        for (bool mitFrueh : {false, true}) {
            Start s(pfad(QStringLiteral("vorab%1").arg(++n)), platform.appDataFolder);
            const QString o = s.ordner + u'/';
            Fixtures::writePicture(o + "Zebra.JPG", 64, 48, Qt::blue);
            Fixtures::writePicture(o + "b.jpg", 64, 48, Qt::green);
            Fixtures::writePicture(o + "Äpfel.jpg", 64, 48, Qt::red);
            Fixtures::writePicture(o + "sub/Käse.jpg", 64, 48, Qt::magenta);
            Fixtures::writePicture(o + "a, b.jpg", 64, 48, Qt::yellow);
            Fixtures::writePicture(o + "zz.jpg", 64, 48, Qt::green);
            QFile::copy(Fixtures::writePicture(o + "bmp.bmp", 64, 48, Qt::darkGreen), o + "bmp.jpg");
            Fixtures::writeFile(o + "notes.txt");
            Fixtures::writeFile(o + "show.flf", QByteArray("sub/K\xe4se.jpg\r\nb.jpg\r\n"));
            Fixtures::writeFile(o + "Quoted.FLF", QByteArray("\"a, b.jpg\",b.jpg\n"));
            s.platform.workingFolder = s.ordner;
            s.platform.givenArguments = f.argumente;
            const QString erstes = o + f.erstes;
            std::shared_ptr<FruehDekodierung> frueh;
            if (mitFrueh) {
                const QString vorhergesagt = ErstesBild::Vorhersagen(s.platform.arguments());
                ASSERT_EQ(vorhergesagt, erstes);
                const QSize schirm = f.frueh == Frueh::AndereGroesse ? QSize(800, 600) : s.platform.screen;
                frueh = std::make_shared<FruehDekodierung>(f.frueh == Frueh::AndereDatei ? o + "b.jpg" : vorhergesagt, schirm);
                if (f.frueh == Frueh::DateiGeaendert) {
                    ASSERT_TRUE(bis([&] { return frueh->fertig(); }));
                    const Dateistempel vorher = Dateistempel::von(erstes);
                    ASSERT_TRUE(bis([&] {
                        return Fixtures::replaceKeepingTimes(erstes, Qt::cyan, false) && !(Dateistempel::von(erstes) == vorher);
                    }));
                }
            } else if (f.frueh == Frueh::DateiGeaendert) {
                ASSERT_TRUE(Fixtures::replaceKeepingTimes(erstes, Qt::cyan, false));
            }
            s.vorDemStart = [&] { s.programm->setFruehDekodierung(frueh); };
            s.starten(f.argumente);
            const bool genommen = mitFrueh && f.frueh == Frueh::Passend && f.erstes != u"bmp.jpg";
            EXPECT_EQ(s.dekodierer->wieOft(QFileInfo(erstes).fileName()), genommen ? 0 : 1) << mitFrueh;
            EXPECT_TRUE(s.bild().Image1.Visible);
            EXPECT_TRUE(aehnlich(s.farbe(), f.farbe)) << s.farbe().name().toStdString() << mitFrueh;
            for (const QString& zeile : s.platform.protokoll)
                protokoll[mitFrueh].append(QString(zeile).replace(s.ordner, "~", Qt::CaseInsensitive));
        }
        EXPECT_EQ(protokoll[true], protokoll[false]);
        EXPECT_TRUE(protokoll[true].last().startsWith(QStringLiteral("shown: "))) << protokoll[true].join('|').toStdString();
    }
}
