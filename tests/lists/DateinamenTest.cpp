// The roads in as a Linux user walks them: relative names from a terminal, letter case, names
// that are not UTF-8, quotes in names, slide-list lines beside their file, and file actions that
// touch exactly the file an entry named.
#include "support/ShowFixture.h"

#include "platform/FileSystem.h"

#include <QBuffer>

#include <array>

#include <unistd.h>

namespace {

const ShowTest::Knopf kOhne = &frmDurchsuchenUnterOrdner::btnOhneUnterordner;
const ShowTest::Knopf kMit = &frmDurchsuchenUnterOrdner::btnMitUnterOrdnern;

QByteArray jpeg(Qt::GlobalColor farbe)
{
    QImage bild(40, 30, QImage::Format_RGB32);
    bild.fill(farbe);
    QByteArray bytes;
    QBuffer puffer(&bytes);
    puffer.open(QIODevice::WriteOnly);
    bild.save(&puffer, "JPEG", 95);
    return bytes;
}

// The picture on show is of this colour (black when none could be shown).
bool zeigt(Lauf& l, Qt::GlobalColor farbe)
{
    const LoadedPicture& b = l.programm->imageForm().Image1Bild();
    const QColor ist = b.ok && !b.image.isNull() ? b.image.pixelColor(b.image.width() / 2, b.image.height() / 2) : Qt::black;
    const QColor soll(farbe);
    return std::abs(ist.red() - soll.red()) < 40 && std::abs(ist.green() - soll.green()) < 40 &&
           std::abs(ist.blue() - soll.blue()) < 40;
}

}  // namespace

using Dateinamen = ShowTest;

TEST_F(Dateinamen, RelativeNamesAndLetterCaseTakeTheFileTheUserNamedInTheFolderOfTheShell)
{
    const QString a = Fixtures::writePicture(pfad("Bilder/A.jpg"), 40, 30, Qt::red);
    const QString b = Fixtures::writePicture(pfad("Bilder/b.jpg"), 40, 30, Qt::green);
    const QString c = Fixtures::writePicture(pfad("Bilder/Sub/c.jpg"), 40, 30, Qt::blue);
    const QString x = Fixtures::writePicture(pfad("x.jpg"), 40, 30, Qt::yellow);
    // Names that differ only in case.
    const QString rot = Fixtures::writePicture(pfad("Fall/Foto.jpg"), 40, 30, Qt::red);
    const QString blau = Fixtures::writePicture(pfad("Fall/foto.jpg"), 40, 30, Qt::blue);
    const QString gruen = Fixtures::writePicture(pfad("fall/Foto.jpg"), 40, 30, Qt::green);
    struct Fall {
        QString ordner;
        QStringList argumente;
        Knopf knopf;
        QStringList dateien;
        Qt::GlobalColor gezeigt;
        bool folgeEgal = false;  // names equal but for case keep the order the folder delivers them in
    };
    const std::vector<Fall> faelle = {
        {pfad("Bilder"), {"A.jpg"}, kOhne, {a, b}, Qt::red},
        {pfad("Bilder"), {"A.jpg"}, kMit, {a, b, c}, Qt::red},
        {pfad("Bilder/"), {"./b.jpg"}, kMit, {a, b, c}, Qt::green},
        {pfad("Bilder/Sub"), {"../b.jpg"}, kOhne, {a, b}, Qt::green},
        {pfad("Bilder"), {"../x.jpg", "./A.jpg"}, nullptr, {a, x}, Qt::red},
        {dir.path(), {"Bilder/Sub/c.jpg", "x.jpg"}, nullptr, {c, x}, Qt::blue},
        {dir.path(), {"Bilder/Sub/c.jpg"}, kMit, {c}, Qt::blue},
        {dir.path(), {"Fall/Foto.jpg"}, kOhne, {rot, blau}, Qt::red, true},
        {dir.path(), {"Fall/foto.jpg"}, kOhne, {rot, blau}, Qt::blue, true},
        {dir.path(), {"Fall/foto.jpg"}, kMit, {rot, blau}, Qt::blue, true},
        {dir.path(), {"fall/Foto.jpg"}, kOhne, {gruen}, Qt::green},
        {dir.path(), {"Fall/Foto.jpg", "Fall/foto.jpg"}, nullptr, {rot, blau}, Qt::red},
        {dir.path(), {"fall/Foto.jpg", "Fall/foto.jpg"}, nullptr, {gruen, blau}, Qt::green},
        // Only when the name does not exist as given is another letter case looked for.
        {dir.path(), {"FALL/FOTO.JPG"}, kOhne, {rot, blau}, Qt::red, true},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE((f.ordner + u'|' + f.argumente.join(u'|')).toStdString());
        auto l = lauf(f.ordner, f.argumente, f.knopf);
        QStringList dateien = l->dateien(), erwartet = f.dateien;
        if (f.folgeEgal) {
            dateien.sort();
            erwartet.sort();
        }
        EXPECT_EQ(dateien, erwartet);
        EXPECT_EQ(l->platform.modalDialogs, f.knopf ? 1 : 0);  // the folder question comes for one picture only
        EXPECT_TRUE(l->platform.messages.empty()) << l->platform.messageTexts().join(u'|').toStdString();
        EXPECT_TRUE(zeigt(*l, f.gezeigt));
        // The lists show absolute names, lower-cased like the command line.
        for (int i = 0; i < l->liste().ListCount(); ++i)
            EXPECT_TRUE(l->liste().List(i).startsWith(dir.path().toLower() + u'/'));
    }
}

TEST_F(Dateinamen, NamesThatAreNotUtf8AreFoundShownAndListedReadably)
{
    // The other roads to such names (the folder scan, the command line) run end to end.
    const QByteArray alt = FileSystem::nativeName(pfad("Alt"));
    QDir().mkpath(pfad("Alt/Sub"));
    const QString a = Fixtures::writePicture(pfad("Alt/a.jpg"), 40, 30, Qt::red);
    const QString kaese = Fixtures::writeRawNamed(alt + "/K\xe4se.jpg", jpeg(Qt::green));
    const QString ete = Fixtures::writeRawNamed(alt + "/Sub/\xe9t\xe9.jpg", jpeg(Qt::blue));
    auto l = lauf(dir.path(), {a}, kMit);
    ASSERT_EQ(l->dateien(), (QStringList{a, kaese, ete}));
    const QStringList zeilen{QStringLiteral("/a.jpg"), QStringLiteral("/Käse.jpg"), QStringLiteral("/Sub/été.jpg")};
    QAbstractItemModel* modell = l->programm->listBoxForm().ListBoxNeu->model();
    for (int i = 0; i < 3; ++i) {
        l->programm->Arbeitsliste().setListIndex(i);
        l->programm->fotolaufForm().BildAnzeigen();
        EXPECT_TRUE(zeigt(*l, std::array{Qt::red, Qt::green, Qt::blue}[size_t(i)])) << i;
        const QString zeile = modell->data(modell->index(i, 0)).toString();
        EXPECT_TRUE(zeile.endsWith(zeilen[i], Qt::CaseInsensitive)) << zeile.toStdString();
    }
    EXPECT_TRUE(l->platform.messages.empty()) << l->platform.messageTexts().join(u'|').toStdString();
    // The temporary folder's clean-up cannot name these files.
    ::unlink(FileSystem::nativeName(kaese).constData());
    ::unlink(FileSystem::nativeName(ete).constData());
}

TEST_F(Dateinamen, SlideListLinesThatAreNoFullPathsNameFilesBesideTheSlideList)
{
    const QString a = Fixtures::writePicture(pfad("Dias/a.jpg"), 40, 30, Qt::red);
    const QString b = Fixtures::writePicture(pfad("Dias/Sub/B.jpg"), 40, 30, Qt::blue);
    const QString c = Fixtures::writePicture(pfad("c.jpg"), 40, 30, Qt::green);
    Fixtures::writeFile(pfad("Dias/Show.FLF"), "a.jpg\r\nSub/B.jpg\r\n../c.jpg\r\n" + c.toUtf8() + "\r\n");
    auto l = lauf(dir.path(), {"Dias/Show.FLF"});
    EXPECT_EQ(l->dateien(), (QStringList{a, b, c, c}));
    EXPECT_EQ(l->liste().List(1), pfad("Dias/").toLower() + "Sub/B.jpg");
    EXPECT_TRUE(l->platform.messages.empty()) << l->platform.messageTexts().join(u'|').toStdString();
}

TEST_F(Dateinamen, FileActionsTouchExactlyTheFileAnEntryNamedAndNothingElse)
{
    const QString a = Fixtures::writePicture(pfad("dup/a.jpg"), 40, 30, Qt::red);
    const QString grossA = Fixtures::writeFile(pfad("dup/A.jpg"), "unlisted A");
    const QString gelb = Fixtures::writePicture(pfad("dup/Gelb.JPG"), 40, 30, Qt::yellow);
    const QString b = Fixtures::writePicture(pfad("dup/b.jpg"), 40, 30, Qt::blue);
    const QString grossB = Fixtures::writeFile(pfad("dup/B.jpg"), "unlisted B");
    const QByteArray inhaltA = Fixtures::content(a), inhaltGelb = Fixtures::content(gelb);
    QDir().mkpath(pfad("ziel"));
    auto l = lauf(dir.path(), {"dup/a.jpg", "dup/Gelb.JPG", "dup/b.jpg"});
    l->platform.trashFolder = pfad("trash");
    ListBoxForm& fenster = l->programm->listBoxForm();
    BildListe& liste = l->liste();
    ASSERT_EQ(l->dateien(), (QStringList{a, b, gelb}));

    // b vanishes after the list was filled: no action may take B.jpg for it.
    ASSERT_TRUE(QFile::remove(b));
    for (int i = 0; i < 3; ++i)
        liste.setSelected(i, true);
    l->platform.chosenFolders = {pfad("ziel")};
    fenster.WeiterAnShellExecute(6);
    QStringList kopiert = QDir(pfad("ziel")).entryList(QDir::Files);
    kopiert.sort();
    EXPECT_EQ(kopiert, (QStringList{"Gelb.JPG", "a.jpg"}));  // the real name, not the list's gelb.jpg
    EXPECT_EQ(Fixtures::content(pfad("ziel/Gelb.JPG")), inhaltGelb);
    EXPECT_EQ(Fixtures::content(pfad("ziel/a.jpg")), inhaltA);
    EXPECT_EQ(l->platform.messageTexts().filter(QStringLiteral("Error number=53")).size(), 1);

    l->platform.messages.clear();
    fenster.WeiterAnShellExecute(5);
    QStringList imTrash = QDir(pfad("trash/files")).entryList(QDir::Files);
    imTrash.sort();
    EXPECT_EQ(imTrash, (QStringList{"Gelb.JPG", "a.jpg"}));
    EXPECT_EQ(Fixtures::content(pfad("trash/files/a.jpg")), inhaltA);
    EXPECT_EQ(Fixtures::content(grossA), "unlisted A");
    EXPECT_EQ(Fixtures::content(grossB), "unlisted B");
    EXPECT_EQ(liste.ListCount(), 1);  // the vanished b stays, reported
    EXPECT_TRUE(l->platform.messageTexts().last().startsWith(QStringLiteral("Sie haben mindestens eine")));

    // Open, print and the file manager are handed the entry's own file as well.
    fenster.ListBoxNeu->setListIndex(0);
    l->platform.shellResults = {2};
    fenster.WeiterAnShellExecute(1);
    ASSERT_EQ(l->platform.shellRequests.size(), 1u);
    EXPECT_EQ(l->platform.shellRequests[0].target, b);
}
