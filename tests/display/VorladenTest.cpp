// Decoding ahead and on the worker: the picture decoded ahead is used, a file changed or removed
// after its decode is read again or reported, a key during a decode does not decode twice, a
// newer key supersedes a long decode and Alt+F4 ends it, changes of the settings drop what was held.
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
    QSemaphore frei;
    PictureLoader lader;  // used by the one worker only

    LoadedPicture operator()(const QString& pfad, QSize abdeckung, const ByteTable* tabelle)
    {
        const QString name = QFileInfo(pfad).fileName();
        bool warten = false;
        {
            QMutexLocker l(&sperre);
            ++anzahl[name];
            warten = name == anhalten;
        }
        if (warten)
            frei.acquire();
        return lader.load(pfad, abdeckung, tabelle);
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
        form().Vorlader().setLadefunktion([d](const QString& p, QSize a, const ByteTable* t) { return (*d)(p, a, t); });
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
    // New content, its modification time set back by a second: still a change.
    const QString b = pfad(name(1));
    struct stat vorher {};
    ASSERT_EQ(::stat(QFile::encodeName(b).constData(), &vorher), 0);
    Fixtures::writePicture(b, 64, 48, Qt::magenta);
    const timespec zeiten[2] = {vorher.st_atim, {vorher.st_mtim.tv_sec - 1, vorher.st_mtim.tv_nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(b).constData(), zeiten, 0), 0);
    taste(Qt::Key_F3);
    EXPECT_EQ(index(), 1);
    EXPECT_TRUE(aehnlich(farbe(), Qt::magenta)) << farbe().name().toStdString();
    EXPECT_EQ(wieOft(1), 2);

    // c vanishes after its decode ahead: the message names it, the window stays black, F3 goes on.
    QTRY_COMPARE(wieOft(2), 1);
    ASSERT_TRUE(QFile::remove(pfad(name(2))));
    taste(Qt::Key_F3);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Bild kann nicht geladen werden.\r\n" + listBoxNeu().List(2) +
                                             "\r\nPrüfen Sie ob diese Datei existiert\r\noder ob es sich um einen "
                                             "verbotenen Dateityp handelt.");
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
