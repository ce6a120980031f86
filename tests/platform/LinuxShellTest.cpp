// The Linux file actions against the real services: copy that never replaces, the freedesktop
// trash in a temporary data home, the opener through stand-ins on PATH, printing without printers,
// the page fitting.
#include "platform/FileSystem.h"
#include "platform/LinuxPlatform.h"
#include "platform/LinuxShell.h"
#include "platform/TextEncoding.h"
#include "platform/Trash.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Fixtures::Umgebung;

using Fixtures::content;

void skript(const QString& pfad, const QByteArray& text)
{
    Fixtures::writeFile(pfad, "#!/bin/sh\n" + text);
    ASSERT_EQ(::chmod(QFile::encodeName(pfad).constData(), 0755), 0);
}

bool alsRoot()
{
    return ::geteuid() == 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Copy

TEST(LinuxCopy, CopiesContentPermissionsAndTimeAndFailuresNeverTouchAnExistingFile)
{
    QTemporaryDir d;
    const QString r = d.path();
    const QString quelle = Fixtures::writeFile(r + "/q.jpg", QByteArray(200000, 'q'));
    ASSERT_TRUE(QFile::setPermissions(quelle, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    QFile f(quelle);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime zeit = QDateTime::fromSecsSinceEpoch(1000000000);
    ASSERT_TRUE(f.setFileTime(zeit, QFileDevice::FileModificationTime));
    f.close();
    QString text = "unverändert";
    LinuxPlatform platform({});
    const QString kopie = r + "/ziel/kopie.jpg";
    ASSERT_TRUE(QDir(r).mkdir("ziel"));
    EXPECT_EQ(platform.copyFile(quelle, kopie, text), 0);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(content(kopie), content(quelle));
    EXPECT_EQ(QFileInfo(kopie).permissions(), QFileInfo(quelle).permissions());
    EXPECT_EQ(QFileInfo(kopie).lastModified(), zeit);

    const QString vorhanden = Fixtures::writeFile(r + "/ziel/q.jpg", "vorhanden");
    const QString verwiesen = r + "/ziel/verwiesen.jpg";
    ASSERT_TRUE(QFile::link(verwiesen, r + "/ziel/link.jpg"));  // a link to nothing yet
    ASSERT_TRUE(QDir(r).mkdir("ordner"));
    ASSERT_TRUE(Fixtures::makeFifo(r + "/fifo.jpg"));
    ASSERT_TRUE(QFile::link("/dev/zero", r + "/null.jpg"));
    ASSERT_TRUE(QDir(r).mkdir("nurlesen"));
    ASSERT_EQ(::chmod(QFile::encodeName(r + "/nurlesen").constData(), 0555), 0);
    struct Fall {
        QString von, nach;
        int nummer;
        const char* text;
    };
    std::vector<Fall> faelle = {
        {quelle, vorhanden, 58, "File already exists"},
        {quelle, r + "/ziel/link.jpg", 58, "File already exists"},
        {r + "/fehlt.jpg", r + "/ziel/neu.jpg", 53, "File not found"},
        {quelle, r + "/kein/ordner.jpg", 76, "Path not found"},
        {r + "/ordner", r + "/ziel/ordner", 75, "Path/File access error"},
        // Neither a FIFO without a writer nor an endless device may hold the copy up.
        {r + "/fifo.jpg", r + "/ziel/fifo.jpg", 75, "Path/File access error"},
        {r + "/null.jpg", r + "/ziel/null.jpg", 75, "Path/File access error"},
        // Exactly the named file: a name differing in case is another, missing file.
        {r + "/Q.JPG", r + "/ziel/Q.JPG", 53, "File not found"},
    };
    if (!alsRoot())  // root writes into read-only folders
        faelle.push_back({quelle, r + "/nurlesen/q.jpg", 70, "Permission denied"});
    for (const Fall& f : faelle) {
        QString text;
        EXPECT_EQ(LinuxShell::copyWithoutReplacing(f.von, f.nach, text), f.nummer) << f.nach.toStdString();
        EXPECT_EQ(text, QString::fromLatin1(f.text));
    }
    ::chmod(QFile::encodeName(r + "/nurlesen").constData(), 0755);
    EXPECT_EQ(content(quelle), QByteArray(200000, 'q'));
    EXPECT_EQ(content(vorhanden), "vorhanden");
    EXPECT_FALSE(QFile::exists(verwiesen));
    for (const char* n : {"ziel/neu.jpg", "ziel/ordner", "ziel/fifo.jpg", "ziel/null.jpg", "ziel/Q.JPG", "nurlesen/q.jpg"})
        EXPECT_FALSE(QFileInfo::exists(r + u'/' + n)) << n;
}

// ---------------------------------------------------------------------------------------------
// Trash

class LinuxTrash : public ::testing::Test {
protected:
    // A new account: the data home and everything below it do not exist yet.
    LinuxTrash()
        : m_daten("XDG_DATA_HOME", QFile::encodeName(konto.path() + "/.local/share"))
    {
    }
    QString trash(const QString& name) const { return konto.path() + "/.local/share/Trash/" + name; }

    QTemporaryDir konto;
    QTemporaryDir bilder;  // on the same volume as the data home, so its trash is used
    LinuxPlatform platform{{}};

private:
    Umgebung m_daten;
};

TEST_F(LinuxTrash, ANewAccountGetsItsTrashAndEachFileLandsThereByItsOwnName)
{
    const QString strand = Fixtures::writeFile(bilder.path() + "/Urlaub/Strand.JPG", "strand");
    const QString nachbar = Fixtures::writeFile(bilder.path() + "/Urlaub/strand.jpg", "nachbar");
    const QString anderer = Fixtures::writeFile(bilder.path() + "/Andere/Strand.JPG", "anderer");
    // A name in Windows-1252, not UTF-8: it must keep its bytes.
    const QByteArray kaeseRoh = QFile::encodeName(bilder.path()) + "/K\xe4se.jpg";
    const QString kaese = Fixtures::writeRawNamed(kaeseRoh, "kaese");
    EXPECT_EQ(Trash::homeTrash(), konto.path() + "/.local/share/Trash");
    EXPECT_EQ(platform.moveToTrash({strand, anderer, kaese}), 0);

    // The folders were made private to the user.
    for (const char* ordner : {"", "/files", "/info"}) {
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(trash(ordner)).constData(), &st), 0) << ordner;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << ordner;
    }
    // Both files named Strand.JPG are there, none replaced; the neighbour was not touched.
    EXPECT_EQ(content(trash("files/Strand.JPG")), "strand");
    EXPECT_EQ(content(trash("files/Strand.JPG.2")), "anderer");
    EXPECT_EQ(content(nachbar), "nachbar");
    EXPECT_FALSE(QFileInfo::exists(strand));
    EXPECT_FALSE(QFileInfo::exists(anderer));
    struct stat st;
    EXPECT_NE(::lstat(kaeseRoh.constData(), &st), 0);
    const QByteArray kaeseImTrash = QFile::encodeName(trash("files/")) + "K\xe4se.jpg";
    EXPECT_EQ(content(FileSystem::fromNative(kaeseImTrash)), "kaese");
    const QByteArray info = content(trash("info/Strand.JPG.2.trashinfo"));
    EXPECT_TRUE(info.startsWith("[Trash Info]\nPath=" + QFile::encodeName(anderer).toPercentEncoding("/") + "\nDeletionDate="))
        << info.toStdString();
    const QByteArray infoKaese = content(FileSystem::fromNative(QFile::encodeName(trash("info/")) + "K\xe4se.jpg.trashinfo"));
    EXPECT_TRUE(infoKaese.contains("K%E4se.jpg")) << infoKaese.toStdString();
    // The temporary folders' clean-up cannot name these files.
    ::unlink(kaeseImTrash.constData());
    ::unlink((QFile::encodeName(trash("info/")) + "K\xe4se.jpg.trashinfo").constData());
}

TEST_F(LinuxTrash, WriteProtectedVanishedCaseVariantFolderAndReadOnlyFolderEntriesFailAndStayIntact)
{
    const QString geschuetzt = Fixtures::writeFile(bilder.path() + "/geschuetzt.jpg", "bleibt");
    ASSERT_TRUE(QFile::setPermissions(geschuetzt, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(QDir(bilder.path()).mkdir("ordner.jpg"));
    const QString gross = Fixtures::writeFile(bilder.path() + "/A.jpg", "gross");
    const std::vector<std::pair<QString, int>> faelle = {
        {geschuetzt, 5},
        {bilder.path() + "/verschwunden.jpg", 2},
        {bilder.path() + "/a.jpg", 2},  // only A.jpg exists: it is another file
        {bilder.path() + "/ordner.jpg", 5},
        {bilder.path() + "/" + QString(5000, u'x') + ".jpg", 2},
    };
    for (const auto& [pfad, code] : faelle)
        EXPECT_EQ(platform.moveToTrash({pfad}), code) << pfad.left(200).toStdString();
    EXPECT_EQ(content(geschuetzt), "bleibt");
    EXPECT_EQ(content(gross), "gross");
    EXPECT_TRUE(QFileInfo(bilder.path() + "/ordner.jpg").isDir());
    if (!alsRoot()) {  // root moves files out of read-only folders
        const QString datei = Fixtures::writeFile(bilder.path() + "/fest/a.jpg", "bleibt");
        const QByteArray ordner = QFile::encodeName(bilder.path() + "/fest");
        ASSERT_EQ(::chmod(ordner.constData(), 0555), 0);
        EXPECT_NE(platform.moveToTrash({datei}), 0);
        ::chmod(ordner.constData(), 0755);
        EXPECT_EQ(content(datei), "bleibt");
    }
    EXPECT_TRUE(QDir(trash("files")).isEmpty());
    EXPECT_TRUE(QDir(trash("info")).isEmpty());  // no info file left behind
}

TEST_F(LinuxTrash, NamesTooLongForTheInfoFileGoThereShortenedAndTheInfoKeepsTheWholePath)
{
    // Every length from the longest that takes ".trashinfo" behind it to the longest a file system
    // takes, of two-byte characters so that some cuts fall inside one; each name in two folders.
    // Shortened, the long names meet: they are told apart by their numbers.
    QMap<QByteArray, QByteArray> inhalte;  // original path -> content
    QStringList pfade;
    for (int laenge = 244; laenge <= 255; ++laenge) {
        const QString name = QString((laenge - 5) / 2, u'ä') + QString((laenge - 5) % 2, u'x') + QStringLiteral(".jpeg");
        ASSERT_EQ(name.toUtf8().size(), laenge);
        for (const char* ordner : {"/a/", "/b/"}) {
            const QByteArray inhalt = QByteArray::number(laenge) + ordner;
            pfade.append(Fixtures::writeFile(bilder.path() + ordner + name, inhalt));
            inhalte.insert(FileSystem::nativeName(pfade.last()), inhalt);
        }
    }
    EXPECT_EQ(platform.moveToTrash(pfade), 0);
    for (const QString& pfad : pfade)
        EXPECT_FALSE(QFileInfo::exists(pfad));

    // Each info file names one original by its whole path, and the file beside it is that one.
    QMap<QByteArray, QByteArray> imTrash;
    for (const QString& info : QDir(trash("info")).entryList(QDir::Files)) {
        const QByteArray name = FileSystem::nativeName(info);
        EXPECT_LE(name.size(), 255);
        const QByteArray datei = name.chopped(qsizetype(sizeof ".trashinfo" - 1));
        EXPECT_TRUE(TextEncoding::isValidUtf8(datei)) << datei.toStdString();
        EXPECT_TRUE(QRegularExpression(QStringLiteral("\\.jpeg(\\.[0-9]+)?$")).match(QString::fromUtf8(datei)).hasMatch())
            << datei.toStdString();
        const QByteArray text = content(trash("info/") + info);
        const qsizetype von = text.indexOf("\nPath=") + 6;
        const QByteArray original = QByteArray::fromPercentEncoding(text.mid(von, text.indexOf('\n', von) - von));
        imTrash.insert(original, content(trash("files/") + FileSystem::fromNative(datei)));
    }
    EXPECT_EQ(imTrash, inhalte);
}

// ---------------------------------------------------------------------------------------------
// Opener, file manager and print

class LinuxOpener : public ::testing::Test {
protected:
    LinuxOpener()
        : m_pfad("PATH", QFile::encodeName(werkzeuge.path()) + ':' + qgetenv("PATH"))
        , m_bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/fotolauf-test-bus")
    {
        skript(werkzeuge.path() + "/xdg-open", "printf '%s\\n' \"$1\" >> '" + QFile::encodeName(protokoll()) + "'\n");
        standardAnwendung("viewer.desktop");
    }
    // What the stand-in of xdg-mime answers as the default application.
    void standardAnwendung(const QByteArray& antwort)
    {
        skript(werkzeuge.path() + "/xdg-mime",
               "printf '%s\\n' \"$*\" >> '" + QFile::encodeName(werkzeuge.path() + "/mime.log") + "'\necho '" + antwort + "'\n");
    }
    QString protokoll() const { return werkzeuge.path() + "/open.log"; }
    QStringList geoeffnet() const
    {
        const QByteArray t = content(protokoll());
        return t == "<fehlt>" ? QStringList{} : QString::fromUtf8(t).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir werkzeuge;
    QTemporaryDir bilder;
    LinuxPlatform platform{{}};

private:
    Umgebung m_pfad;
    Umgebung m_bus;
};

TEST_F(LinuxOpener, OpensAnExistingFileDetachedAndReportsMissingFilesAndMissingApplications)
{
    const QString foto = Fixtures::writePicture(bilder.path() + "/Foto.JPG", 8, 8);
    // Failures first: none of them may start the opener.
    struct Fall {
        QString pfad;
        int code;
    };
    const std::vector<Fall> faelle = {
        {bilder.path() + "/weg.jpeg", 2},
        {bilder.path() + "/kein-ordner/weg.jpg", 3},
        {QString(), 2},
    };
    for (const Fall& f : faelle)
        EXPECT_EQ(platform.openWithApplication(f.pfad), f.code) << f.pfad.toStdString();
    standardAnwendung("");
    EXPECT_EQ(platform.openWithApplication(foto), 31);
    EXPECT_TRUE(content(werkzeuge.path() + "/mime.log").startsWith("query default image/jpeg\n"));
    standardAnwendung("viewer.desktop");
    EXPECT_EQ(platform.openWithApplication(bilder.path() + "/foto.jpg"), 2);  // another case is another file
    EXPECT_GT(platform.openWithApplication(foto), 32);
    QTRY_COMPARE_WITH_TIMEOUT(geoeffnet(), QStringList{FileSystem::fileUrl(foto)}, 10000);
}

TEST_F(LinuxOpener, MailLinkAndFileManagerFallBackToTheOpenerAndWithoutOneNothingOpens)
{
    const QString foto = Fixtures::writePicture(bilder.path() + "/a.jpg", 8, 8);
    EXPECT_TRUE(platform.openLink("mailto:empfaenger@example.com?"));
    QTRY_COMPARE_WITH_TIMEOUT(geoeffnet().size(), 1, 10000);
    // No session bus here: the folder is opened instead of the file manager's selection.
    platform.showInFileManager(foto);
    QTRY_COMPARE_WITH_TIMEOUT(geoeffnet(), (QStringList{"mailto:empfaenger@example.com?", FileSystem::fileUrl(bilder.path())}),
                              10000);

    Umgebung nurWerkzeuge("PATH", QFile::encodeName(werkzeuge.path()));
    QFile::remove(werkzeuge.path() + "/xdg-open");
    EXPECT_EQ(platform.openWithApplication(foto), 31);
    EXPECT_FALSE(platform.openLink("mailto:x@example.com?"));
}

TEST(LinuxPrint, PictureIsFittedToThePageKeepingItsProportionsAndWithoutPrintersNothingPrints)
{
    struct Fall {
        QSize bild;
        QRect seite;
        QRect erwartet;
    };
    const std::vector<Fall> faelle = {
        {{400, 200}, {0, 0, 1000, 1000}, {0, 250, 1000, 500}},   // wide, reduced to the width
        {{10, 20}, {0, 0, 100, 100}, {25, 0, 50, 100}},          // small and tall, enlarged to the height
        {{300, 300}, {50, 100, 200, 400}, {50, 200, 200, 200}},  // page with margins
        {{0, 0}, {0, 0, 100, 100}, {}},
    };
    for (const Fall& f : faelle)
        EXPECT_EQ(LinuxShell::fittedOnPage(f.bild, f.seite), f.erwartet);

    QImage seite(100, 100, QImage::Format_RGB32);
    seite.fill(Qt::white);
    QImage bild(20, 10, QImage::Format_RGB32);
    bild.fill(Qt::red);
    QPainter maler(&seite);
    LinuxShell::drawFittedOnPage(maler, bild);
    maler.end();
    EXPECT_EQ(seite.pixelColor(0, 50), QColor(Qt::red));
    EXPECT_EQ(seite.pixelColor(99, 50), QColor(Qt::red));
    EXPECT_EQ(seite.pixelColor(50, 10), QColor(Qt::white));
    EXPECT_EQ(seite.pixelColor(50, 90), QColor(Qt::white));

    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        return;  // this machine has printers: a print would open the dialog
    // Without printers printing fails without a dialog.
    QTemporaryDir d;
    LinuxPlatform platform({});
    EXPECT_LE(platform.printPicture(Fixtures::writePicture(d.path() + "/a.jpg", 8, 8)), 32);
    EXPECT_EQ(platform.printPicture(d.path() + "/weg.jpg"), 2);
}
