// Paths resolved without regard to case, folder listings and text decoding.
#include "platform/FileSystem.h"
#include "platform/LinuxPlatform.h"
#include "platform/TextEncoding.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>
#include <gtest/gtest.h>

TEST(FileSystem, ResolvesEachComponentWithoutRegardToCaseExactMatchFirst)
{
    QTemporaryDir d;
    const QString r = d.path();
    Fixtures::writeFile(r + "/Anna/Bilder/IMG_01.JPG");
    Fixtures::writeFile(r + "/Anna/Bilder/img_01.jpg");
    Fixtures::writeFile(r + "/Anna/bilder/x.gif");
    Fixtures::writeFile(r + "/Mixed/Only.Gif");
    QDir(r).mkdir("Win");
    const QString kaese = Fixtures::writeRawNamed(QFile::encodeName(r) + "/Win/K\xe4se.jpg", "kaese");
    struct Fall {
        QString gegeben;
        QString erwartet;
    } faelle[] = {
        {r + "/Anna/Bilder/IMG_01.JPG", r + "/Anna/Bilder/IMG_01.JPG"},   // exists as given
        {r + "/anna/Bilder/img_01.jpg", r + "/Anna/Bilder/img_01.jpg"},   // exact match of the last part wins
        {r + "/ANNA/bilder/X.GIF", r + "/Anna/bilder/x.gif"},             // exact "bilder" folder first
        {r + "/mixed/only.gif", r + "/Mixed/Only.Gif"},
        {r + "/mixed/", r + "/Mixed/"},
        {r + "/mixed/fehlt.gif", r + "/mixed/fehlt.gif"},                 // unresolvable: unchanged
        {QString(), QString()},
        // As a slide-list line written on Windows or a lower-cased command line names a file
        // whose name is in Windows-1252.
        {r + "/win/käse.JPG", kaese},
        {r + "/Win/Käse.jpg", kaese},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(FileSystem::resolvePath(f.gegeben), f.erwartet) << f.gegeben.toStdString();
    QByteArray inhalt;
    const QString anders = r.toLower() == r ? r + "/MIXED/ONLY.GIF" : r + "/mixed/only.gif";
    EXPECT_FALSE(FileSystem::readFile(anders, FileSystem::Limit::kSettings, inhalt));  // exactly as named
    EXPECT_TRUE(FileSystem::readFile(FileSystem::resolvePath(anders), FileSystem::Limit::kSettings, inhalt));
    EXPECT_EQ(Fixtures::content(kaese), "kaese");
    ASSERT_EQ(FileSystem::listFolder(r + "/Win").files.size(), 1);
    EXPECT_EQ(FileSystem::nativeName(FileSystem::listFolder(r + "/Win").files[0]), QByteArray("K\xe4se.jpg"));
    ::unlink(FileSystem::nativeName(kaese).constData());  // the temporary folder's clean-up cannot name it
}

TEST(FileSystem, ListingSortsByNameAndLeavesHiddenEntriesOut)
{
    QTemporaryDir d;
    const QString r = d.path();
    for (const char* n : {"b.jpg", "A.jpg", ".hidden.jpg", "c/x", ".h/x", "link-to-c"})
        if (QString::fromLatin1(n) != u"link-to-c")
            Fixtures::writeFile(r + u'/' + QString::fromLatin1(n));
    QFile::link(r + "/c", r + "/link-to-c");
    QFile::link(r + "/nirgends", r + "/dangling.jpg");
    const FolderEntries e = FileSystem::listFolder(r + u'/');
    EXPECT_TRUE(e.opened);
    EXPECT_EQ(e.files, QStringList({"A.jpg", "b.jpg"}));
    EXPECT_EQ(e.subfolders, QStringList({"c", "link-to-c"}));
    EXPECT_FALSE(FileSystem::listFolder(r + "/fehlt").opened);
}

TEST(FileSystem, EveryNameSurvivesTheRoundTripByteForByte)
{
    // Every single byte, every pair of high bytes (valid UTF-8 or not), and names that really
    // hold a reserved code point or a character beyond the basic plane.
    std::vector<QByteArray> namen;
    for (int b = 1; b < 256; ++b)
        namen.push_back("a" + QByteArray(1, char(b)) + "b.jpg");
    for (int b1 = 0x80; b1 < 256; ++b1)
        for (int b2 = 0x80; b2 < 256; ++b2)
            namen.push_back(QByteArray(1, char(b1)) + char(b2));
    for (const char* n : {"K\xe4se.jpg", "K\xc3\xa4se.jpg", "\xee\xbe\x80.jpg", "\xef\xbf\xbd", "\xf0\x9f\x98\x80.gif",
                          "\xed\xa0\x80", "\xc0\xaf", "\xe2\x82", "/a/\xff/b"})
        namen.push_back(n);
    int fehler = 0;
    for (const QByteArray& n : namen)
        if (FileSystem::nativeName(FileSystem::fromNative(n)) != n && ++fehler < 5)
            ADD_FAILURE() << n.toHex().toStdString();
    EXPECT_EQ(fehler, 0);
    // Valid UTF-8 reads as itself; a Windows-1252 name reads as its characters where it is shown.
    EXPECT_EQ(FileSystem::fromNative("K\xc3\xa4se.jpg"), QStringLiteral("Käse.jpg"));
    EXPECT_NE(FileSystem::fromNative("K\xe4se.jpg"), QStringLiteral("Käse.jpg"));
    EXPECT_EQ(TextEncoding::readableName(FileSystem::fromNative("K\xe4se \x80\x81.jpg")), QStringLiteral("Käse €\uFFFD.jpg"));
}

TEST(FileSystem, NamesAreMadeAbsoluteAgainstTheWorkingFolder)
{
    const QString w = QStringLiteral("/home/anna/Bilder");
    const std::vector<std::pair<QString, QString>> faelle = {
        {"A.jpg", "/home/anna/Bilder/A.jpg"},
        {"./x.jpg", "/home/anna/Bilder/x.jpg"},
        {"../x.jpg", "/home/anna/x.jpg"},
        {"../../../../../x.jpg", "/x.jpg"},
        {"Urlaub//2024/./a.jpg", "/home/anna/Bilder/Urlaub/2024/a.jpg"},
        {"link/../a.jpg", "/home/anna/Bilder/link/../a.jpg"},  // the kernel decides where link/.. is
        {"Sub/", "/home/anna/Bilder/Sub/"},
        {"/abs/A.jpg", "/abs/A.jpg"},
        {"", ""},
        {"mein \"bestes\" Bild.jpg", "/home/anna/Bilder/mein \"bestes\" Bild.jpg"},
    };
    for (const auto& [name, erwartet] : faelle)
        EXPECT_EQ(FileSystem::absolutePath(name, w), erwartet) << name.toStdString();
    EXPECT_EQ(FileSystem::absolutePath("a.jpg", "/"), QStringLiteral("/a.jpg"));
}

TEST(FileSystem, OpeningRefusesWhatIsNoRegularFileWithoutBlockingAndKeepsToItsLimit)
{
    QTemporaryDir d;
    const QString r = d.path();
    const QString klein = Fixtures::writeFile(r + "/klein.flf", "0123456789");
    ASSERT_TRUE(Fixtures::makeFifo(r + "/fifo.flf"));
    ASSERT_TRUE(Fixtures::makeSocket(r + "/sock.flf"));
    ASSERT_TRUE(QFile::link("/dev/zero", r + "/zero.flf"));
    ASSERT_TRUE(QFile::link("/dev/urandom", r + "/zufall.flf"));
    ASSERT_TRUE(QDir(r).mkdir("ordner.flf"));
    {
        QFile gross(r + "/gross.flf");  // sparse: large without taking the disk
        ASSERT_TRUE(gross.open(QIODevice::WriteOnly));
        ASSERT_TRUE(gross.resize(FileSystem::Limit::kSlideList + 1));
    }
    using R = Refusal::Kind;
    const std::vector<std::pair<QString, R>> faelle = {
        {klein, R::None},
        {r + "/fifo.flf", R::NotRegular},
        {r + "/sock.flf", R::NotRegular},
        {r + "/zero.flf", R::NotRegular},
        {r + "/zufall.flf", R::NotRegular},
        {r + "/ordner.flf", R::NotRegular},
        {r + "/gross.flf", R::TooLarge},
        {r + "/fehlt.flf", R::Missing},
        {r + "/KLEIN.FLF", R::Missing},  // exactly as named
        {r + u'/' + QString(4100, u'x'), R::Missing},
        {r + "/a" + QChar(u'\0') + "/klein.flf", R::Missing},
        {QString(), R::Missing},
    };
    for (const auto& [pfad, grund] : faelle) {
        const FileSystem::ReadableFile f = FileSystem::openForReading(pfad, FileSystem::Limit::kSlideList);
        EXPECT_EQ(f.refusal().kind, grund) << pfad.left(100).toStdString();
        EXPECT_EQ(f.isOpen(), grund == R::None);
        QByteArray inhalt("alt");
        Refusal warum;
        EXPECT_EQ(FileSystem::readFile(pfad, FileSystem::Limit::kSlideList, inhalt, &warum), grund == R::None);
        EXPECT_EQ(warum.kind, grund);
        EXPECT_EQ(inhalt, grund == R::None ? QByteArray("0123456789") : QByteArray());
    }
    // A reader of the start of a file reads no further than its limit, whatever the file's size.
    const FileSystem::ReadableFile anfang = FileSystem::openForReading(klein, 4, false);
    EXPECT_EQ(anfang.read(0, 100), "0123");
    EXPECT_EQ(anfang.read(2, 100), "23");
    EXPECT_EQ(anfang.read(4, 100), "");
    EXPECT_TRUE(FileSystem::openForReading(r + "/gross.flf", 4, false).isOpen());
}

TEST(TextEncoding, LongLinesAreShortenedInTheirMiddleForDisplay)
{
    const QString lang = QStringLiteral("/anfang/") + QString(1 << 20, u'x') + QStringLiteral("/ende.jpg");
    const QString text = TextEncoding::forDisplay(QStringLiteral("Bild kann nicht geladen werden.\r\n") + lang +
                                                  QStringLiteral("\r\nPrüfen") + QChar(u'\0'));
    const QStringList zeilen = text.split(u'\n');
    ASSERT_EQ(zeilen.size(), 3);
    EXPECT_EQ(zeilen[0], QStringLiteral("Bild kann nicht geladen werden.\r"));
    EXPECT_LE(zeilen[1].size(), 161);
    EXPECT_TRUE(zeilen[1].startsWith(QStringLiteral("/anfang/xxx")));
    EXPECT_TRUE(zeilen[1].endsWith(QStringLiteral("xxx/ende.jpg\r")));
    EXPECT_TRUE(zeilen[1].contains(QChar(0x2026)));
    EXPECT_EQ(zeilen[2], QStringLiteral("Prüfen\uFFFD"));
    EXPECT_EQ(TextEncoding::forDisplay(FileSystem::fromNative("/a/K\xe4se.jpg")), QStringLiteral("/a/Käse.jpg"));
}

TEST(TextEncoding, Utf8WhenValidOtherwiseWindows1252)
{
    EXPECT_EQ(TextEncoding::decodeText("K\xc3\xa4se"), QStringLiteral("Käse"));
    EXPECT_EQ(TextEncoding::decodeText("K\xe4se \x80 \x9f"), QStringLiteral("Käse € Ÿ"));
    EXPECT_EQ(TextEncoding::decodeText("\xef\xbb\xbf" "a"), QStringLiteral("a"));
    EXPECT_EQ(TextEncoding::decodeText(QByteArray("\xff\xfe" "a\0b\0", 6)), QStringLiteral("ab"));
    EXPECT_FALSE(TextEncoding::isValidUtf8("\xc0\xaf"));      // overlong
    EXPECT_FALSE(TextEncoding::isValidUtf8("\xed\xa0\x80"));  // surrogate
    EXPECT_FALSE(TextEncoding::isValidUtf8("\xe2\x82"));      // truncated
    EXPECT_TRUE(TextEncoding::isValidUtf8("\xf0\x9f\x98\x80"));
}

TEST(LinuxPlatform, ApplicationDataFolderFollowsXdg)
{
    LinuxPlatform p({});
    Fixtures::Umgebung xdg("XDG_CONFIG_HOME", "/tmp/xdg-test/");
    EXPECT_EQ(p.applicationDataFolder(), QStringLiteral("/tmp/xdg-test"));
    for (const char* wert : {"", "relativ"}) {
        qputenv("XDG_CONFIG_HOME", wert);
        EXPECT_EQ(p.applicationDataFolder(), QDir::homePath() + "/.config") << wert;
    }
}

TEST(LinuxPlatform, StandardButtonsSpeakTheInterfaceLanguage)
{
    auto knoepfe = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
        return QStringList{box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                           box.button(QMessageBox::Cancel)->text(), box.button(QMessageBox::Ok)->text()};
    };
    {
        LinuxPlatform p({});
        p.setUiLanguage(QStringLiteral("de"));
        EXPECT_EQ(knoepfe(), (QStringList{"&Ja", "&Nein", "Abbrechen", "OK"}));
        p.setUiLanguage(QStringLiteral("en"));
        EXPECT_EQ(knoepfe(), (QStringList{"&Yes", "&No", "Cancel", "OK"}));
        p.setUiLanguage(QStringLiteral("de"));
    }
    // The platform takes its translation with it.
    EXPECT_EQ(knoepfe().first(), QStringLiteral("&Yes"));
}
