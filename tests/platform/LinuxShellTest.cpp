// The Linux file actions against the real services: copy that never replaces, the freedesktop
// trash in a temporary data home, the opener through stand-ins on PATH, printing without printers,
// the page fitting.
#include "platform/LinuxPlatform.h"
#include "platform/LinuxShell.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Fixtures::Umgebung;

QByteArray inhalt(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

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

TEST(LinuxCopy, CopiesContentPermissionsAndTimeIntoAnotherFolder)
{
    QTemporaryDir d;
    const QString quelle = Fixtures::writeFile(d.path() + "/a/Foto.jpg", QByteArray(200000, 'q'));
    ASSERT_TRUE(QFile::setPermissions(quelle, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    QFile f(quelle);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime zeit = QDateTime::fromSecsSinceEpoch(1000000000);
    ASSERT_TRUE(f.setFileTime(zeit, QFileDevice::FileModificationTime));
    f.close();
    ASSERT_TRUE(QDir(d.path()).mkdir("ziel"));
    QString text = "unverändert";
    LinuxPlatform platform({});
    // The entry is lower-cased like the command line; the real file is found.
    EXPECT_EQ(platform.copyFile(d.path() + "/a/foto.jpg", d.path() + "/ziel/foto.jpg", text), 0);
    EXPECT_TRUE(text.isEmpty());
    const QString kopie = d.path() + "/ziel/foto.jpg";
    EXPECT_EQ(inhalt(kopie), inhalt(quelle));
    EXPECT_EQ(QFileInfo(kopie).permissions(), QFileInfo(quelle).permissions());
    EXPECT_EQ(QFileInfo(kopie).lastModified(), zeit);
}

TEST(LinuxCopy, FailuresCarryNumberAndTextAndNeverTouchAnExistingFile)
{
    QTemporaryDir d;
    const QString r = d.path();
    const QString quelle = Fixtures::writeFile(r + "/q.jpg", "quelle");
    const QString vorhanden = Fixtures::writeFile(r + "/ziel/q.jpg", "vorhanden");
    const QString verwiesen = r + "/ziel/verwiesen.jpg";
    ASSERT_TRUE(QFile::link(verwiesen, r + "/ziel/link.jpg"));  // a link to nothing yet
    ASSERT_TRUE(QDir(r).mkdir("ordner"));
    struct Fall {
        QString von, nach;
        int nummer;
        const char* text;
    };
    const std::vector<Fall> faelle = {
        {quelle, vorhanden, 58, "File already exists"},
        {quelle, r + "/ziel/link.jpg", 58, "File already exists"},
        {r + "/fehlt.jpg", r + "/ziel/neu.jpg", 53, "File not found"},
        {quelle, r + "/kein/ordner.jpg", 76, "Path not found"},
        {r + "/ordner", r + "/ziel/ordner", 75, "Path/File access error"},
    };
    for (const Fall& f : faelle) {
        QString text;
        EXPECT_EQ(LinuxShell::copyWithoutReplacing(f.von, f.nach, text), f.nummer) << f.nach.toStdString();
        EXPECT_EQ(text, QString::fromLatin1(f.text));
    }
    EXPECT_EQ(inhalt(quelle), "quelle");
    EXPECT_EQ(inhalt(vorhanden), "vorhanden");
    EXPECT_FALSE(QFile::exists(verwiesen));
    EXPECT_FALSE(QFile::exists(r + "/ziel/neu.jpg"));
    EXPECT_FALSE(QFile::exists(r + "/ziel/ordner"));
}

TEST(LinuxCopy, ReadOnlyTargetFolderIsPermissionDenied)
{
    if (alsRoot())
        GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir d;
    const QString quelle = Fixtures::writeFile(d.path() + "/q.jpg", "quelle");
    ASSERT_TRUE(QDir(d.path()).mkdir("nurlesen"));
    ASSERT_EQ(::chmod(QFile::encodeName(d.path() + "/nurlesen").constData(), 0555), 0);
    QString text;
    EXPECT_EQ(LinuxShell::copyWithoutReplacing(quelle, d.path() + "/nurlesen/q.jpg", text), 70);
    EXPECT_EQ(text, "Permission denied");
    ::chmod(QFile::encodeName(d.path() + "/nurlesen").constData(), 0755);
}

// ---------------------------------------------------------------------------------------------
// Trash

class LinuxTrash : public ::testing::Test {
protected:
    LinuxTrash()
        : m_daten("XDG_DATA_HOME", QFile::encodeName(datenOrdner.path()))
    {
    }
    QString trash(const QString& name) const { return datenOrdner.path() + "/Trash/" + name; }
    static QString liste(const QString& pfad) { return pfad + QChar(u'\0') + QChar(u'\0'); }

    QTemporaryDir datenOrdner;
    QTemporaryDir bilder;  // on the same volume as the data home, so its trash is used
    LinuxPlatform platform{{}};

private:
    Umgebung m_daten;
};

TEST_F(LinuxTrash, AFileGoesIntoTheTrashOfTheDataHomeWithItsInfo)
{
    const QString datei = Fixtures::writeFile(bilder.path() + "/Urlaub/Strand.JPG", "strand");
    EXPECT_EQ(platform.moveToTrash(liste(bilder.path() + "/urlaub/strand.jpg")), 0);
    EXPECT_FALSE(QFile::exists(datei));
    EXPECT_EQ(inhalt(trash("files/Strand.JPG")), "strand");
    const QByteArray info = inhalt(trash("info/Strand.JPG.trashinfo"));
    EXPECT_TRUE(info.startsWith("[Trash Info]")) << info.toStdString();
    EXPECT_TRUE(info.contains("Path=" + QUrl::fromLocalFile(datei).toEncoded(QUrl::FullyEncoded).mid(7)) ||
                info.contains("Path=" + QFile::encodeName(datei)))
        << info.toStdString();
    EXPECT_TRUE(info.contains("DeletionDate="));
}

TEST_F(LinuxTrash, WriteProtectedVanishedAndFolderEntriesFailAndStayIntact)
{
    const QString geschuetzt = Fixtures::writeFile(bilder.path() + "/geschuetzt.jpg", "bleibt");
    ASSERT_TRUE(QFile::setPermissions(geschuetzt, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(QDir(bilder.path()).mkdir("ordner.jpg"));
    const std::vector<std::pair<QString, int>> faelle = {
        {geschuetzt, 5},
        {bilder.path() + "/verschwunden.jpg", 2},
        {bilder.path() + "/ordner.jpg", 5},
    };
    for (const auto& [pfad, code] : faelle)
        EXPECT_EQ(platform.moveToTrash(liste(pfad)), code) << pfad.toStdString();
    EXPECT_EQ(inhalt(geschuetzt), "bleibt");
    EXPECT_TRUE(QFileInfo(bilder.path() + "/ordner.jpg").isDir());
    EXPECT_FALSE(QFile::exists(trash("files/geschuetzt.jpg")));
    EXPECT_FALSE(QFile::exists(trash("files/ordner.jpg")));
}

TEST_F(LinuxTrash, AFileInAReadOnlyFolderFailsAndStays)
{
    if (alsRoot())
        GTEST_SKIP() << "root moves files out of read-only folders";
    const QString datei = Fixtures::writeFile(bilder.path() + "/fest/a.jpg", "bleibt");
    const QByteArray ordner = QFile::encodeName(bilder.path() + "/fest");
    ASSERT_EQ(::chmod(ordner.constData(), 0555), 0);
    EXPECT_NE(platform.moveToTrash(liste(datei)), 0);
    ::chmod(ordner.constData(), 0755);
    EXPECT_EQ(inhalt(datei), "bleibt");
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
        const QByteArray t = inhalt(protokoll());
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
    EXPECT_TRUE(inhalt(werkzeuge.path() + "/mime.log").startsWith("query default image/jpeg\n"));
    standardAnwendung("viewer.desktop");
    EXPECT_GT(platform.openWithApplication(bilder.path() + "/foto.jpg"), 32);
    QTRY_COMPARE_WITH_TIMEOUT(geoeffnet(), QStringList{foto}, 10000);
}

TEST_F(LinuxOpener, MailLinkAndFileManagerFallBackToTheOpener)
{
    const QString foto = Fixtures::writePicture(bilder.path() + "/a.jpg", 8, 8);
    EXPECT_TRUE(platform.openLink("mailto:empfaenger@example.com?"));
    QTRY_COMPARE_WITH_TIMEOUT(geoeffnet().size(), 1, 10000);
    // No session bus here: the folder is opened instead of the file manager's selection.
    platform.showInFileManager(foto);
    QTRY_COMPARE_WITH_TIMEOUT(geoeffnet(), (QStringList{"mailto:empfaenger@example.com?", bilder.path()}), 10000);
}

TEST_F(LinuxOpener, WithoutAnOpenerNothingCanBeOpened)
{
    Umgebung nurWerkzeuge("PATH", QFile::encodeName(werkzeuge.path()));
    QFile::remove(werkzeuge.path() + "/xdg-open");
    const QString foto = Fixtures::writePicture(bilder.path() + "/a.jpg", 8, 8);
    EXPECT_EQ(platform.openWithApplication(foto), 31);
    EXPECT_FALSE(platform.openLink("mailto:x@example.com?"));
}

TEST(LinuxPrint, WithoutPrintersPrintingFailsWithoutADialog)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has printers";
    QTemporaryDir d;
    LinuxPlatform platform({});
    const QString foto = Fixtures::writePicture(d.path() + "/a.jpg", 8, 8);
    EXPECT_LE(platform.printPicture(foto), 32);
    EXPECT_EQ(platform.printPicture(d.path() + "/weg.jpg"), 2);
}

TEST(LinuxPrint, PictureIsFittedToThePageKeepingItsProportions)
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
}
