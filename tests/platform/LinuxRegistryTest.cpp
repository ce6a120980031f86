// The registry keys of the file-type association on a Linux desktop, in temporary XDG folders:
// the desktop's own xdg-mime and desktop-file-validate judge what was written, and the user's
// mimeapps.list keeps every line that was not ours to change.
#include "platform/LinuxRegistry.h"
#include "platform/MimeAppsList.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Fixtures::Umgebung;

namespace {

using Fixtures::content;

QString ausgabe(const QString& programm, const QStringList& argumente, int* exitCode = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programm, argumente);
    p.waitForFinished(30000);
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAll()).trimmed();
}

const QString kExts = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.");

class LinuxRegistryTest : public ::testing::Test {
protected:
    QString config() const { return d.path() + "/config"; }
    QString daten() const { return d.path() + "/data"; }
    QTemporaryDir d;
    Umgebung c{"XDG_CONFIG_HOME", QFile::encodeName(d.path() + "/config")};
    Umgebung h{"XDG_DATA_HOME", QFile::encodeName(d.path() + "/data")};
    Umgebung s{"XDG_DATA_DIRS", QFile::encodeName(d.path() + "/leer")};
    Umgebung k{"XDG_CONFIG_DIRS", QFile::encodeName(d.path() + "/leer")};
    Umgebung g{"XDG_CURRENT_DESKTOP", "GNOME"};
    LinuxRegistry registry;
};

}  // namespace

TEST_F(LinuxRegistryTest, TheAssociationKeysMakeTheViewerTheDefaultAndKeepTheUsersOtherLines)
{
    const QString programm = Fixtures::writeFile(d.path() + "/inst/fotolauf");
    QFile::setPermissions(programm, QFile::permissions(programm) | QFile::ExeOwner);
    const QByteArray vorher =
        "# mine\r\n[Added Associations]\r\nimage/jpeg=gimp.desktop;\r\n\r\n[Default Applications]\r\nimage/gif = eog.desktop;gimp.desktop\r\n"
        "text/plain=gedit.desktop;\r\n\r\n[Removed Associations]\r\nimage/jpeg=fotolauf.desktop;eog.desktop;\r\nimage/bmp=fotolauf.desktop;";
    Fixtures::writeFile(config() + "/mimeapps.list", vorher);
    Fixtures::writeFile(config() + "/gnome-mimeapps.list", "[Default Applications]\nimage/jpeg=eog.desktop;\nimage/png=eog.desktop;\n");

    const QString befehl = u'"' + programm + QStringLiteral("\" \"%1\"");
    EXPECT_TRUE(registry.setText(RegistryRoot::CurrentUser, "Software\\Classes\\Applications\\fotolauf\\shell\\open\\command", "", befehl));
    EXPECT_TRUE(registry.setText(RegistryRoot::ClassesRoot, "Applications\\fotolauf\\shell\\open\\command", "", befehl));
    for (const char* e : {"bmp", "cur", "dib", "emf", "gif", "ico", "jpg", "wmf"})
        EXPECT_TRUE(registry.setText(RegistryRoot::CurrentUser, kExts + e, "Application", "fotolauf")) << e;
    EXPECT_TRUE(registry.deleteValue(RegistryRoot::CurrentUser, kExts + "jpg", "Progid"));

    const QString eintrag = daten() + "/applications/fotolauf.desktop";
    EXPECT_TRUE(content(eintrag).contains("\nExec=" + programm.toUtf8() + " %F\n")) << content(eintrag).constData();
    EXPECT_EQ(ausgabe("desktop-file-validate", {eintrag}), "");
    for (const char* typ : {"image/jpeg", "image/gif", "image/bmp", "image/x-bmp", "image/x-win-bitmap", "image/vnd.microsoft.icon",
                            "image/x-icon", "image/wmf", "image/x-wmf", "image/emf", "image/x-emf"})
        EXPECT_EQ(ausgabe("xdg-mime", {"query", "default", typ}), "fotolauf.desktop") << typ;
    EXPECT_EQ(content(config() + "/mimeapps.list"),
              "# mine\r\n[Added Associations]\r\nimage/jpeg=gimp.desktop;\r\n\r\n[Default Applications]\r\n"
              "image/gif = fotolauf.desktop;eog.desktop;gimp.desktop;\r\ntext/plain=gedit.desktop;\r\n"
              "image/bmp=fotolauf.desktop;\r\nimage/x-bmp=fotolauf.desktop;\r\nimage/x-win-bitmap=fotolauf.desktop;\r\n"
              "image/emf=fotolauf.desktop;\r\nimage/x-emf=fotolauf.desktop;\r\nimage/vnd.microsoft.icon=fotolauf.desktop;\r\n"
              "image/x-icon=fotolauf.desktop;\r\nimage/jpeg=fotolauf.desktop;\r\nimage/wmf=fotolauf.desktop;\r\n"
              "image/x-wmf=fotolauf.desktop;\r\n\r\n[Removed Associations]\r\nimage/jpeg=eog.desktop;\r\nimage/bmp=fotolauf.desktop;");
    EXPECT_EQ(content(config() + "/gnome-mimeapps.list"), "[Default Applications]\nimage/png=eog.desktop;\n");

    // Doing it all again changes nothing.
    const QByteArray danach = content(config() + "/mimeapps.list");
    for (const char* e : {"bmp", "jpg"})
        registry.setText(RegistryRoot::CurrentUser, kExts + e, "Application", "fotolauf");
    registry.deleteValue(RegistryRoot::CurrentUser, kExts + "jpg", "Progid");
    EXPECT_EQ(content(config() + "/mimeapps.list"), danach);
}

TEST_F(LinuxRegistryTest, OtherKeysChangeNothing)
{
    EXPECT_FALSE(registry.setText(RegistryRoot::LocalMachine, "Software\\Classes\\Applications\\fotolauf\\shell\\open\\command", "", "x"));
    EXPECT_FALSE(registry.setText(RegistryRoot::CurrentUser, "Software\\Classes\\Applications\\a/b\\shell\\open\\command", "", "x"));
    EXPECT_FALSE(registry.setText(RegistryRoot::CurrentUser, kExts + "png", "Application", "fotolauf"));
    EXPECT_FALSE(registry.setText(RegistryRoot::CurrentUser, kExts + "jpg", "Application", "../böse"));
    EXPECT_FALSE(registry.deleteValue(RegistryRoot::CurrentUser, kExts + "jpg", "Application"));
    QString name;
    EXPECT_FALSE(registry.valueName(RegistryRoot::CurrentUser, "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", 0, name));
    EXPECT_FALSE(QFileInfo::exists(config()));
    EXPECT_FALSE(QFileInfo::exists(daten()));
}

TEST(LinuxRegistry, ExecLineQuotesWhatTheDesktopEntryRulesReserve)
{
    const std::pair<const char*, const char*> faelle[] = {
        {"\"/opt/x/fotolauf\" \"%1\"", "/opt/x/fotolauf %F"},
        {"/opt/x/fotolauf %1", "/opt/x/fotolauf %F"},
        {"\"/home/a b/fotolauf\" \"%1\"", "\"/home/a b/fotolauf\" %F"},
        {"\"/x/100%/fotolauf\" \"%1\"", "/x/100%%/fotolauf %F"},
        {"\"/x/$HOME`a`\\b/fotolauf\" \"%1\"", "\"/x/\\$HOME\\`a\\`\\\\b/fotolauf\" %F"},
        {"\"/x/nicht zu", "\"/x/nicht zu\""},
        {"", ""},
    };
    for (const auto& [befehl, exec] : faelle)
        EXPECT_EQ(LinuxRegistry::execLine(QString::fromUtf8(befehl)), QString::fromUtf8(exec)) << befehl;
}

TEST(LinuxRegistry, InstallerFoldersAreTheHelpFoldersBesideTheProgram)
{
    QTemporaryDir d;
    Fixtures::writeFile(d.path() + "/a/Help/Deutsch/fotolauf.CHM");
    Fixtures::writeFile(d.path() + "/a/Help/English/fotolauf.CHM");
    Fixtures::writeFile(d.path() + "/b/Help/English/fotolauf.CHM");
    Fixtures::writeFile(d.path() + "/c/fotolauf");
    LinuxRegistry registry({d.path() + "/a", d.path() + "/b", d.path() + "/c", d.path() + "/fehlt"});
    const QString schluessel = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders");
    QStringList namen;
    QString name;
    for (int i = 0; registry.valueName(RegistryRoot::LocalMachine, schluessel, i, name); ++i)
        namen.append(name);
    EXPECT_EQ(namen, QStringList({d.path() + "/a/Help/Deutsch/", d.path() + "/a/Help/English/", d.path() + "/b/Help/English/"}));
    EXPECT_FALSE(registry.valueName(RegistryRoot::CurrentUser, schluessel, 0, name));
}

TEST(MimeAppsList, EditsChangeOnlyTheLinesTheyMustAndKeepTheBytesOfEveryEntry)
{
    for (const auto& [vorher, nachher] : std::vector<std::pair<QByteArray, QByteArray>>{
             // Bytes that are not UTF-8 stay as they were, in the edited line and elsewhere.
             {"[Default Applications]\nimage/gif=caf\xe9.desktop;\xc3(;\n# gr\xfc\xdf\n",
              "[Default Applications]\nimage/gif=f.desktop;caf\xe9.desktop;\xc3(;\n# gr\xfc\xdf\n"},
             // Already the default: the line stays as the user wrote it.
             {"[Default Applications]\r\nimage/gif = f.desktop ;; x\xff\r\n", "[Default Applications]\r\nimage/gif = f.desktop ;; x\xff\r\n"},
             {"", "[Default Applications]\nimage/gif=f.desktop;\n"},
             {"[Added Associations]\nimage/gif=a.desktop;", "[Added Associations]\nimage/gif=a.desktop;\n\n[Default Applications]\nimage/gif=f.desktop;\n"},
             {"[Default Applications]\nimage/gif=f.desktop;\n", "[Default Applications]\nimage/gif=f.desktop;\n"},
             {"[Default Applications]\nimage/gif=a.desktop;f.desktop;\n[Default Applications]\nimage/gif=b\n",
              "[Default Applications]\nimage/gif=f.desktop;a.desktop;\n[Default Applications]\nimage/gif=f.desktop;b;\n"},
         }) {
        MimeAppsList liste(vorher);
        liste.setDefault("image/gif", "f.desktop");
        EXPECT_EQ(liste.content(), nachher) << vorher.constData();
        EXPECT_EQ(liste.changed(), vorher != nachher);
    }
}
