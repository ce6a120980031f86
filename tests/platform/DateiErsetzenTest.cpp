// Files of the user that the program rewrites (mimeapps.list, its desktop entry) and makes (trash
// info files, copies): replaced whole, with owner, group and mode kept, a write-protected file
// left alone also by root, and what root makes in a user's folders left to that user.
#include "platform/FileSystem.h"
#include "platform/LinuxShell.h"
#include "platform/Trash.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kNutzer = 4242;
constexpr gid_t kGruppe = 4343;

struct stat status(const QString& pfad)
{
    struct stat st {};
    EXPECT_EQ(::lstat(FileSystem::nativeName(pfad).constData(), &st), 0) << pfad.toStdString();
    return st;
}

void vergeben(const QString& pfad, unsigned modus)
{
    const QByteArray n = FileSystem::nativeName(pfad);
    ASSERT_EQ(::chmod(n.constData(), modus), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(n.constData(), kNutzer, kGruppe), 0);
    }
}

}  // namespace

TEST(DateiErsetzen, KeepsOwnerGroupAndModeAndLeavesAWriteProtectedFileAlone)
{
    // Root may write anything; the mode the user gave the file decides all the same.
    const bool root = ::geteuid() == 0;
    QTemporaryDir d;
    int dateien = 0;
    for (unsigned modus : {0600u, 0640u, 0664u, 0604u, 0755u, 0200u, 0444u, 0400u, 0440u, 0000u, 0066u, 0555u}) {
        SCOPED_TRACE(QString::number(modus, 8).toStdString());
        const QString pfad = Fixtures::writeFile(d.path() + "/m" + QString::number(modus, 8), "alt");
        ++dateien;
        vergeben(pfad, modus);
        const bool beschreibbar = (modus & 0200) != 0;
        const Refusal grund = FileSystem::replaceFile(pfad, "neuer Inhalt");
        EXPECT_EQ(grund.kind, beschreibbar ? Refusal::Kind::None : Refusal::Kind::WriteProtected);
        EXPECT_EQ(grund.path, beschreibbar ? QString() : pfad);
        const struct stat st = status(pfad);
        EXPECT_EQ(st.st_size, beschreibbar ? 12 : 3);
        EXPECT_EQ(st.st_mode & 07777, modus);
        EXPECT_EQ(st.st_uid, root ? kNutzer : ::geteuid());
        if (root) {
            EXPECT_EQ(st.st_gid, kGruppe);
        }
        // Nothing of the new file is left beside it.
        EXPECT_EQ(QDir(d.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), dateien);
    }
    // What is no file is not replaced.
    ASSERT_TRUE(QDir(d.path()).mkdir("ordner"));
    EXPECT_EQ(FileSystem::replaceFile(d.path() + "/ordner", "x").kind, Refusal::Kind::NotRegular);
    EXPECT_TRUE(QFileInfo(d.path() + "/ordner").isDir());
}

TEST(DateiErsetzen, ALinkIsFollowedAndStaysALink)
{
    QTemporaryDir d;
    const QString ziel = Fixtures::writeFile(d.path() + "/dotfiles/mimeapps.list", "alt");
    vergeben(ziel, 0640);
    ASSERT_TRUE(QFile::link(ziel, d.path() + "/mimeapps.list"));
    ASSERT_TRUE(QFile::link(d.path() + "/nirgends", d.path() + "/tot.list"));
    EXPECT_FALSE(FileSystem::replaceFile(d.path() + "/mimeapps.list", "neu").refused());
    EXPECT_TRUE(QFileInfo(d.path() + "/mimeapps.list").isSymLink());
    EXPECT_EQ(Fixtures::content(ziel), "neu");
    EXPECT_EQ(status(ziel).st_mode & 07777, 0640u);
    // A link to nowhere is not turned into a file.
    EXPECT_EQ(FileSystem::replaceFile(d.path() + "/tot.list", "neu").kind, Refusal::Kind::Missing);
    EXPECT_TRUE(QFileInfo(d.path() + "/tot.list").isSymLink());
}

TEST(DateiErsetzen, WhatRootMakesInAUsersFoldersIsTheUsers)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root makes files for another user";
    QTemporaryDir d;
    const QString home = d.path() + "/home";
    ASSERT_TRUE(QDir().mkpath(home));
    vergeben(home, 0755);
    auto desNutzers = [](const QString& pfad) {
        const struct stat st = status(pfad);
        EXPECT_EQ(st.st_uid, kNutzer) << pfad.toStdString();
        EXPECT_EQ(st.st_gid, kGruppe) << pfad.toStdString();
    };

    // A new file below folders that do not exist yet: each of them the user's, with the usual mode.
    const mode_t maske = ::umask(0);
    ::umask(maske);
    EXPECT_FALSE(FileSystem::replaceFile(home + "/.local/share/applications/fotolauf.desktop", "[Desktop Entry]\n").refused());
    for (const char* pfad : {"/.local", "/.local/share", "/.local/share/applications", "/.local/share/applications/fotolauf.desktop"})
        desNutzers(home + pfad);
    EXPECT_EQ(status(home + "/.local/share/applications/fotolauf.desktop").st_mode & 07777, 0666u & ~maske);

    // The user's trash, made on the first trashing, and the info file in it.
    Fixtures::Umgebung daten("XDG_DATA_HOME", QFile::encodeName(home + "/.local/share"));
    const QString bild = Fixtures::writeFile(home + "/Bilder/bild.jpg", "bild");
    vergeben(home + "/Bilder", 0755);
    vergeben(bild, 0644);
    EXPECT_FALSE(Trash::moveToTrash(bild, Trash::homeTrash()).refused());
    for (const char* pfad : {"/.local/share/Trash", "/.local/share/Trash/files", "/.local/share/Trash/info",
                             "/.local/share/Trash/info/bild.jpg.trashinfo", "/.local/share/Trash/files/bild.jpg"})
        desNutzers(home + pfad);
    EXPECT_EQ(status(home + "/.local/share/Trash/info/bild.jpg.trashinfo").st_mode & 07777, 0600u);

    // A copy into the user's folder.
    const QString quelle = Fixtures::writeFile(d.path() + "/quelle.jpg", "quelle");
    QString fehler;
    EXPECT_EQ(LinuxShell::copyWithoutReplacing(quelle, home + "/Bilder/kopie.jpg", fehler), 0) << fehler.toStdString();
    desNutzers(home + "/Bilder/kopie.jpg");
}
