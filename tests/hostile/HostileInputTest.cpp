// Hostile files against every reader and every action of the program: FIFOs without a writer,
// links to endless devices, folders and sockets named like pictures, slide-list and settings
// files, NUL bytes and megabyte lines, files larger than any reader takes, headers of pictures of
// 11000 x 11000 pixels. Each case must end at once with the program's message or result; after a
// trash or a copy exactly the ticked files have moved or been copied (checked by content).
#include "support/ShowFixture.h"

#include "metadata/clsEXIF.h"
#include "metadata/clsIPTC.h"
#include "platform/FileSystem.h"

#include <QBuffer>
#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Ends the run naming the case when a case takes longer than any reader may: a reader blocked on a
// FIFO would otherwise hang the suite without saying where.
struct Frist {
    static inline char fall[256];
    explicit Frist(const QString& name)
    {
        qstrncpy(fall, name.left(200).toUtf8().constData(), sizeof fall);
        std::signal(SIGALRM, [](int) {
            (void)!::write(2, "HANG: ", 6);
            (void)!::write(2, fall, std::strlen(fall));
            std::_Exit(3);
        });
        ::alarm(30);
    }
    ~Frist() { ::alarm(0); }
};

long spitzeKiB()
{
    rusage r{};
    ::getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss;
}

QStringList namen(const QString& ordner)
{
    QStringList n = QDir(ordner).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden);
    n.sort();
    return n;
}

// A real JPEG whose frame header claims 11000 x 11000 pixels; the data ends after a few rows.
QByteArray riesigesJpeg()
{
    QImage klein(64, 64, QImage::Format_RGB32);
    klein.fill(Qt::green);
    QByteArray jpeg;
    QBuffer puffer(&jpeg);
    puffer.open(QIODevice::WriteOnly);
    klein.save(&puffer, "JPEG");
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    for (int k : {5, 6, 7, 8})  // height and width, big-endian
        jpeg[sof + k] = char(k % 2 ? 11000 >> 8 : 11000 & 0xFF);
    return jpeg;
}

}  // namespace

class Feindlich : public ShowTest {
protected:
    Feindlich() { m_spitzeVorher = spitzeKiB(); }
    ~Feindlich() override { EXPECT_LT(spitzeKiB() - m_spitzeVorher, 300L * 1024) << "peak memory grew"; }

    // The things that are no readable file, each under the given name ending.
    QStringList unlesbare(const QString& ordner, const QString& endung)
    {
        QDir().mkpath(ordner + "/ordner" + endung);
        const QString f = ordner + "/fifo" + endung, s = ordner + "/sock" + endung;
        EXPECT_TRUE(Fixtures::makeFifo(f) && Fixtures::makeSocket(s));
        QFile::link("/dev/zero", ordner + "/zero" + endung);
        QFile::link("/dev/urandom", ordner + "/zufall" + endung);
        return {f, s, ordner + "/zero" + endung, ordner + "/zufall" + endung, ordner + "/ordner" + endung};
    }
    static void duenn(const QString& pfad, qint64 groesse)  // large without taking the disk
    {
        QFile f(pfad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(groesse));
    }

private:
    long m_spitzeVorher = 0;
};

TEST_F(Feindlich, SlideListFilesThatCannotBeReadEndWithTheReasonTheyCannotBeOpened)
{
    std::vector<std::pair<QString, QString>> faelle;
    for (const QString& liste : unlesbare(pfad("listen"), ".flf"))
        faelle.push_back({liste, "Not a regular file"});
    duenn(pfad("listen/gross.flf"), FileSystem::Limit::kSlideList + 1);
    Fixtures::writeFile(pfad("listen/feld.flf"), QByteArray(50 << 20, 'a'));  // one field of 50 MB
    faelle.push_back({pfad("listen/gross.flf"), "File too large (more than 16 MiB)"});
    faelle.push_back({pfad("listen/feld.flf"), "File too large (more than 16 MiB)"});
    faelle.push_back({pfad("listen/fehlt.flf"), ""});
    for (const auto& [liste, grund] : faelle) {
        Frist frist(liste);
        auto l = lauf(dir.path(), {liste});
        ASSERT_FALSE(l->platform.messages.empty()) << liste.toStdString();
        const QString angegeben = QStringLiteral("Sie haben folgende Foto-Lauf-Datei angegeben:\r\n") + liste.toLower();
        EXPECT_EQ(l->platform.messages.back().text,
                  grund.isEmpty() ? angegeben + QStringLiteral("\r\nDiese Datei existiert nicht")
                                  : "Errortext=" + grund + "\r\n\r\n" + angegeben + QStringLiteral("\r\nDiese Datei kann nicht geöffnet werden"));
        EXPECT_EQ(l->platform.endRequests, 1);
        EXPECT_EQ(l->liste().ListCount(), 0);
    }
}

TEST_F(Feindlich, SlideListLinesWithANulAreFaultyAndMegabyteLinesAreMissingPictures)
{
    const QString gut = Fixtures::writePicture(pfad("gut.jpg"), 40, 30);
    const QString geheim = Fixtures::writeFile(pfad("geheim.odt"), "geheim");
    // "gut.jpg<NUL>geheim.odt" must never become one entry standing for two files.
    const QString nul = Fixtures::writeFile(pfad("nul.flf"), gut.toUtf8() + "\r\n" + gut.toUtf8() + QByteArray("\0", 1) +
                                                                 geheim.toUtf8() + "\r\n");
    {
        Frist frist(nul);
        auto l = lauf(dir.path(), {nul});
        ASSERT_EQ(l->platform.messages.size(), 1u);
        EXPECT_TRUE(l->platform.messages[0].text.startsWith(QStringLiteral("Fehlerhafte Zeile in ") + nul.toLower()));
        EXPECT_TRUE(l->platform.messages[0].text.endsWith(QStringLiteral("ZeilenNummer: 2")));
        EXPECT_EQ(l->platform.endRequests, 1);
    }
    // Lines of a megabyte name no file: listed, reported as not loadable, never looked for; trashed
    // together with a real picture, only the real one moves.
    const QByteArray lang = "/" + QByteArray(1 << 20, 'x') + ".jpg";
    const QString lange = Fixtures::writeFile(pfad("lang.flf"), lang + "\r\n" + gut.toUtf8() + "\r\n" + lang + "\r\n");
    const QByteArray gutInhalt = Fixtures::content(gut);
    Frist frist(lange);
    auto l = lauf(dir.path(), {lange});
    ASSERT_EQ(l->liste().ListCount(), 3);
    ASSERT_EQ(l->platform.messages.size(), 1u);
    EXPECT_TRUE(l->platform.messages[0].text.startsWith(QStringLiteral("Bild kann nicht geladen werden.")));
    l->platform.trashFolder = pfad("trash");
    l->liste().setSelected(0, true);
    l->liste().setSelected(1, true);
    l->programm->listBoxForm().WeiterAnShellExecute(5);
    EXPECT_EQ(namen(pfad("trash/files")), QStringList{"gut.jpg"});
    EXPECT_EQ(Fixtures::content(pfad("trash/files/gut.jpg")), gutInhalt);
    EXPECT_EQ(Fixtures::content(geheim), "geheim");
    EXPECT_EQ(l->liste().ListCount(), 2);
    EXPECT_TRUE(l->platform.messages.back().text.startsWith(QStringLiteral("Sie haben mindestens eine")));
}

TEST_F(Feindlich, SettingsFilesThatCannotBeReadOrAreTooLargeGiveTheDefaults)
{
    const QString ordner = platform.appDataFolder + "/TESSRIN Albora 13";
    const QString exifBild = QStringLiteral(FOTOLAUF_SAMPLES_DIR "/exif/exiftool__Canon.jpg");
    const std::vector<std::function<void(const QString&)>> faelle = {
        [](const QString& d) { Fixtures::makeFifo(d); },
        [](const QString& d) { QFile::link("/dev/zero", d); },
        [](const QString& d) { QFile::link("/dev/urandom", d); },
        [](const QString& d) { QDir().mkpath(d); },
        [](const QString& d) { Fixtures::makeSocket(d); },
        // English, but far larger than a settings file: not read at all.
        [](const QString& d) { Fixtures::writeFile(d, "[Global]\nLanguage=1\n" + QByteArray(FileSystem::Limit::kSettings, ';')); },
    };
    for (size_t i = 0; i < faelle.size(); ++i) {
        QDir(ordner).removeRecursively();
        QDir().mkpath(ordner);
        QTemporaryDir programmOrdner;  // exif.ini beside the program is the same kind of thing
        faelle[i](ordner + "/albo.ini");
        faelle[i](programmOrdner.path() + "/exif.ini");
        Frist frist(QStringLiteral("settings case %1").arg(i));
        Programm programm(platform);
        programm.Starten();
        EXPECT_EQ(programm.LanguageOffset, 0) << i;
        EXPECT_EQ(programm.DPIPruefung, QStringLiteral("1")) << i;
        clsEXIF exif(programmOrdner.path());
        exif.setImageFile(exifBild);
        EXPECT_TRUE(exif.ListInfo().startsWith(QStringLiteral("Make: Canon"))) << i << exif.ListInfo().left(80).toStdString();
    }
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.endRequests, 0);
}

TEST_F(Feindlich, EveryReaderAndActionOnPicturesThatAreNoneEndsAtOnce)
{
    const QString o = pfad("bilder");
    const QString gut1 = Fixtures::writePicture(o + "/gut1.jpg", 40, 30, Qt::red);
    const QString gut2 = Fixtures::writePicture(o + "/gut2.jpg", 40, 30, Qt::blue);
    const QString nachbar = Fixtures::writeFile(o + "/GUT1.jpg", "nachbar");  // unlisted, differs only in case
    QStringList feindlich = unlesbare(o, ".jpg");
    duenn(o + "/gross.jpg", FileSystem::Limit::kPicture + 1);
    Fixtures::writeFile(o + "/riesig.jpg", riesigesJpeg());
    // A BMP header of 11000 x 11000 at 24 bits with no pixel data behind it.
    QByteArray bmp = QByteArray::fromHex("424d000000000000000036000000280000") + QByteArray(37, '\0');
    for (int pos : {18, 22}) {
        bmp[pos] = char(11000 & 0xFF);
        bmp[pos + 1] = char(11000 >> 8);
    }
    bmp[26] = 1;
    bmp[28] = 24;
    Fixtures::writeFile(o + "/riesig.bmp", bmp);
    feindlich << o + "/gross.jpg" << o + "/riesig.jpg" << o + "/riesig.bmp" << o + "/" + QString(300, u'n') + ".jpg";

    // Every reader, shown through the program: the picture, its EXIF and IPTC fields.
    auto l = lauf(o, QStringList{gut1} + feindlich + QStringList{gut2});
    l->platform.trashFolder = pfad("trash");
    ListBoxForm& fenster = l->programm->listBoxForm();
    BildListe& liste = l->liste();
    ASSERT_EQ(liste.ListCount(), feindlich.size() + 2);
    for (int i = 0; i < liste.ListCount(); ++i) {
        const QString datei = liste.Datei(i);
        const bool gut = datei == gut1 || datei == gut2;
        Frist frist(datei);
        l->platform.messages.clear();
        fenster.ListBoxNeu->setListIndex(i);
        l->programm->fotolaufForm().BildAnzeigen();
        EXPECT_EQ(l->platform.messages.empty(), gut) << datei.toStdString();
        fenster.chkExifAnzeigen->setChecked(true);
        fenster.chkExifAnzeigen_Click();
        EXPECT_TRUE(gut || fenster.txtEXIFInfo->toPlainText().startsWith(QStringLiteral("Could not open the file.")) ||
                    fenster.txtEXIFInfo->toPlainText().startsWith(QStringLiteral("File is not in EXIF format.")));
        fenster.chkIptcAnzeigen->setChecked(true);
        fenster.chkIptcAnzeigen_Click();
        EXPECT_EQ(fenster.lstExifIptc->count(), 0);
        clsIPTC iptc;
        EXPECT_FALSE(iptc.LoadFromFile(datei));
    }

    // Everything ticked but gut2 and the huge file (copying half a gigabyte is what a copy rightly
    // does, but not here). The copy: the regular files arrive, the others report and the copy goes on.
    for (int i = 0; i < liste.ListCount(); ++i)
        liste.setSelected(i, liste.Datei(i) != gut2 && liste.Datei(i) != o + "/gross.jpg");
    const QByteArray gut1Inhalt = Fixtures::content(gut1);
    QDir().mkpath(pfad("ziel"));
    l->platform.chosenFolders = {pfad("ziel")};
    {
        Frist frist(QStringLiteral("copy"));
        fenster.WeiterAnShellExecute(6);
    }
    // fifo, sock, zero, zufall, ordner and the long name
    EXPECT_EQ(l->platform.messageTexts().filter(QStringLiteral("FileCopy from")).size(), 6);
    EXPECT_EQ(namen(pfad("ziel")), (QStringList{"gut1.jpg", "riesig.bmp", "riesig.jpg"}));
    EXPECT_EQ(Fixtures::content(pfad("ziel/gut1.jpg")), gut1Inhalt);

    // The trash moves exactly the ticked names (a link as a link, a FIFO unopened); a folder and a
    // name no file can have stay and are reported: the name among the files not deleted, the
    // folder with the reason it was refused.
    QString ordnerEintrag;
    for (int i = 0; i < liste.ListCount(); ++i)
        if (liste.Datei(i) == o + "/ordner.jpg")
            ordnerEintrag = liste.List(i);
    l->platform.messages.clear();
    {
        Frist frist(QStringLiteral("trash"));
        fenster.WeiterAnShellExecute(5);
    }
    EXPECT_EQ(namen(pfad("trash/files")),
              (QStringList{"fifo.jpg", "gut1.jpg", "riesig.bmp", "riesig.jpg", "sock.jpg", "zero.jpg", "zufall.jpg"}));
    EXPECT_EQ(Fixtures::content(pfad("trash/files/gut1.jpg")), gut1Inhalt);
    EXPECT_EQ(QFileInfo(pfad("trash/files/zero.jpg")).symLinkTarget(), QStringLiteral("/dev/zero"));
    EXPECT_EQ(namen(o), (QStringList{"GUT1.jpg", "gross.jpg", "gut2.jpg", "ordner.jpg"}));
    EXPECT_EQ(Fixtures::content(nachbar), "nachbar");
    EXPECT_EQ(l->platform.messageTexts().mid(1),
              (QStringList{QStringLiteral("Sie haben mindestens eine schreibgeschützte Datei markiert. Schreibgeschützte Dateien werden nicht gelöscht."),
                           QStringLiteral("Errortext=Not a regular file\r\n\r\nVerschiebe alle mit Häkchen markierten Dateien in den Papierkorb\r\n") +
                               ordnerEintrag}));
    EXPECT_EQ(liste.ListCount(), 4);  // gut2, gross.jpg, the folder, the long name
}

TEST_F(Feindlich, FolderWalksListOnlyRegularFilesAndStepIntoNothingElse)
{
    const QString gut = Fixtures::writePicture(pfad("bilder/gut.jpg"), 40, 30);
    const QString tief = Fixtures::writePicture(pfad("bilder/ordner.jpg/tief.jpg"), 40, 30);
    unlesbare(pfad("bilder"), ".jpg");
    QFile::link(pfad("bilder"), pfad("bilder/ordner.jpg/zurueck"));  // a link back up
    for (Knopf knopf : {&frmDurchsuchenUnterOrdner::btnOhneUnterordner, &frmDurchsuchenUnterOrdner::btnMitUnterOrdnern}) {
        Frist frist(QStringLiteral("folder walk"));
        auto l = lauf(dir.path(), {gut}, knopf);
        const bool ohne = knopf == &frmDurchsuchenUnterOrdner::btnOhneUnterordner;
        EXPECT_EQ(l->dateien(), ohne ? QStringList{gut} : (QStringList{gut, tief}));
        EXPECT_TRUE(l->platform.messages.empty());
    }
}
