// Hostile files against every reader and every action of the program: FIFOs without a writer,
// links to endless devices, folders and sockets named like pictures, slide-list and settings
// files, NUL bytes and megabyte lines, files larger than any reader takes, headers of pictures of
// 11000 x 11000 pixels. Each case must end at once with the program's message or result; after a
// trash or a copy exactly the ticked pictures have moved or been copied (checked by content).
#include "support/ShowFixture.h"

#include "metadata/clsEXIF.h"
#include "metadata/clsIPTC.h"
#include "platform/FileSystem.h"

#include <QBuffer>
#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sys/resource.h>
#include <thread>

namespace {

// Ends the test run with the case's name when a case takes longer than any reader may: a reader
// that blocks on a FIFO would otherwise hang the whole suite without saying where.
class Waechter {
public:
    explicit Waechter(const QString& fall, int sekunden = 30)
        : m_fall(fall.left(200).toStdString())
        , m_faden([this, sekunden] {
            std::unique_lock<std::mutex> sperre(m_mutex);
            if (!m_fertig_cv.wait_for(sperre, std::chrono::seconds(sekunden), [this] { return m_fertig; })) {
                std::fprintf(stderr, "HANG: %s did not end within %d s\n", m_fall.c_str(), sekunden);
                std::abort();
            }
        })
    {
    }
    ~Waechter()
    {
        {
            std::lock_guard<std::mutex> sperre(m_mutex);
            m_fertig = true;
        }
        m_fertig_cv.notify_one();
        m_faden.join();
    }

private:
    std::string m_fall;
    std::mutex m_mutex;
    std::condition_variable m_fertig_cv;
    bool m_fertig = false;
    std::thread m_faden;
};

long spitzeKiB()
{
    rusage r{};
    ::getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss;
}

// A file of the given size that takes no room on the disk.
void duenn(const QString& pfad, qint64 groesse)
{
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(groesse));
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
    if (sof >= 0) {
        for (int k : {5, 7}) {  // height, width
            jpeg[sof + k] = char(11000 >> 8);
            jpeg[sof + k + 1] = char(11000 & 0xFF);
        }
    }
    return jpeg;
}

// A BMP header of 11000 x 11000 pixels at 24 bits with no pixel data behind it.
QByteArray riesigesBmp()
{
    QByteArray b(54, '\0');
    auto le = [&b](int pos, quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            b[pos + i] = char((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    le(2, 54 + 11000u * 33000u, 4);
    le(10, 54, 4);
    le(14, 40, 4);
    le(18, 11000, 4);
    le(22, 11000, 4);
    le(26, 1, 2);
    le(28, 24, 2);
    return b;
}

}  // namespace

class Feindlich : public ShowTest {
protected:
    Feindlich() { m_spitzeVorher = spitzeKiB(); }
    ~Feindlich() override
    {
        // Nothing here may keep anything near the size of the files it was offered.
        EXPECT_LT(spitzeKiB() - m_spitzeVorher, 300L * 1024) << "peak memory grew";
    }

    // The things that are no readable file, each under the given name ending.
    QStringList unlesbare(const QString& ordner, const QString& endung)
    {
        QDir().mkpath(ordner);
        const QString fifo = ordner + "/fifo" + endung, sock = ordner + "/sock" + endung, zero = ordner + "/zero" + endung,
                      zufall = ordner + "/zufall" + endung, mappe = ordner + "/ordner" + endung;
        EXPECT_TRUE(Fixtures::makeFifo(fifo));
        EXPECT_TRUE(Fixtures::makeSocket(sock));
        EXPECT_TRUE(QFile::link("/dev/zero", zero));
        EXPECT_TRUE(QFile::link("/dev/urandom", zufall));
        EXPECT_TRUE(QDir().mkpath(mappe));
        return {fifo, sock, zero, zufall, mappe};
    }

    // Starts a program of its own with these arguments.
    std::unique_ptr<Programm> starteMit(ScriptedPlatform& p, const QStringList& argumente)
    {
        p.appDataFolder = platform.appDataFolder;
        p.programFolderPath = platform.programFolderPath;
        p.givenArguments = argumente;
        auto programm = std::make_unique<Programm>(p);
        programm->Starten();
        return programm;
    }

private:
    long m_spitzeVorher = 0;
};

TEST_F(Feindlich, SlideListFilesThatCannotBeReadEndWithTheMissingFileMessage)
{
    QStringList faelle = unlesbare(pfad("listen"), ".flf");
    duenn(pfad("listen/gross.flf"), FileSystem::Limit::kSlideList + 1);
    faelle.append(pfad("listen/gross.flf"));
    // One field of 50 MB: more than any list of pictures can be.
    Fixtures::writeFile(pfad("listen/feld.flf"), QByteArray(50 << 20, 'a'));
    faelle.append(pfad("listen/feld.flf"));
    for (const QString& liste : faelle) {
        Waechter w(liste);
        ScriptedPlatform p;
        auto programm = starteMit(p, {liste});
        ASSERT_FALSE(p.messages.empty()) << liste.toStdString();
        EXPECT_EQ(p.messages.back().text, QStringLiteral("Sie haben folgende Foto-Lauf-Datei angegeben:\r\n") + liste.toLower() +
                                              QStringLiteral("\r\nDiese Datei existiert nicht"));
        EXPECT_EQ(p.endRequests, 1);
        EXPECT_EQ(programm->listBoxForm().ListBoxNeu->ListCount(), 0);
    }
}

TEST_F(Feindlich, SlideListLinesWithANulAreFaultyAndMegabyteLinesAreMissingPictures)
{
    const QString gut = Fixtures::writePicture(pfad("gut.jpg"), 40, 30);
    const QString geheim = Fixtures::writeFile(pfad("geheim.odt"), "geheim");
    // "a.jpg<NUL>geheim.odt" must never become one entry standing for two files.
    const QString nul = Fixtures::writeFile(pfad("nul.flf"), gut.toUtf8() + "\r\n" + gut.toUtf8() + QByteArray("\0", 1) +
                                                                 geheim.toUtf8() + "\r\n");
    {
        Waechter w(nul);
        ScriptedPlatform p;
        auto programm = starteMit(p, {nul});
        ASSERT_EQ(p.messages.size(), 1u);
        EXPECT_TRUE(p.messages[0].text.startsWith(QStringLiteral("Fehlerhafte Zeile in ") + nul.toLower()));
        EXPECT_TRUE(p.messages[0].text.endsWith(QStringLiteral("ZeilenNummer: 2")));
        EXPECT_EQ(p.endRequests, 1);
    }
    // Lines of a megabyte name no file: listed, reported as not loadable, never looked for.
    const QByteArray lang = "/" + QByteArray(1 << 20, 'x') + ".jpg";
    const QString lange = Fixtures::writeFile(pfad("lang.flf"), lang + "\r\n" + gut.toUtf8() + "\r\n" + lang + "\r\n");
    Waechter w(lange);
    ScriptedPlatform p;
    p.trashFolder = pfad("trash");
    auto programm = starteMit(p, {lange});
    BildListenFeld& neu = *programm->listBoxForm().ListBoxNeu;
    ASSERT_EQ(neu.ListCount(), 3);
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_TRUE(p.messages[0].text.startsWith(QStringLiteral("Bild kann nicht geladen werden.")));
    EXPECT_EQ(p.endRequests, 0);
    // Trashing it alongside a real picture moves the real one only.
    const QByteArray gutInhalt = Fixtures::content(gut);
    neu.setSelected(0, true);
    neu.setSelected(1, true);
    programm->listBoxForm().WeiterAnShellExecute(5);
    EXPECT_EQ(Fixtures::content(pfad("trash/files/gut.jpg")), gutInhalt);
    EXPECT_FALSE(QFileInfo::exists(gut));
    EXPECT_EQ(Fixtures::content(geheim), "geheim");
    EXPECT_EQ(neu.ListCount(), 2);
    EXPECT_EQ(p.messages.back().text, QStringLiteral("Sie haben mindestens eine schreibgeschützte Datei markiert. "
                                                     "Schreibgeschützte Dateien werden nicht gelöscht."));
}

TEST_F(Feindlich, SettingsFilesThatCannotBeReadOrAreTooLargeGiveTheDefaults)
{
    const QString ordner = platform.appDataFolder + "/TESSRIN Albora 13";
    const QString exifBild = QStringLiteral(FOTOLAUF_SAMPLES_DIR "/exif/exiftool__Canon.jpg");
    ASSERT_TRUE(QFileInfo::exists(exifBild));
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
        Waechter w(QStringLiteral("settings case %1").arg(i));
        ScriptedPlatform p;
        p.programFolderPath = programmOrdner.path();
        p.appDataFolder = platform.appDataFolder;
        Programm programm(p);
        programm.Starten();
        EXPECT_EQ(programm.LanguageOffset, 0) << i;
        EXPECT_EQ(programm.DPIPruefung, QStringLiteral("1")) << i;
        EXPECT_TRUE(p.messages.empty()) << i;
        EXPECT_EQ(p.endRequests, 0);
        clsEXIF exif(programmOrdner.path());
        exif.setImageFile(exifBild);
        EXPECT_TRUE(exif.ListInfo().startsWith(QStringLiteral("Make: Canon"))) << i << exif.ListInfo().left(80).toStdString();
    }
}

TEST_F(Feindlich, EveryReaderAndActionOnPicturesThatAreNoneEndsAtOnce)
{
    platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
    const QString ordner = pfad("bilder");
    const QString gut1 = Fixtures::writePicture(ordner + "/gut1.jpg", 40, 30, Qt::red);
    const QString gut2 = Fixtures::writePicture(ordner + "/gut2.jpg", 40, 30, Qt::blue);
    // Unlisted neighbours that differ only in case: never touched.
    const QString nachbar = Fixtures::writeFile(ordner + "/GUT1.jpg", "nachbar");
    QStringList feindlich = unlesbare(ordner, ".jpg");
    duenn(ordner + "/gross.jpg", FileSystem::Limit::kPicture + 1);
    feindlich.append(ordner + "/gross.jpg");
    feindlich.append(Fixtures::writeFile(ordner + "/riesig.jpg", riesigesJpeg()));
    feindlich.append(Fixtures::writeFile(ordner + "/riesig.bmp", riesigesBmp()));
    feindlich.append(ordner + "/" + QString(300, u'n') + ".jpg");  // a name part longer than a file system takes

    // The readers one by one, outside the program.
    for (const QString& datei : feindlich) {
        Waechter w(datei);
        PictureLoader lader;
        EXPECT_FALSE(lader.load(datei, {1024, 768}).ok) << datei.toStdString();
        clsEXIF exif(ordner);
        exif.setImageFile(datei);
        EXPECT_TRUE(exif.ListInfo() == "Could not open the file." || exif.ListInfo() == "File is not in EXIF format.")
            << datei.toStdString() << exif.ListInfo().toStdString();
        clsIPTC iptc;
        EXPECT_FALSE(iptc.LoadFromFile(datei));
    }

    // The whole program started with all of them: each shown, its EXIF and IPTC asked for.
    QStringList argumente = feindlich;
    argumente.prepend(gut1);
    argumente.append(gut2);
    platform.givenArguments = argumente;
    platform.trashFolder = pfad("trash");
    {
        Waechter w(QStringLiteral("start with every hostile picture"));
        programm().Starten();
    }
    BildListenFeld& neu = listBoxNeu();
    ASSERT_EQ(neu.ListCount(), argumente.size());
    ListBoxForm& liste = programm().listBoxForm();
    for (int i = 0; i < neu.ListCount(); ++i) {
        const QString datei = neu.liste().Datei(i);
        Waechter w(datei);
        platform.messages.clear();
        neu.setListIndex(i);
        form().BildAnzeigen();
        const bool istGut = datei == gut1 || datei == gut2;
        EXPECT_EQ(platform.messages.empty(), istGut) << datei.toStdString();
        liste.chkExifAnzeigen->setChecked(true);
        liste.chkExifAnzeigen_Click();
        if (!istGut) {
            EXPECT_NE(liste.txtEXIFInfo->toPlainText(), QString());
        }
        liste.chkIptcAnzeigen->setChecked(true);
        liste.chkIptcAnzeigen_Click();
        EXPECT_EQ(liste.lstExifIptc->count(), 0);
        liste.chkIptcAnzeigen->setChecked(false);
    }

    // Everything ticked but gut2 and the huge file (copying half a gigabyte of zeros is what a
    // copy of it rightly does, but not here).
    const QString gross = ordner + "/gross.jpg";
    for (int i = 0; i < neu.ListCount(); ++i)
        neu.setSelected(i, neu.liste().Datei(i) != gut2 && neu.liste().Datei(i) != gross);
    const auto inhalt = [](const QString& o) {
        QStringList namen = QDir(o).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden);
        namen.sort();
        return namen;
    };
    const QByteArray gut1Inhalt = Fixtures::content(gut1);
    const QByteArray riesigInhalt = Fixtures::content(ordner + "/riesig.jpg");

    // The copy: the regular files arrive, every other one reports its error and the copy goes on.
    ASSERT_TRUE(QDir().mkpath(pfad("ziel")));
    platform.messages.clear();
    platform.chosenFolders = {pfad("ziel")};
    {
        Waechter w(QStringLiteral("copy"));
        liste.WeiterAnShellExecute(6);
    }
    // fifo, sock, zero, zufall, ordner and the long name; then the picture on show is shown again.
    EXPECT_EQ(platform.messageTexts().filter(QStringLiteral("FileCopy from")).size(), 6);
    EXPECT_EQ(inhalt(pfad("ziel")), (QStringList{"gut1.jpg", "riesig.bmp", "riesig.jpg"}));
    EXPECT_EQ(Fixtures::content(pfad("ziel/gut1.jpg")), gut1Inhalt);
    EXPECT_EQ(Fixtures::content(pfad("ziel/riesig.jpg")), riesigInhalt);

    // The trash moves exactly the ticked names (a link as a link, a FIFO unopened); a folder and a
    // name no file can have stay and are reported.
    platform.messages.clear();
    {
        Waechter w(QStringLiteral("trash"));
        liste.WeiterAnShellExecute(5);
    }
    EXPECT_EQ(inhalt(pfad("trash/files")),
              (QStringList{"fifo.jpg", "gut1.jpg", "riesig.bmp", "riesig.jpg", "sock.jpg", "zero.jpg", "zufall.jpg"}));
    EXPECT_EQ(Fixtures::content(pfad("trash/files/gut1.jpg")), gut1Inhalt);
    EXPECT_EQ(QFileInfo(pfad("trash/files/zero.jpg")).symLinkTarget(), QStringLiteral("/dev/zero"));
    EXPECT_EQ(inhalt(ordner), (QStringList{"GUT1.jpg", "gross.jpg", "gut2.jpg", "ordner.jpg"}));
    EXPECT_EQ(Fixtures::content(nachbar), "nachbar");
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_EQ(platform.messages.back().text, QStringLiteral("Sie haben mindestens eine schreibgeschützte Datei markiert. "
                                                            "Schreibgeschützte Dateien werden nicht gelöscht."));
    EXPECT_EQ(neu.ListCount(), 4);  // gut2, gross.jpg, the folder, the long name
}

TEST_F(Feindlich, FolderWalksListOnlyRegularFilesAndStepIntoNothingElse)
{
    const QString ordner = pfad("bilder");
    const QString gut = Fixtures::writePicture(ordner + "/gut.jpg", 40, 30);
    const QString tief = Fixtures::writePicture(ordner + "/ordner.jpg/tief.jpg", 40, 30);
    unlesbare(ordner, ".jpg");
    QFile::link(ordner, ordner + "/ordner.jpg/zurueck");  // a link back up
    using Knopf = QPushButton* frmDurchsuchenUnterOrdner::*;
    for (Knopf knopf : {&frmDurchsuchenUnterOrdner::btnOhneUnterordner, &frmDurchsuchenUnterOrdner::btnMitUnterOrdnern}) {
        Waechter w(QStringLiteral("folder walk"));
        ScriptedPlatform p;
        p.onModal = [knopf](QDialog& d) { (dynamic_cast<frmDurchsuchenUnterOrdner&>(d).*knopf)->click(); };
        auto programm = starteMit(p, {gut});
        const std::vector<EintragsDatei>& dateien = programm->listBoxForm().ListBoxNeu->liste().Dateien();
        QStringList gefunden;
        for (const EintragsDatei& d : dateien)
            gefunden.append(d.pfad);
        const bool ohne = knopf == &frmDurchsuchenUnterOrdner::btnOhneUnterordner;
        EXPECT_EQ(gefunden, ohne ? QStringList{gut} : (QStringList{gut, tief}));
        EXPECT_TRUE(p.messages.empty());
    }
}
