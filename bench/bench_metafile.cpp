// Rendering time of the sample EMF and WMF pictures at 1920 x 1080, next to the time of
// drawing a 1920 x 1080 bitmap (what showing an already decoded picture costs) in the same run.
#include "platform/metafile/MetafilePicture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

constexpr int kRepeats = 5;

template <typename F>
double bestMs(F&& f)
{
    double best = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString samples = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(FOTOLAUF_BENCH_SAMPLES);
    QImage screen(1920, 1080, QImage::Format_RGB32);
    const QRectF target(0, 0, 1920, 1080);

    QImage bitmap(1920, 1080, QImage::Format_RGB32);
    bitmap.fill(Qt::darkCyan);
    const double baseline = bestMs([&] {
        QPainter p(&screen);
        p.drawImage(target, bitmap);
    });
    std::printf("baseline: drawing a 1920x1080 bitmap        %8.2f ms\n", baseline);

    for (const char* kind : {"emf", "wmf"}) {
        const QDir dir(samples + QLatin1Char('/') + QLatin1String(kind));
        double total = 0;
        int count = 0;
        double worst = 0;
        QString worstName;
        for (const QString& name : dir.entryList({QStringLiteral("*.") + QLatin1String(kind)}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const auto picture = MetafilePicture::load(f.readAll());
            if (!picture)
                continue;
            const double ms = bestMs([&] {
                screen.fill(Qt::black);
                QPainter p(&screen);
                picture->draw(p, target);
            });
            std::printf("%-48s %8.2f ms  (%.1fx baseline)\n", qPrintable(name), ms, ms / baseline);
            total += ms;
            ++count;
            if (ms > worst) {
                worst = ms;
                worstName = name;
            }
        }
        if (count)
            std::printf("%s: %d samples, mean %.2f ms (%.1fx baseline), slowest %.2f ms (%s)\n\n", kind, count,
                        total / count, total / count / baseline, worst, qPrintable(worstName));
    }
    return 0;
}
