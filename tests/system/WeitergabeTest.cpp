// Files of an associated type that the viewer does not show (photo.jpeg after JPG was
// associated) go to the application the desktop would choose without the viewer.
#include "support/Fixtures.h"
#include "system/Weitergabe.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A desktop of its own in a temporary folder; `weitere` data folders follow its own (the system's
// MIME database is read from there).
struct Desktop {
    explicit Desktop(const QByteArray& weitere = {})
        : datenOrdner("XDG_DATA_DIRS", (dir.path() + "/usr").toUtf8() + weitere)
    {
    }
    QTemporaryDir dir;
    Fixtures::Umgebung konfig{"XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8()};
    Fixtures::Umgebung konfigOrdner{"XDG_CONFIG_DIRS", (dir.path() + "/etc").toUtf8()};
    Fixtures::Umgebung daten{"XDG_DATA_HOME", (dir.path() + "/data").toUtf8()};
    Fixtures::Umgebung datenOrdner;
    QString eintrag(const QString& wo, const QString& id)
    {
        return Fixtures::writeFile(dir.path() + u'/' + wo + QStringLiteral("/applications/") + id, "[Desktop Entry]\n");
    }
};

}  // namespace

TEST(Weitergabe, TheNextApplicationFollowsTheDesktopsOrder)
{
    struct Fall {
        const char* was;
        QByteArray benutzerListe;  // $XDG_CONFIG_HOME/mimeapps.list
        QByteArray cache;          // usr/applications/mimeinfo.cache
        QString erwartet;          // folder/id, "" for none
    } faelle[] = {
        {"the default behind the viewer", "[Default Applications]\nimage/jpeg=fotolauf.desktop;eog.desktop;\n",
         "[MIME Cache]\nimage/jpeg=gimp.desktop;\n", "data/applications/eog.desktop"},
        {"an added association when the defaults name only the viewer",
         "[Default Applications]\nimage/jpeg=fotolauf.desktop;\n[Added Associations]\nimage/jpeg=gimp.desktop;\n", "",
         "usr/applications/gimp.desktop"},
        {"an entry that is not installed is passed over", "[Default Applications]\nimage/jpeg=fehlt.desktop;eog.desktop\n", "",
         "data/applications/eog.desktop"},
        {"the installed entries when no list names one", "", "[MIME Cache]\nimage/png=eog.desktop;\nimage/jpeg=fotolauf.desktop;gimp.desktop;\n",
         "usr/applications/gimp.desktop"},
        {"a removed association is not taken from the cache",
         "[Removed Associations]\nimage/jpeg=gimp.desktop;\n", "[MIME Cache]\nimage/jpeg=gimp.desktop;\n", ""},
        {"only the viewer takes the type", "[Default Applications]\nimage/jpeg=fotolauf.desktop\n", "", ""},
    };
    for (const Fall& f : faelle) {
        Desktop d;
        d.eintrag("data", "eog.desktop");
        d.eintrag("usr", "gimp.desktop");
        d.eintrag("data", "fotolauf.desktop");
        Fixtures::writeFile(d.dir.path() + "/config/mimeapps.list", f.benutzerListe);
        Fixtures::writeFile(d.dir.path() + "/usr/applications/mimeinfo.cache", f.cache);
        const QString erwartet = f.erwartet.isEmpty() ? QString() : d.dir.path() + u'/' + f.erwartet;
        EXPECT_EQ(Weitergabe::NaechsteAnwendung(QStringLiteral("image/jpeg"), QStringLiteral("fotolauf.desktop")), erwartet) << f.was;
    }
}

TEST(Weitergabe, OnlyFilesOfAnAssociatedTypeThatTheViewerDoesNotShowGoOn)
{
    Desktop d(":/usr/share");
    d.eintrag("data", "eog.desktop");
    Fixtures::writeFile(d.dir.path() + "/config/mimeapps.list", "[Default Applications]\nimage/jpeg=fotolauf.desktop;eog.desktop;\n"
                                                               "image/png=eog.desktop;\n");
    const QString eog = d.dir.path() + "/data/applications/eog.desktop";
    auto datei = [&](const char* name) { return Fixtures::writePicture(d.dir.path() + "/b/" + name, 4, 4); };
    const QString jpeg = datei("Foto.JPEG"), jpe = datei("foto.jpe"), jpg = datei("foto.jpg"), png = datei("foto.png");
    EXPECT_EQ(Weitergabe::Ziel({jpeg}), eog);
    EXPECT_EQ(Weitergabe::Ziel({jpeg, jpe}), eog);
    EXPECT_EQ(Weitergabe::Ziel({jpg}), QString()) << "the viewer shows .jpg itself";
    EXPECT_EQ(Weitergabe::Ziel({jpeg, jpg}), QString()) << "with a picture of its own the viewer starts";
    EXPECT_EQ(Weitergabe::Ziel({png}), QString()) << "a type the viewer is not associated with";
    EXPECT_EQ(Weitergabe::Ziel({d.dir.path() + "/b/fehlt.jpeg"}), QString()) << "a missing file";
    EXPECT_EQ(Weitergabe::Ziel({}), QString());
}
