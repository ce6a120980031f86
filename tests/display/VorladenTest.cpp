// Decoding ahead and on the worker: the picture decoded ahead is used, a file changed, made
// unreadable or removed after its decode is read again or reported (also when its size and times
// were put back), a key during a decode does not decode twice, a newer key supersedes a long decode
// and Alt+F4 ends it, a decode nobody waits for any more stops at once and no two decodes run at
// the same time, changes of the settings drop what was held.
#include "display/BildVorlader.h"
#include "display/Dateistempel.h"
#include "display/Dekodierer.h"
#include "platform/CancelFlag.h"
#include "support/ShowFixture.h"
#include "windows/WertxForm.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMutex>
#include <QScreen>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {

const Qt::GlobalColor kFarben[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan};

}  // namespace

class Vorladen : public ShowTest {
protected:
    ~Vorladen() override { dekodierer->frei.release(1000); }

    // Pictures a.jpg … (or a.bmp …) of distinct colours, started together; index 0 is shown.
    void starten(int anzahl, const char* endung = "jpg")
    {
        m_endung = QString::fromLatin1(endung);
        platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
        QStringList pfade;
        for (int i = 0; i < anzahl; ++i)
            pfade.append(Fixtures::writePicture(pfad(name(i)), 64, 48, kFarben[i % 5]));
        platform.givenArguments = pfade;
        std::shared_ptr<Dekodierer> d = dekodierer;
        form().Vorlader().setLadefunktion(
            [d](const QString& p, QSize a, const ByteTable* t, const CancelFlag& c) { return (*d)(p, a, t, c); });
        programm().Starten();
    }
    QString name(int i) const { return QString(QChar(u'a' + i)) + u'.' + m_endung; }
    int wieOft(int i) { return dekodierer->wieOft(name(i)); }
    QColor farbe() { return bild().Image1Bild().image.pixelColor(5, 5); }
    static bool aehnlich(QColor a, QColor b)
    {
        return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
    }
    bool zeigt(int i) { return index() == i && aehnlich(farbe(), kFarben[i % 5]); }
    // Runs fn once the event loop is running (that is, during the wait of a picture change).
    void gleich(int ms, std::function<void()> fn) { QTimer::singleShot(ms, &form(), std::move(fn)); }

    // Runs the event loop until the condition holds (at most 20 s).
    static bool bis(const std::function<bool()>& bedingung) { return QTest::qWaitFor(bedingung, 20000); }

    std::shared_ptr<Dekodierer> dekodierer = std::make_shared<Dekodierer>();
    QString m_endung = QStringLiteral("jpg");
};

TEST_F(Vorladen, NeighboursAreDecodedAheadOnceAndAKeyDuringTheirDecodeWaitsForIt)
{
    starten(5);
    EXPECT_TRUE(zeigt(0));
    // The next and, wrapping, the previous picture are decoded ahead.
    ASSERT_TRUE(bis([&] { return wieOft(1) == 1 && wieOft(4) == 1 && form().Vorlader().ruhig(); }));  // done, not only started
    taste(Qt::Key_F3);
    EXPECT_TRUE(zeigt(1));
    taste(Qt::Key_F2);  // back to the picture shown before: still at hand
    EXPECT_TRUE(zeigt(0));
    EXPECT_EQ(wieOft(0), 1);
    EXPECT_EQ(wieOft(1), 1);
    // At most two are held ahead: e was let go while b was shown, and is decoded anew.
    dekodierer->halten({name(3)});
    taste(Qt::Key_F2);
    EXPECT_TRUE(zeigt(4));
    EXPECT_EQ(wieOft(4), 2);

    // d, the picture before e, is still being decoded ahead when F2 comes: the key waits for it.
    ASSERT_TRUE(bis([&] { return wieOft(3) == 1; }));
    gleich(50, [this] { dekodierer->frei.release(); });
    taste(Qt::Key_F2);
    EXPECT_TRUE(zeigt(3));
    EXPECT_EQ(wieOft(3), 1);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Vorladen, FileChangedOrRemovedAfterItsDecodeAheadIsReadAgainOrReported)
{
    starten(5, "bmp");
    const bool root = ::geteuid() == 0;
    // After the decode ahead of the next picture its file changes; F3 then shows what it holds now.
    // The first two keep their size and get their old times back, as `touch -r` gives them.
    const struct {
        const char* was;
        std::function<bool(const QString&)> aendern;
        QColor danach;  // invalid: the load message
    } zeilen[] = {
        {"new content in place", [](const QString& p) { return Fixtures::replaceKeepingTimes(p, Qt::magenta, false); }, Qt::magenta},
        {"new content renamed over it", [](const QString& p) { return Fixtures::replaceKeepingTimes(p, Qt::darkRed, true); }, Qt::darkRed},
        // Root reads it all the same; anyone else gets the message.
        {"made unreadable",
         [](const QString& p) {
             const QByteArray n = QFile::encodeName(p);
             return ::chmod(n.constData(), 0644) == 0 && ::chmod(n.constData(), 0) == 0;
         },
         root ? QColor(kFarben[3]) : QColor()},
        {"removed", [](const QString& p) { return QFile::remove(p) || !QFile::exists(p); }, QColor()},
    };
    int i = 0;
    for (const auto& z : zeilen) {
        SCOPED_TRACE(z.was);
        ++i;
        const QString datei = pfad(name(i));
        ASSERT_TRUE(bis([&] { return wieOft(i) >= 1 && form().Vorlader().ruhig(); }));
        const int dekodiert = wieOft(i);
        // Changed again until the file system's clock has moved on: the change time tells.
        const Dateistempel vorher = Dateistempel::von(datei);
        ASSERT_TRUE(bis([&] { return z.aendern(datei) && !(Dateistempel::von(datei) == vorher); }));
        platform.messages.clear();
        taste(Qt::Key_F3);
        EXPECT_EQ(index(), i);
        EXPECT_EQ(programm().AngezeigteDatei, arbeitsliste().List(i));
        if (z.danach.isValid()) {
            EXPECT_TRUE(aehnlich(farbe(), z.danach)) << farbe().name().toStdString();
            EXPECT_TRUE(platform.messages.empty());
        } else {
            ASSERT_EQ(platform.messages.size(), 1u);
            EXPECT_EQ(platform.messages[0].text, "Bild kann nicht geladen werden.\r\n" + arbeitsliste().List(i) +
                                                     "\r\nPrüfen Sie ob diese Datei existiert\r\noder ob es sich um einen "
                                                     "verbotenen Dateityp handelt.");
            EXPECT_FALSE(bild().Image1.Visible);
        }
        // Read again, not taken from before.
        EXPECT_EQ(wieOft(i), dekodiert + 1);
    }
    // The window stayed up, and the next key goes on from the missing picture.
    taste(Qt::Key_F3);
    EXPECT_TRUE(zeigt(0));
}

TEST_F(Vorladen, NewerKeySupersedesALongDecodeAndAltF4EndsIt)
{
    dekodierer->halten({name(1), name(2)});
    starten(4);
    QSignalSpy angezeigt(&form(), &FotolaufForm::BildAngezeigt);
    QStringList gezeigt;
    QObject::connect(&form(), &FotolaufForm::BildAngezeigt, [&] { gezeigt.append(programm().AngezeigteDatei); });
    // b's decode is held; a second F3 during the wait goes on to c, and b is never shown. While c
    // is decoded, a stays on the screen as it was: no black window in between.
    QColor zwischendurch;
    gleich(30, [this] { taste(Qt::Key_F3); });
    gleich(90, [&] {
        EXPECT_EQ(index(), 2);
        EXPECT_TRUE(gezeigt.isEmpty());
        // What was last put on the screen, not the window drawn anew now.
        const QImage fenster = bild().screen()->grabWindow(bild().winId()).toImage();
        zwischendurch = fenster.pixelColor(QRect(480, 360, 64, 48).center());  // where a is shown
        dekodierer->frei.release(2);
    });
    taste(Qt::Key_F3);
    EXPECT_TRUE(gezeigt.isEmpty());
    ASSERT_TRUE(bis([&] { return zeigt(2); }));
    EXPECT_TRUE(aehnlich(zwischendurch, kFarben[0])) << zwischendurch.name().toStdString();
    EXPECT_EQ(gezeigt, QStringList{arbeitsliste().List(2)});
    // b's decode was given up when c was asked for; as c's neighbour it is decoded anew.
    ASSERT_TRUE(bis([&] { return wieOft(1) == 2; }));
    dekodierer->frei.release();
    ASSERT_TRUE(bis([&] { return form().Vorlader().ruhig(); }));

    // Input other than picture keys waits its turn: F7 during the decode acts after the change.
    dekodierer->halten({name(0)});
    taste(Qt::Key_F6);
    gleich(30, [this] { taste(Qt::Key_F7); });
    gleich(60, [this] { EXPECT_TRUE(form().F6TimerGestartet); dekodierer->frei.release(); });
    taste(Qt::Key_Home);
    EXPECT_TRUE(zeigt(0));
    EXPECT_TRUE(bis([&] { return !form().F6TimerGestartet; }));

    // Alt+F4 during a decode ends the program at once; the picture on screen stays a.
    form().Vorlader().verwerfen();
    dekodierer->halten({name(1)});
    gleich(30, [this] { taste(Qt::Key_F4, Qt::AltModifier); });
    taste(Qt::Key_F3);
    EXPECT_EQ(platform.endRequests, 1);
    EXPECT_TRUE(aehnlich(farbe(), kFarben[0]));
    EXPECT_EQ(angezeigt.count(), 2);
}

TEST_F(Vorladen, BrightnessScreenAndListChangesDropWhatWasDecodedAhead)
{
    starten(3);
    ASSERT_TRUE(bis([&] { return wieOft(1) == 1; }));
    form().Helligkeit = 100;
    form().BildAnzeigen();
    ASSERT_TRUE(bis([&] { return wieOft(1) == 2; }));
    EXPECT_EQ(wieOft(0), 2);
    platform.screen = QSize(800, 600);
    form().BildAnzeigen();
    ASSERT_TRUE(bis([&] { return wieOft(1) == 3; }));
    form().KopiereListBox();  // a new working list from the same pictures
    arbeitsliste().setListIndex(1);
    form().BildAnzeigen();
    EXPECT_EQ(wieOft(1), 4);
}

TEST_F(Vorladen, AbandonedDecodesOfTheLargestPictureStopAtOnceAndNoneRunsBesideAnother)
{
    platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
    Fixtures::writePicture(pfad("a.jpg"), 64, 48, Qt::red);
    Fixtures::writeLargeJpeg(pfad("b.jpg"), 16384, 8192);
    Fixtures::writePicture(pfad("c.jpg"), 64, 48, kFarben[2]);
    Fixtures::writePicture(pfad("d.jpg"), 64, 48, kFarben[3]);
    platform.givenArguments = {pfad("a.jpg"), pfad("b.jpg"), pfad("c.jpg"), pfad("d.jpg")};
    // Every decode: its file, when it began and ended (ms of one clock), and whether it gave a picture.
    struct Dekode {
        QString datei;
        qint64 beginn = 0, ende = -1;
        bool ok = false;
    };
    struct Protokoll {
        QElapsedTimer uhr;
        QMutex sperre;
        std::vector<Dekode> dekodes;
        PictureLoader lader;  // used by the one worker only
    };
    auto protokoll = std::make_shared<Protokoll>();
    protokoll->uhr.start();
    form().Vorlader().setLadefunktion([protokoll](const QString& p, QSize a, const ByteTable* t, const CancelFlag& c) {
        size_t i = 0;
        {
            QMutexLocker l(&protokoll->sperre);
            i = protokoll->dekodes.size();
            protokoll->dekodes.push_back(Dekode{QFileInfo(p).fileName(), protokoll->uhr.elapsed()});
        }
        LoadedPicture bild = protokoll->lader.load(p, a, t, &c);
        QMutexLocker l(&protokoll->sperre);
        protokoll->dekodes[i].ende = protokoll->uhr.elapsed();
        protokoll->dekodes[i].ok = bild.ok;
        return bild;
    });
    auto letzte = [&](const char* datei) {
        QMutexLocker l(&protokoll->sperre);
        for (auto d = protokoll->dekodes.rbegin(); d != protokoll->dekodes.rend(); ++d)
            if (d->datei == QLatin1String(datei))
                return *d;
        return Dekode{};
    };
    // Waits until the last decode of b has run for 20 ms; gives up on it with the key; returns how
    // long after the key the decode ended.
    auto aufgeben = [&](Qt::Key key) -> qint64 {
        const bool laeuft = bis([&] {
            const Dekode d = letzte("b.jpg");
            return !d.datei.isEmpty() && d.ende < 0 && protokoll->uhr.elapsed() - d.beginn >= 20;
        });
        EXPECT_TRUE(laeuft);
        const qint64 taste = protokoll->uhr.elapsed();
        this->taste(key);
        EXPECT_TRUE(bis([&] { return letzte("b.jpg").ende >= 0; }));
        EXPECT_FALSE(letzte("b.jpg").ok);
        return letzte("b.jpg").ende - taste;
    };
    programm().Starten();

    // a is shown and b decoded ahead; End asks for d instead.
    EXPECT_LT(aufgeben(Qt::Key_End), 50);
    EXPECT_TRUE(zeigt(3));
    // b shown: F4 has its full resolution read on the worker; once whole, to know how long it takes.
    taste(Qt::Key_Home);
    taste(Qt::Key_F3);
    EXPECT_EQ(bild().Image1Bild().naturalSize, QSize(16384, 8192));
    taste(Qt::Key_F4);
    ASSERT_TRUE(bis([&] { return bild().Image1Bild().image.width() == 8192; }));
    const Dekode ganz = letzte("b.jpg");
    // Shown anew and zoomed again, its full resolution is read again; F3 pages on meanwhile.
    form().BildAnzeigen();
    taste(Qt::Key_F4);
    EXPECT_LT(aufgeben(Qt::Key_F3), 50);
    EXPECT_TRUE(zeigt(2));
    // The bound means something: the whole decode took far longer.
    EXPECT_GT(ganz.ende - ganz.beginn, 200);

    ASSERT_TRUE(bis([&] { return form().Vorlader().ruhig(); }));
    QMutexLocker l(&protokoll->sperre);
    for (size_t i = 1; i < protokoll->dekodes.size(); ++i)
        EXPECT_GE(protokoll->dekodes[i].beginn, protokoll->dekodes[i - 1].ende) << i;
    EXPECT_TRUE(platform.messages.empty());
}
