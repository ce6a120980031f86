// Rendering time of the sample EMF and WMF pictures at 1920 x 1080, next to the time of
// drawing a 1920 x 1080 bitmap (what showing an already decoded picture costs) in the same run,
// and of a made-up picture of a million line records. Times are the processor time of the best
// of several runs, which other programs running at the same time disturb far less than the
// clock on the wall.
#include "metafile/MetafilePicture.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

int kRepeats = 5;

template <typename F>
double bestMs(F&& f, int repeats)
{
    double best = 1e9;
    for (int i = 0; i < repeats; ++i) {
        const std::clock_t start = std::clock();
        f();
        best = std::min(best, double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC);
    }
    return best;
}

void append32(QByteArray& b, std::initializer_list<int32_t> values)
{
    for (int32_t v : values) {
        char le[4];
        qToLittleEndian<int32_t>(v, le);
        b.append(le, 4);
    }
}

// An EMF of a white pen walking a million short lines over a 1000 x 1000 page, one line record
// each, as plotting and drawing programs write long curves.
QByteArray millionLines()
{
    constexpr int kLines = 1'000'000;
    QByteArray records;
    records.reserve(kLines * 16 + 256);
    append32(records, {38, 28, 1, 0, 0, 0, 0x00FFFFFF});  // EMR_CREATEPEN 1: solid, cosmetic, white
    append32(records, {37, 12, 1});                        // EMR_SELECTOBJECT
    append32(records, {27, 16, 500, 500});                 // EMR_MOVETOEX
    int x = 500, y = 500;
    for (int i = 0; i < kLines; ++i) {
        x = std::clamp(x + (i * 7) % 7 - 3, 0, 999);
        y = std::clamp(y + (i * 5) % 7 - 3 + (i % 1000 < 500 ? 1 : -1), 0, 999);
        append32(records, {54, 16, x, y});                 // EMR_LINETO
    }
    QByteArray file;
    const int total = 88 + int(records.size()) + 20;
    append32(file, {1, 88, 0, 0, 1000, 1000, 0, 0, 25000, 25000, 0x464D4520, 0x10000, total, kLines + 5});
    append32(file, {2, 0, 0, 0, 1000, 1000, 250, 250});  // handles 2, no description or palette; device and mm
    file += records;
    append32(file, {14, 20, 0, 16, 20});
    return file;
}

struct Timing {
    QString name;
    double ms;
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Optional: a folder of samples, then a file name pattern that narrows the run to those files
    // (and leaves out the made-up picture) and a number of runs, for profiling one of them.
    const QString samples = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(FOTOLAUF_BENCH_SAMPLES);
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (argc > 3)
        kRepeats = std::max(1, std::atoi(argv[3]));
    QImage screen(1920, 1080, QImage::Format_RGB32);
    const QRectF target(0, 0, 1920, 1080);
    auto render = [&](const MetafilePicture& picture) {
        screen.fill(Qt::black);
        QPainter p(&screen);
        picture.draw(p, target);
    };

    QImage bitmap(1920, 1080, QImage::Format_RGB32);
    bitmap.fill(Qt::darkCyan);
    const double baseline = bestMs([&] {
        QPainter p(&screen);
        p.drawImage(target, bitmap);
    }, kRepeats);
    std::printf("baseline: drawing a 1920x1080 bitmap        %8.2f ms\n", baseline);

    std::vector<Timing> all;
    for (const char* kind : {"emf", "wmf", "office"}) {
        const QDir dir(samples + QLatin1Char('/') + QLatin1String(kind));
        const QStringList patterns = only.isEmpty() ? QStringList{QStringLiteral("*.emf"), QStringLiteral("*.wmf")} : QStringList{only};
        for (const QString& name : dir.entryList(patterns, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const auto picture = MetafilePicture::load(f.readAll());
            if (!picture)
                continue;
            const double ms = bestMs([&] { render(*picture); }, kRepeats);
            std::printf("%-48s %8.2f ms  (%.1fx baseline)\n", qPrintable(name), ms, ms / baseline);
            all.push_back({name, ms});
        }
    }
    if (!all.empty()) {
        std::sort(all.begin(), all.end(), [](const Timing& a, const Timing& b) { return a.ms > b.ms; });
        std::printf("\n%zu samples at 1920x1080: median %.2f ms (%.1fx baseline); slowest:", all.size(),
                    all[all.size() / 2].ms, all[all.size() / 2].ms / baseline);
        for (size_t i = 0; i < std::min<size_t>(3, all.size()); ++i)
            std::printf(" %s %.2f ms%s", qPrintable(all[i].name), all[i].ms, i < 2 ? "," : "\n");
    }

    const auto million = only.isEmpty() ? MetafilePicture::load(millionLines()) : nullptr;
    if (million) {
        const double ms = bestMs([&] { render(*million); }, 2);
        std::printf("a million line records at 1920x1080: %.0f ms (%.0fx baseline)\n", ms, ms / baseline);
    }
    return 0;
}
