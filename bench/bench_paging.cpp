// Paging through real photos on a 1920 x 1080 screen, from the key (or the slide-show tick) to the
// picture painted in the picture window: after a one-second look at each picture, with the next key
// as soon as the picture shows, and in random order after a one-second look; then after a one-second
// look at brightness 123 (each picture decoded whole for the table), and over copies of the landscape
// photos tagged to stand upright (Exif orientation 6 and 8, shown as portraits). In the same run: the
// loader alone on the same photos (file to picture ready to paint, one after the other), so the
// figures read as a ratio to the work that cannot be avoided. With --peak: the memory the program
// takes above idle while paging the photos of 20 megapixels and more, in a process of its own; and
// the peak memory of the process with the largest pictures allowed (16384 x 8192, JPEG and 24-bit
// BMP), each zoomed at once while the next one is decoded ahead (goal: under 700 MB).
//
//   bench_paging [DIR] [LAPS]    DIR: JPEG photos, by default /tmp/fotolauf-photos (build it with
//                                ../shared/tools/photo-corpus DIR); LAPS of the list (default 1)
#include "Messwerte.h"
#include "display/Helligkeit.h"
#include "support/ExifAusrichtung.h"
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/BildListenFeld.h"
#include "listwindow/ListBoxForm.h"
#include "display/BildVorlader.h"
#include "platform/LinuxPlatform.h"
#include "platform/PictureLoader.h"
#include "windows/ImageForm.h"
#include "windows/WertxForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class BenchPlatform : public LinuxPlatform {
public:
    using LinuxPlatform::LinuxPlatform;
    int messageBox(const MessageBoxRequest& r) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(r.text));
        return MsgBox::Ok;
    }
};

// Lets the event loop run, as it does while the user looks at a picture.
void verweilen(int ms)
{
    QEventLoop schleife;
    QTimer::singleShot(ms, &schleife, &QEventLoop::quit);
    schleife.exec();
}

// The offscreen platform with one 1920 x 1080 screen, unless a platform was chosen.
void bildschirmEinrichten(QTemporaryFile& konfiguration)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    konfiguration.open();
    konfiguration.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1080,
                           "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    konfiguration.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(konfiguration.fileName()));
}

struct Programmlauf {
    explicit Programmlauf(const QStringList& fotos)
        : platform(fotos)
        , programm(platform)
    {
        programm.Starten();
        form = &programm.fotolaufForm();
        fenster = &programm.imageForm();
    }
    // One step with the key F3 (or a tick of the show): until the picture is painted, in ms.
    double schritt(bool tick)
    {
        QElapsedTimer t;
        t.start();
        if (tick) {
            form->Timer1_Timer();
            form->Timer1.stop();
        } else {
            QKeyEvent taste(QEvent::KeyPress, Qt::Key_F3, Qt::NoModifier);
            QApplication::sendEvent(fenster, &taste);
        }
        fenster->repaint();
        return double(t.nsecsElapsed()) / 1e6;
    }
    BenchPlatform platform;
    Programm programm;
    FotolaufForm* form = nullptr;
    ImageForm* fenster = nullptr;
};

// Copies of the landscape photos with an orientation that stands them upright, turned a quarter
// one way or the other.
QStringList hochkantKopien(const QStringList& fotos, const QTemporaryDir& ordner)
{
    QStringList kopien;
    for (const QString& f : fotos) {
        const QSize s = QImageReader(f).size();
        QFile quelle(f);
        if (s.width() <= s.height() || !quelle.open(QIODevice::ReadOnly))
            continue;
        const QString ziel = ordner.filePath(QFileInfo(f).fileName());
        QFile kopie(ziel);
        if (!kopie.open(QIODevice::WriteOnly))
            continue;
        kopie.write(Fixtures::mitAusrichtung(quelle.readAll(), kopien.size() % 2 ? 8 : 6));
        kopien.append(ziel);
    }
    return kopien;
}

// Steps after a one-second look at each picture, for the given number of laps.
std::vector<double> nachEinerSekunde(Programmlauf& lauf, qsizetype anzahl, int runden)
{
    std::vector<double> zeiten;
    for (int r = 0; r < runden; ++r)
        for (qsizetype i = 0; i < anzahl; ++i) {
            verweilen(1000);
            zeiten.push_back(lauf.schritt(false));
        }
    return zeiten;
}

// The loader alone, three times over the photos, in ms.
std::vector<double> ladenAllein(const QStringList& fotos, int runden, const ByteTable* tabelle = nullptr)
{
    PictureLoader lader;
    std::vector<double> laden;
    for (int r = 0; r < 3 * runden; ++r)
        for (const QString& f : fotos) {
            QElapsedTimer t;
            t.start();
            const LoadedPicture p = lader.load(f, QSize(1920, 1080), tabelle);
            laden.push_back(double(t.nsecsElapsed()) / 1e6);
            if (!p.ok)
                std::fprintf(stderr, "not loaded: %s\n", qPrintable(f));
        }
    return laden;
}

int spitze(const QStringList& fotos)
{
    Programmlauf lauf(fotos);
    verweilen(1000);
    const long ruhe = procStatusKb("VmRSS:");
    // Peak counted from here on.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    for (int runde = 0; runde < 2; ++runde)
        for (int i = 0; i < fotos.size(); ++i) {
            lauf.schritt(false);
            verweilen(300);
        }
    std::printf("peak while paging %lld photos of 20 MP and more: %.1f MiB above idle (idle %.1f MiB)\n",
                static_cast<long long>(fotos.size()), double(procStatusKb("VmHWM:") - ruhe) / 1024.0, double(ruhe) / 1024.0);
    return 0;
}

// Two of the largest pictures allowed: the first shown and zoomed in at once (its full resolution
// read) while the second is decoded ahead, then the second shown and zoomed, then back.
int groesste(const QStringList& bilder)
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    const long vorher = procStatusKb("VmHWM:");
    {
        Programmlauf lauf(bilder);
        auto ruhig = [&] {
            while (!lauf.form->Vorlader().ruhig())
                verweilen(20);
        };
        QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
        QApplication::sendEvent(lauf.fenster, &f4);
        ruhig();
        lauf.schritt(false);
        QApplication::sendEvent(lauf.fenster, &f4);
        ruhig();
        lauf.schritt(false);
        ruhig();
    }
    std::printf("peak with two %s of 16384 x 8192, one zoomed while the next is decoded ahead: %.0f MiB "
                "(%.0f MiB before the start; goal: under 700 MB, %.0f MiB)\n",
                qPrintable(QFileInfo(bilder[0]).suffix().toUpper()), double(procStatusKb("VmHWM:")) / 1024.0,
                double(vorher) / 1024.0, 700e6 / 1048576.0);
    return 0;
}

// The largest pictures allowed, written once into the folder: detail all over, so that no part of
// them decodes faster than a photo's.
QStringList groessteBilder(const QDir& ordner, const char* format)
{
    const QString endung = qstrcmp(format, "JPEG") == 0 ? QStringLiteral("jpg") : QString::fromLatin1(format).toLower();
    const QStringList namen = {QStringLiteral("gross1.") + endung, QStringLiteral("gross2.") + endung};
    for (const QString& name : namen) {
        if (QFileInfo::exists(ordner.filePath(name)))
            continue;
        QImage bild(16384, 8192, QImage::Format_RGB888);
        for (int y = 0; y < bild.height(); ++y) {
            uchar* zeile = bild.scanLine(y);
            for (int x = 0; x < bild.width(); ++x) {
                zeile[3 * x] = uchar(x ^ y);
                zeile[3 * x + 1] = uchar((x * 7 + y * 3) >> 2);
                zeile[3 * x + 2] = uchar((x / 64 + y / 64) * 37 + (name.startsWith(QLatin1String("gross2")) ? 100 : 0));
            }
        }
        bild.save(ordner.filePath(name), format, 85);
    }
    return {ordner.filePath(namen[0]), ordner.filePath(namen[1])};
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryFile konfiguration;
    bildschirmEinrichten(konfiguration);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QStringList argumente = QApplication::arguments();
    if (argumente.size() > 2 && argumente[1] == u"--groesste")
        return groesste(argumente.mid(2));
    const bool peak = argumente.size() > 1 && argumente[1] == u"--peak";
    if (peak)
        argumente.removeAt(1);
    const QDir ordner(argumente.value(1, QStringLiteral("/tmp/fotolauf-photos")));
    const int runden = std::max(1, argumente.value(2, QStringLiteral("1")).toInt());
    QStringList fotos;
    for (const QString& name : ordner.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name)) {
        const QString pfad = ordner.absoluteFilePath(name);
        const QSize s = QImageReader(pfad).size();
        if (!peak || qint64(s.width()) * s.height() >= 20000000)
            fotos.append(pfad);
    }
    if (fotos.size() < 3) {
        std::fprintf(stderr, "need photos in %s (../shared/tools/photo-corpus DIR builds them)\n",
                     qPrintable(ordner.path()));
        return 1;
    }
    if (peak)
        return spitze(fotos);

    std::vector<double> verweilt, sofort, zufall, hell, hochkant;
    {
        Programmlauf lauf(fotos);
        verweilt = nachEinerSekunde(lauf, fotos.size(), runden);
        for (int r = 0; r < runden; ++r)
            for (int i = 0; i < fotos.size(); ++i) {
                QCoreApplication::processEvents();
                sofort.push_back(lauf.schritt(false));
            }
        // Brightness 123, set as the settings window sets it; the picture on screen is shown anew.
        lauf.form->Helligkeit = 123;
        lauf.form->BildAnzeigen();
        hell = nachEinerSekunde(lauf, fotos.size(), runden);
        lauf.form->Helligkeit = 80;
        lauf.form->BildAnzeigen();
        // Random order: the show running, each tick after a one-second look.
        lauf.programm.wertxForm().OptZufaellig->setChecked(true);
        lauf.form->F6TimerGestartet = true;
        for (int r = 0; r < runden; ++r)
            for (int i = 0; i < fotos.size(); ++i) {
                verweilen(1000);
                zufall.push_back(lauf.schritt(true));
            }
    }
    QTemporaryDir hochkantOrdner;
    const QStringList gedreht = hochkantKopien(fotos, hochkantOrdner);
    if (gedreht.size() >= 3) {
        Programmlauf lauf(gedreht);
        hochkant = nachEinerSekunde(lauf, gedreht.size(), runden);
    }

    const double allein = median(ladenAllein(fotos, runden));
    const ByteTable tabelle = Helligkeit::TabelleBerechnen(123);
    const double alleinHell = median(ladenAllein(fotos, runden, &tabelle));
    const double alleinHochkant = gedreht.isEmpty() ? 0 : median(ladenAllein(gedreht, runden));
    std::printf("%lld photos in %s, 1920 x 1080, medians in ms (ratio to loading alone)\n",
                static_cast<long long>(fotos.size()), qPrintable(ordner.path()));
    std::printf("  loading one photo alone:                %7.1f\n", allein);
    std::printf("  F3 to painted, after a 1 s look:        %7.1f (%.2f)\n", median(verweilt), median(verweilt) / allein);
    std::printf("  F3 to painted, next key at once:        %7.1f (%.2f)\n", median(sofort), median(sofort) / allein);
    std::printf("  tick to painted, random, after 1 s:     %7.1f (%.2f)\n", median(zufall), median(zufall) / allein);
    std::printf("  at brightness 123: loading alone:       %7.1f\n", alleinHell);
    std::printf("  at brightness 123: F3 after a 1 s look: %7.1f (%.2f)   slowest %.1f\n", median(hell),
                median(hell) / alleinHell, *std::max_element(hell.begin(), hell.end()));
    if (!hochkant.empty()) {
        std::printf("  %lld upright-turned portraits: loading alone: %7.1f\n", static_cast<long long>(gedreht.size()),
                    alleinHochkant);
        std::printf("  upright-turned portraits: F3 after 1 s: %7.1f (%.2f)   slowest %.1f\n", median(hochkant),
                    median(hochkant) / alleinHochkant, *std::max_element(hochkant.begin(), hochkant.end()));
    }

    // Peak memory in a fresh process, so that this run's buffers do not count.
    QProcess kind;
    kind.setProcessChannelMode(QProcess::ForwardedChannels);
    kind.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak"), ordner.path()});
    kind.waitForFinished(-1);
    QTemporaryDir gross;
    for (const char* format : {"JPEG", "BMP"}) {
        kind.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--groesste")} + groessteBilder(QDir(gross.path()), format));
        kind.waitForFinished(-1);
    }
    return 0;
}
