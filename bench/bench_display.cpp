// Times the display path of a JPEG photo (file to a picture ready to paint at 1920 x 1080) against
// libjpeg-turbo's decode at the best reduced scale and a naive Qt decode plus smooth scale, and
// reports the peak memory of showing the largest photo in a separate process.
//
//   bench_display [DIR] [ROUNDS]   DIR defaults to /tmp/fotolauf-photos and is built with
//                                  ../shared/tools/photo-corpus when it does not exist (that tool
//                                  downloads Debian wallpaper packages with apt and needs root or
//                                  sudo and ImageMagick for its four 24 MP upscales)
//   bench_display --peak FILE      one load in a fresh process: peak memory above idle
#include "Messwerte.h"
#include "platform/JpegDecoder.h"
#include "platform/PictureLoader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QProcess>

#include <turbojpeg.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QSize kScreen(1920, 1080);

// The limit: the file read and decoded by libjpeg-turbo at the smallest 1/2^k scale that still
// covers the fitted size, into buffers kept between pictures.
class TurboLimit {
public:
    TurboLimit() : m_handle(tjInitDecompress()) {}
    ~TurboLimit() { tjDestroy(m_handle); }
    bool run(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return false;
        const qint64 size = f.size();
        if (qint64(m_file.size()) < size)
            m_file.resize(size_t(size));
        if (f.read(reinterpret_cast<char*>(m_file.data()), size) != size)
            return false;
        int w = 0, h = 0, ss = 0, cs = 0;
        if (tjDecompressHeader3(m_handle, m_file.data(), static_cast<unsigned long>(size), &w, &h, &ss, &cs) != 0)
            return false;
        const QSize natural(w, h);
        const QSize out = JpegDecoder::scaledSize(
            natural, JpegDecoder::scaleDenominator(natural, PictureLoader::fittedSize(natural, kScreen)));
        const size_t bytes = size_t(out.width()) * 3 * size_t(out.height());
        if (m_pixels.size() < bytes)
            m_pixels.resize(bytes);
        return tjDecompress2(m_handle, m_file.data(), static_cast<unsigned long>(size), m_pixels.data(), out.width(), 0,
                             out.height(), TJPF_RGB, 0) == 0;
    }

private:
    tjhandle m_handle;
    std::vector<unsigned char> m_file, m_pixels;
};

// The naive path: Qt decodes the whole photo, then scales it smoothly to the fitted size.
QImage naive(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QImage full = reader.read();
    return full.scaled(PictureLoader::fittedSize(full.size(), kScreen), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int peakMode(const QString& file)
{
    PictureLoader loader;
    const long idle = procStatusKb("VmRSS:");
    // Reset the high-water mark to the current size, so it shows this load alone.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    const LoadedPicture p = loader.load(file, kScreen);
    const long peak = procStatusKb("VmHWM:");
    std::printf("peak %s natural %dx%d image %dx%d ok %d idle %ld KiB peak %ld KiB above-idle %.1f MiB\n",
                qPrintable(QFileInfo(file).fileName()), p.naturalSize.width(), p.naturalSize.height(), p.image.width(),
                p.image.height(), int(p.ok), idle, peak, double(peak - idle) / 1024);
    return p.ok ? 0 : 1;
}

QString ensureCorpus(const QString& dir)
{
    if (QDir(dir).exists() && !QDir(dir).entryList({QStringLiteral("*.jpg")}, QDir::Files).isEmpty())
        return dir;
    const QString tool = QStringLiteral(FOTOLAUF_SOURCE_DIR "/../shared/tools/photo-corpus");
    std::printf("building the photo folder %s with %s\n", qPrintable(dir), qPrintable(tool));
    std::fflush(stdout);
    QProcess::execute(tool, {dir});
    return dir;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("--peak"))
        return peakMode(args[2]);

    const QString dir = ensureCorpus(args.size() >= 2 ? args[1] : QStringLiteral("/tmp/fotolauf-photos"));
    const int rounds = args.size() >= 3 ? qMax(1, args[2].toInt()) : 3;
    QStringList files;
    for (const QString& name : QDir(dir).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        files << QDir(dir).filePath(name);
    if (files.isEmpty()) {
        std::fprintf(stderr, "no JPEG photos in %s\n", qPrintable(dir));
        return 1;
    }

    PictureLoader loader;
    TurboLimit limit;
    LoadedPicture shown;  // the picture on screen while the next one loads
    QImage naiveShown;
    std::vector<std::vector<double>> tPath(files.size()), tLimit(files.size()), tNaive(files.size());
    QString largest;
    qint64 largestPixels = 0;
    for (int round = 0; round <= rounds; ++round) {  // round 0 warms the page cache and the buffers
        for (int i = 0; i < files.size(); ++i) {
            QElapsedTimer t;
            t.start();
            shown = loader.load(files[i], kScreen);
            const double path = t.nsecsElapsed() / 1e6;
            if (!shown.ok || shown.image.size() != PictureLoader::fittedSize(shown.naturalSize, kScreen)) {
                std::fprintf(stderr, "%s: not ready to paint at the fitted size\n", qPrintable(files[i]));
                return 1;
            }
            t.restart();
            const bool limitOk = limit.run(files[i]);
            const double lim = t.nsecsElapsed() / 1e6;
            t.restart();
            naiveShown = naive(files[i]);
            const double nai = t.nsecsElapsed() / 1e6;
            if (!limitOk || naiveShown.isNull())
                return 1;
            if (round == 0) {
                const qint64 px = qint64(shown.naturalSize.width()) * shown.naturalSize.height();
                if (px > largestPixels) {
                    largestPixels = px;
                    largest = files[i];
                }
                continue;
            }
            tPath[i].push_back(path);
            tLimit[i].push_back(lim);
            tNaive[i].push_back(nai);
        }
    }

    std::printf("%-36s %11s %11s %9s %9s %9s %7s\n", "photo", "natural", "shown", "path ms", "limit ms", "naive ms",
                "path/lim");
    std::vector<double> allPath, allLimit, allNaive;
    for (int i = 0; i < files.size(); ++i) {
        const LoadedPicture p = loader.load(files[i], kScreen);
        const double mp = median(tPath[i]), ml = median(tLimit[i]), mn = median(tNaive[i]);
        allPath.insert(allPath.end(), tPath[i].begin(), tPath[i].end());
        allLimit.insert(allLimit.end(), tLimit[i].begin(), tLimit[i].end());
        allNaive.insert(allNaive.end(), tNaive[i].begin(), tNaive[i].end());
        std::printf("%-36s %5dx%-5d %5dx%-5d %9.1f %9.1f %9.1f %7.2f\n", qPrintable(QFileInfo(files[i]).fileName()),
                    p.naturalSize.width(), p.naturalSize.height(), p.image.width(), p.image.height(), mp, ml, mn,
                    mp / ml);
    }
    const double mPath = median(allPath), mLimit = median(allLimit), mNaive = median(allNaive);
    std::printf("\n%d photos x %d rounds, shown at most at %dx%d\n", int(files.size()), rounds, kScreen.width(),
                kScreen.height());
    std::printf("median display path        %7.1f ms\n", mPath);
    std::printf("median limit (turbo 1/2^k) %7.1f ms\n", mLimit);
    std::printf("median naive (Qt + scale)  %7.1f ms\n", mNaive);
    std::printf("ratio path / limit         %7.2f   (goal <= 1.30)\n", mPath / mLimit);
    std::printf("ratio path / naive         %7.2f   (goal <= 1.00)\n", mPath / mNaive);
    std::printf("sum of per-photo medians: path %.0f ms, limit %.0f ms, naive %.0f ms\n", [&] {
        double s = 0;
        for (auto& v : tPath) s += median(v);
        return s;
    }(), [&] {
        double s = 0;
        for (auto& v : tLimit) s += median(v);
        return s;
    }(), [&] {
        double s = 0;
        for (auto& v : tNaive) s += median(v);
        return s;
    }());
    std::printf("peak memory of this process (all three paths): %.1f MiB\n", procStatusKb("VmHWM:") / 1024.0);
    std::fflush(stdout);

    // The peak of showing one photo, measured in a fresh process so the other paths do not count.
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(app.applicationFilePath(), {QStringLiteral("--peak"), largest});
    child.waitForFinished(-1);
    return 0;
}
