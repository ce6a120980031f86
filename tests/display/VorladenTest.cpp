// Decoding ahead and on the worker: the picture decoded ahead is used, a file changed or removed
// after its decode is read again or reported, a key during a decode does not decode twice, a
// newer key supersedes a long decode and Alt+F4 ends it, changes of the settings drop what was held;
// the picture a start shows first is decoded during the start-up by the same rules.
#include "display/BildVorlader.h"
#include "support/ShowFixture.h"
#include "windows/WertxForm.h"

#include <QFileInfo>
#include <QMutex>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>

#include <memory>

namespace {

// The decode function of the tests: counts the decodes of each file and holds back the decode of
// one file until it is let go. Shared with the worker, which may outlive the test's own members.
struct Dekodierer {
    QMutex sperre;
    QHash<QString, int> anzahl;
    QString anhalten;  // file name whose decode waits for frei
    bool nachDemLesen = false;  // it waits after reading the file (releasing gelesen), not before
    QSemaphore frei;
    QSemaphore gelesen;
    PictureLoader lader;  // used by the one worker only

    LoadedPicture operator()(const QString& pfad, QSize abdeckung)
    {
        const QString name = QFileInfo(pfad).fileName();
        bool warten = false;
        bool danach = false;
        {
            QMutexLocker l(&sperre);
            ++anzahl[name];
            warten = name == anhalten;
            danach = nachDemLesen;
        }
        if (warten && !danach)
            frei.acquire();
        LoadedPicture bild = lader.load(pfad, abdeckung);
        if (warten && danach) {
            gelesen.release();
            frei.acquire();
        }
        return bild;
    }
    int wieOft(const QString& name)
    {
        QMutexLocker l(&sperre);
        return anzahl.value(name);
    }
    void halten(const QString& name)
    {
        QMutexLocker l(&sperre);
        anhalten = name;
    }
};

const Qt::GlobalColor kFarben[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan};

// New content in magenta, its modification time set back by a second: still a change.
void umschreiben(const QString& datei)
{
    struct stat vorher {};
    ASSERT_EQ(::stat(QFile::encodeName(datei).constData(), &vorher), 0);
    Fixtures::writePicture(datei, 64, 48, Qt::magenta);
    const timespec zeiten[2] = {vorher.st_atim, {vorher.st_mtim.tv_sec - 1, vorher.st_mtim.tv_nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(datei).constData(), zeiten, 0), 0);
}

QString ladefehler(const QString& eintrag)
{
    return "Bild kann nicht geladen werden.\r\n" + eintrag +
           "\r\nPrüfen Sie ob diese Datei existiert\r\noder ob es sich um einen verbotenen Dateityp handelt.";
}

}  // namespace

class Vorladen : public ShowTest {
protected:
    ~Vorladen() override { dekodierer->frei.release(1000); }

    // Pictures a.jpg … of distinct colours, started together; index 0 (a.jpg) is shown.
    void starten(int anzahl)
    {
        platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
        QStringList pfade;
        for (int i = 0; i < anzahl; ++i)
            pfade.append(Fixtures::writePicture(pfad(name(i)), 64, 48, kFarben[i % 5]));
        platform.givenArguments = pfade;
        std::shared_ptr<Dekodierer> d = dekodierer;
        form().Vorlader().setLadefunktion([d](const QString& p, QSize a) { return (*d)(p, a); });
        programm().Starten();
    }
    static QString name(int i) { return QString(QChar(u'a' + i)) + QStringLiteral(".jpg"); }
    int wieOft(int i) { return dekodierer->wieOft(name(i)); }
    QColor farbe() { return bild().Image1Bild().image.pixelColor(5, 5); }
    static bool aehnlich(QColor a, QColor b)
    {
        return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
    }
    bool zeigt(int i) { return index() == i && aehnlich(farbe(), kFarben[i % 5]); }
    // Runs fn once the event loop is running (that is, during the wait of a picture change).
    void gleich(int ms, std::function<void()> fn) { QTimer::singleShot(ms, &form(), std::move(fn)); }

    std::shared_ptr<Dekodierer> dekodierer = std::make_shared<Dekodierer>();
};

TEST_F(Vorladen, NeighboursAreDecodedAheadOnceAndAKeyDuringTheirDecodeWaitsForIt)
{
    starten(5);
    EXPECT_TRUE(zeigt(0));
    // The next and, wrapping, the previous picture are decoded ahead.
    QTRY_COMPARE(wieOft(1), 1);
    QTRY_COMPARE(wieOft(4), 1);
    QTRY_VERIFY(form().Vorlader().ruhig());  // both decodes done, not only started
    taste(Qt::Key_F3);
    EXPECT_TRUE(zeigt(1));
    taste(Qt::Key_F2);  // back to the picture shown before: still at hand
    EXPECT_TRUE(zeigt(0));
    EXPECT_EQ(wieOft(0), 1);
    EXPECT_EQ(wieOft(1), 1);
    // At most two are held ahead: e was let go while b was shown, and is decoded anew.
    dekodierer->halten(name(3));
    taste(Qt::Key_F2);
    EXPECT_TRUE(zeigt(4));
    EXPECT_EQ(wieOft(4), 2);

    // d, the picture before e, is still being decoded ahead when F2 comes: the key waits for it.
    QTRY_COMPARE(wieOft(3), 1);
    gleich(50, [this] { dekodierer->frei.release(); });
    taste(Qt::Key_F2);
    EXPECT_TRUE(zeigt(3));
    EXPECT_EQ(wieOft(3), 1);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Vorladen, FileChangedOrRemovedAfterItsDecodeAheadIsReadAgainOrReported)
{
    starten(4);
    QTRY_COMPARE(wieOft(1), 1);
    umschreiben(pfad(name(1)));
    taste(Qt::Key_F3);
    EXPECT_EQ(index(), 1);
    EXPECT_TRUE(aehnlich(farbe(), Qt::magenta)) << farbe().name().toStdString();
    EXPECT_EQ(wieOft(1), 2);

    // c vanishes after its decode ahead: the message names it, the window stays black, F3 goes on.
    QTRY_COMPARE(wieOft(2), 1);
    ASSERT_TRUE(QFile::remove(pfad(name(2))));
    taste(Qt::Key_F3);
    EXPECT_EQ(platform.messageTexts(), QStringList{ladefehler(listBoxNeu().List(2))});
    EXPECT_FALSE(bild().Image1.Visible);
    EXPECT_EQ(programm().AngezeigteDatei, listBoxNeu().List(2));
    taste(Qt::Key_F3);
    EXPECT_TRUE(zeigt(3));
}

TEST_F(Vorladen, NewerKeySupersedesALongDecodeAndAltF4EndsIt)
{
    dekodierer->halten(name(1));
    starten(4);
    QSignalSpy angezeigt(&form(), &FotolaufForm::BildAngezeigt);
    QStringList gezeigt;
    QObject::connect(&form(), &FotolaufForm::BildAngezeigt, [&] { gezeigt.append(programm().AngezeigteDatei); });
    // b's decode is held; a second F3 during the wait goes on to c, and b is never shown.
    gleich(30, [this] { taste(Qt::Key_F3); });
    gleich(60, [this] { dekodierer->frei.release(); });
    taste(Qt::Key_F3);
    EXPECT_TRUE(gezeigt.isEmpty());
    QTRY_VERIFY(zeigt(2));
    EXPECT_EQ(gezeigt, QStringList{listBoxNeu().List(2)});
    EXPECT_EQ(wieOft(1), 1);

    // Input other than picture keys waits its turn: F7 during the decode acts after the change.
    dekodierer->halten(name(0));
    taste(Qt::Key_F6);
    gleich(30, [this] { taste(Qt::Key_F7); });
    gleich(60, [this] { EXPECT_TRUE(form().F6TimerGestartet); dekodierer->frei.release(); });
    taste(Qt::Key_Home);
    EXPECT_TRUE(zeigt(0));
    QTRY_VERIFY(!form().F6TimerGestartet);

    // Alt+F4 during a decode ends the program at once; the picture on screen stays a.
    form().Vorlader().verwerfen();
    dekodierer->halten(name(1));
    gleich(30, [this] { taste(Qt::Key_F4, Qt::AltModifier); });
    taste(Qt::Key_F3);
    EXPECT_EQ(platform.endRequests, 1);
    EXPECT_TRUE(aehnlich(farbe(), kFarben[0]));
    EXPECT_EQ(angezeigt.count(), 2);
}

TEST_F(Vorladen, BrightnessScreenAndListChangesDropWhatWasDecodedAhead)
{
    starten(3);
    QTRY_COMPARE(wieOft(1), 1);
    form().Helligkeit = 100;
    form().BildAnzeigen();
    QTRY_COMPARE(wieOft(1), 2);
    EXPECT_EQ(wieOft(0), 2);
    platform.screen = QSize(800, 600);
    form().BildAnzeigen();
    QTRY_COMPARE(wieOft(1), 3);
    form().KopiereListBox();  // a new working list from the same pictures
    listBoxNeu().setListIndex(1);
    form().BildAnzeigen();
    EXPECT_EQ(wieOft(1), 4);
}

namespace {

// A start of its own, in a folder of its own holding a.jpg (red) and b.jpg (green), with every
// decode counted (and held when the test says so).
struct Start {
    Start(const QString& ordner, const QString& einstellungen)
        : ordner(ordner)
    {
        platform.appDataFolder = einstellungen;
        platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
        for (int i = 0; i < 2; ++i)
            Fixtures::writePicture(datei(i), 64, 48, kFarben[i]);
    }
    ~Start() { dekodierer->frei.release(1000); }
    QString datei(int i) const { return ordner + u'/' + QChar(u'a' + i) + QStringLiteral(".jpg"); }
    // Starts with these arguments; `waehrendDerFrage` runs while the folder question waits, which
    // is then answered "without sub-folders".
    void starten(const QStringList& argumente, std::function<void()> waehrendDerFrage = [] {})
    {
        platform.givenArguments = argumente;
        platform.onModal = [this, waehrendDerFrage](QDialog& frage) {
            fragen.append(platform.messageTexts());
            waehrendDerFrage();
            dynamic_cast<frmDurchsuchenUnterOrdner&>(frage).btnOhneUnterordner->click();
        };
        programm = std::make_unique<Programm>(platform);
        std::shared_ptr<Dekodierer> d = dekodierer;
        vorlader().setLadefunktion([d](const QString& p, QSize a) { return (*d)(p, a); });
        programm->Starten();
    }
    BildVorlader& vorlader() { return programm->fotolaufForm().Vorlader(); }
    ImageForm& bild() { return programm->imageForm(); }

    QString ordner;
    ScriptedPlatform platform;
    std::shared_ptr<Dekodierer> dekodierer = std::make_shared<Dekodierer>();
    std::unique_ptr<Programm> programm;
    QList<QStringList> fragen;  // for each folder question, the messages shown before it
};

}  // namespace

TEST_F(Vorladen, PictureDecodedDuringTheStartIsTakenOnlyWhileItsFileAndTheScreenAreUnchanged)
{
    // One picture started: its decode begins before the folder question and is done (or held)
    // while the question waits; then the file or the screen may change before the start shows it.
    enum class Aenderung { Keine, Umgeschrieben, BeimDekodieren, Entfernt, Bildschirm };
    struct Fall {
        const char* was;
        Aenderung aenderung;
        QColor farbe;  // shown; invalid: the load message instead
        int dekodiert;
    };
    const Fall faelle[] = {
        {"unchanged: the decode of the start is taken", Aenderung::Keine, kFarben[0], 1},
        {"rewritten after the decode", Aenderung::Umgeschrieben, Qt::magenta, 2},
        {"rewritten once read, while the start already waits for that decode", Aenderung::BeimDekodieren, Qt::magenta, 2},
        {"removed after the decode", Aenderung::Entfernt, QColor(), 2},
        {"the screen changed its size", Aenderung::Bildschirm, kFarben[0], 2},
    };
    int n = 0;
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.was);
        Start s(pfad(QString::number(++n)), platform.appDataFolder);
        const QString a = s.datei(0);
        if (f.aenderung == Aenderung::BeimDekodieren) {
            s.dekodierer->halten(QStringLiteral("a.jpg"));
            s.dekodierer->nachDemLesen = true;
        }
        // Lets the held decode go once the start-up waits for it.
        QTimer freigabe;
        QObject::connect(&freigabe, &QTimer::timeout, [&] {
            if (s.programm && s.vorlader().aufschub().wartet()) {
                freigabe.stop();
                s.dekodierer->halten(QString());
                s.dekodierer->frei.release();
            }
        });
        s.starten({a}, [&] {
            QTRY_COMPARE(s.dekodierer->wieOft(QStringLiteral("a.jpg")), 1);
            switch (f.aenderung) {
            case Aenderung::Keine: QTRY_VERIFY(s.vorlader().ruhig()); break;
            case Aenderung::Umgeschrieben:
                QTRY_VERIFY(s.vorlader().ruhig());
                umschreiben(a);
                break;
            case Aenderung::BeimDekodieren:
                ASSERT_TRUE(s.dekodierer->gelesen.tryAcquire(1, 10000));
                umschreiben(a);
                freigabe.start(1);
                break;
            case Aenderung::Entfernt:
                QTRY_VERIFY(s.vorlader().ruhig());
                ASSERT_TRUE(QFile::remove(a));
                break;
            case Aenderung::Bildschirm:
                QTRY_VERIFY(s.vorlader().ruhig());
                s.platform.screen = QSize(800, 600);
                break;
            }
        });
        EXPECT_EQ(s.dekodierer->wieOft(QStringLiteral("a.jpg")), f.dekodiert);
        EXPECT_EQ(s.programm->AngezeigteDatei, a.toLower());
        if (f.farbe.isValid()) {
            EXPECT_TRUE(s.platform.messages.empty());
            EXPECT_TRUE(aehnlich(s.bild().Image1Bild().image.pixelColor(5, 5), f.farbe));
        } else {
            EXPECT_EQ(s.platform.messageTexts(), QStringList{ladefehler(a.toLower())});
            EXPECT_FALSE(s.bild().Image1.Visible);
        }
    }
}

TEST_F(Vorladen, StartPictureThatCannotBeLoadedIsReportedWhereTheStartShowsIt)
{
    // Its decode fails early, during the start-up; the message still comes when the start shows
    // the picture: after the folder question and after the hint about other names, in a window on
    // screen, and the next key goes on from there.
    const QString hinweis =
        "Nur Dateinamen-Erweiterungen 'BMP', 'CUR', 'DIB', 'EMF', 'GIF', 'ICO', 'JPG', 'WMF'\r\nsind erlaubt.\r\nNur die "
        "gültigen Dateinamen-Erweiterungen werden übernommen.\r\nDieser Hinweis wird nicht wiederholt.";
    enum class Art { EinBild, MitFremdemNamen, Fotolaufdatei };
    for (Art art : {Art::EinBild, Art::MitFremdemNamen, Art::Fotolaufdatei}) {
        SCOPED_TRACE(static_cast<int>(art));
        Start s(pfad(QStringLiteral("kaputt%1").arg(static_cast<int>(art))), platform.appDataFolder);
        const QString a = s.datei(0);
        Fixtures::writeFile(a, QByteArray("\xff\xd8\xff\xe0 no picture after all"));
        QStringList erwartet{ladefehler(a.toLower())};
        switch (art) {
        case Art::EinBild:
            s.starten({a}, [&] { QTRY_VERIFY(s.dekodierer->wieOft(QStringLiteral("a.jpg")) == 1 && s.vorlader().ruhig()); });
            EXPECT_EQ(s.fragen, QList<QStringList>{QStringList()});
            break;
        case Art::MitFremdemNamen:
            s.starten({s.ordner + QStringLiteral("/x.png"), a, s.datei(1)});
            erwartet.prepend(hinweis);
            break;
        case Art::Fotolaufdatei:
            s.starten({Fixtures::writeFile(s.ordner + QStringLiteral("/show.flf"), (a + "\n" + s.datei(1) + "\n").toUtf8())});
            erwartet = QStringList{ladefehler(a)};
            break;
        }
        EXPECT_EQ(s.platform.messageTexts(), erwartet);
        EXPECT_EQ(s.dekodierer->wieOft(QStringLiteral("a.jpg")), 2);
        EXPECT_TRUE(s.bild().isVisible());
        EXPECT_FALSE(s.bild().Image1.Visible);
        QTest::keyClick(&s.bild(), Qt::Key_F3);
        EXPECT_TRUE(aehnlich(s.bild().Image1Bild().image.pixelColor(5, 5), kFarben[1]));
    }
}
