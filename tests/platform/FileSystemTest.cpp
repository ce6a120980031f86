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
#include <gtest/gtest.h>

TEST(FileSystem, ResolvesEachComponentWithoutRegardToCaseExactMatchFirst)
{
    QTemporaryDir d;
    const QString r = d.path();
    Fixtures::writeFile(r + "/Anna/Bilder/IMG_01.JPG");
    Fixtures::writeFile(r + "/Anna/Bilder/img_01.jpg");
    Fixtures::writeFile(r + "/Anna/bilder/x.gif");
    Fixtures::writeFile(r + "/Mixed/Only.Gif");
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
    };
    for (const auto& f : faelle)
        EXPECT_EQ(FileSystem::resolvePath(f.gegeben), f.erwartet) << f.gegeben.toStdString();
    QByteArray inhalt;
    EXPECT_TRUE(FileSystem::readFile(r.toLower() == r ? r + "/MIXED/ONLY.GIF" : r + "/mixed/only.gif", inhalt));
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

TEST(LinuxPlatform, ArgumentsWithBlanksAreQuoted)
{
    EXPECT_EQ(joinArguments({"/a/b.jpg", "/Meine Bilder/c.jpg"}), QStringLiteral("/a/b.jpg \"/Meine Bilder/c.jpg\""));
    EXPECT_EQ(joinArguments({}), QString());
}

TEST(LinuxPlatform, ApplicationDataFolderFollowsXdg)
{
    LinuxPlatform p({});
    const QByteArray alt = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/xdg-test/");
    EXPECT_EQ(p.applicationDataFolder(), QStringLiteral("/tmp/xdg-test"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(p.applicationDataFolder(), QDir::homePath() + "/.config");
    qputenv("XDG_CONFIG_HOME", "relativ");
    EXPECT_EQ(p.applicationDataFolder(), QDir::homePath() + "/.config");
    if (alt.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", alt);
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
