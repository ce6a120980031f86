// Rendering time of the sample EMF and WMF pictures at 1920 x 1080, next to the time of
// drawing a 1920 x 1080 bitmap (what showing an already decoded picture costs) in the same run,
// and of a made-up picture of a million line records. Times are the processor time of the best
// of several runs, which other programs running at the same time disturb far less than the
// clock on the wall.
#include "Messwerte.h"
#include "metafile/Budget.h"
#include "metafile/MetafilePicture.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <functional>
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

// An EMF of a 1000 x 1000 pixel page (250 mm square) with the records given.
class Emf {
public:
    Emf& add(int type, std::initializer_list<int32_t> values, const QByteArray& tail = {})
    {
        append32(m_records, {type, int32_t(8 + values.size() * 4 + tail.size())});
        append32(m_records, values);
        m_records += tail;
        ++m_count;
        return *this;
    }
    // Records as the file holds them, taken over as they are.
    Emf& raw(const QByteArray& records, int count)
    {
        m_records += records;
        m_count += count;
        return *this;
    }
    QByteArray bytes() const
    {
        QByteArray file;
        const int total = 88 + int(m_records.size()) + 20;
        append32(file, {1, 88, 0, 0, 1000, 1000, 0, 0, 25000, 25000, 0x464D4520, 0x10000, total, m_count + 2});
        append32(file, {64, 0, 0, 0, 1000, 1000, 250, 250});  // 64 handles, no description or palette; device and mm
        return file + m_records + QByteArray::fromHex("0e0000001400000000000000100000001400000000");
    }
    qsizetype size() const { return m_records.size(); }

private:
    QByteArray m_records;
    int m_count = 0;
};

// 16-bit points, as the short polyline and polygon records hold them.
QByteArray points16(const std::vector<QPoint>& points)
{
    QByteArray b;
    for (const QPoint& p : points) {
        char le[4];
        qToLittleEndian<int16_t>(int16_t(p.x()), le);
        qToLittleEndian<int16_t>(int16_t(p.y()), le + 2);
        b.append(le, 4);
    }
    return b;
}

// A zigzag of n points across the page.
std::vector<QPoint> zigzag(int n)
{
    std::vector<QPoint> points;
    for (int i = 0; i < n; ++i)
        points.emplace_back((i * 37) % 1000, i % 2 ? 950 : 50);
    return points;
}

constexpr qsizetype kMaxFile = 16 << 20;

// An EMF of a white pen walking a million short lines over a 1000 x 1000 page, one line record
// each, as plotting and drawing programs write long curves.
QByteArray millionLines()
{
    constexpr int kLines = 1'000'000;
    Emf emf;
    emf.add(38, {1, 0, 0, 0, 0x00FFFFFF});  // EMR_CREATEPEN 1: solid, cosmetic, white
    emf.add(37, {1});                        // EMR_SELECTOBJECT
    emf.add(27, {500, 500});                 // EMR_MOVETOEX
    int x = 500, y = 500;
    for (int i = 0; i < kLines; ++i) {
        x = std::clamp(x + (i * 7) % 7 - 3, 0, 999);
        y = std::clamp(y + (i * 5) % 7 - 3 + (i % 1000 < 500 ? 1 : -1), 0, 999);
        emf.add(54, {x, y});                 // EMR_LINETO
    }
    return emf.bytes();
}

// The drawing records of the fuzzer's dash-dot file (after its header and up to its broken last
// record), repeated.
QByteArray dashDotRepeated(const QString& samples, int times)
{
    QFile f(samples + QStringLiteral("/bad/fuzz__dashdot-huge-viewport.emf"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray file = f.readAll();
    constexpr int kSetup = 88, kDrawing = 276, kEnd = 992;  // mapping records, then pens and lines
    if (file.size() < kEnd)
        return {};
    Emf emf;
    emf.raw(file.mid(kSetup, kDrawing - kSetup), 8);
    for (int i = 0; i < times; ++i)
        emf.raw(file.mid(kDrawing, kEnd - kDrawing), 45);
    QByteArray bytes = emf.bytes();
    bytes.replace(0, 88, file.left(88));  // its own header, with its frame and reference device
    qToLittleEndian<int32_t>(int32_t(bytes.size()), bytes.data() + 48);
    return bytes;
}

// Records repeated until the file is nearly as large as a picture file may be.
QByteArray filled(Emf emf, const std::function<void(Emf&)>& record)
{
    while (emf.size() < kMaxFile - 65536)
        record(emf);
    return emf.bytes();
}

// An EMF pen: geometric, the style and width given, white.
Emf& widePen(Emf& emf, int32_t style, int32_t width)
{
    return emf.add(95, {1, 0, 0, 0, 0, 0x00010000 | style, width, 0, 0x00FFFFFF, 0, 0}).add(37, {1});
}

QByteArray textPages(bool stretched)
{
    QByteArray text;  // 500 characters, then their advances
    for (int i = 0; i < 500; ++i)
        text += QByteArray(1, char('A' + i % 26)) + QByteArray(1, '\0');
    for (int i = 0; i < 500; ++i)
        append32(text, {24});
    QByteArray font;  // LOGFONTW: 60 units high, face "DejaVu Sans"
    append32(font, {-60, 0, 0, 0, 400, 0, 0});
    const QString face = QStringLiteral("DejaVu Sans");
    for (int i = 0; i < 32; ++i) {
        const char16_t c = i < face.size() ? face[i].unicode() : 0;
        font += QByteArray(1, char(c & 0xFF)) + QByteArray(1, char(c >> 8));
    }
    Emf emf;
    emf.add(82, {1}, font).add(37, {1}).add(24, {0x00FFFFFF}).add(18, {1});
    if (stretched)
        emf.add(17, {8}).add(9, {1000, 1000}).add(11, {1000, 40000});
    return filled(emf, [&](Emf& e) {
        for (int y = 0; y < 1000; y += 60)
            e.add(84, {0, 0, 1000, 1000, 1, 0, 0, 0, y, 500, 76, 0, 0, 0, 0, 0, 76 + 1000}, text);
    });
}

// 256 x 256 pixels of 24 bits copied onto the whole page by a raster operation.
QByteArray pageBitmaps(int32_t rop)
{
    QByteArray dib;
    append32(dib, {40, 256, 256, 0x00180001, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 256 * 256 * 3 / 4; ++i)
        append32(dib, {int32_t(0x9E3779B9u * uint32_t(i))});
    return filled(Emf(), [&](Emf& e) {
        e.add(81, {0, 0, 1000, 1000, 0, 0, 0, 0, 256, 256, 80, 40, 120, 256 * 256 * 3, 0, rop, 1000, 1000}, dib);
    });
}

// Made-up pictures that each ask for far more of one kind of work than a drawing may do.
std::vector<std::pair<const char*, std::function<QByteArray()>>> costlyPictures(const QString& samples)
{
    const QByteArray zigzag4000 = points16(zigzag(4000));
    auto page = [](Emf& e) { e.add(43, {0, 0, 1000, 1000}); };
    return {
        {"dash-dot file, records 100 times", [=] { return dashDotRepeated(samples, 100); }},
        {"dash-dot file, records 20000 times", [=] { return dashDotRepeated(samples, 20000); }},
        {"whole-page fills", [=] { return filled(Emf().add(39, {1, 0, 0x00FF8040, 0}).add(37, {1}), page); }},
        {"whole-page hatched fills", [=] { return filled(Emf().add(39, {1, 2, 0x00FF8040, 5}).add(37, {1}), page); }},
        {"whole-page pattern fills", [=] {
             QByteArray dib;  // 8 x 8, 24 bits: header and rows
             append32(dib, {40, 8, 8, 0x00180001, 0, 0, 0, 0, 0, 0});
             for (int i = 0; i < 48; ++i)
                 append32(dib, {0x0F0F0F0F * (i % 3 + 1)});
             return filled(Emf().add(94, {1, 0, 32, 40, 72, 192}, dib).add(37, {1}), page);
         }},
        {"wide zigzags, mitred", [=] {
             Emf emf;
             return filled(widePen(emf, 0x2000, 30), [&](Emf& e) { e.add(87, {0, 0, 1000, 1000, 4000}, zigzag4000); });
         }},
        {"wide zigzags, dash-dot", [=] {
             Emf emf;
             return filled(widePen(emf, 3, 10), [&](Emf& e) { e.add(87, {0, 0, 1000, 1000, 4000}, zigzag4000); });
         }},
        {"pages of text", [] { return textPages(false); }},
        {"pages of text stretched tall", [] { return textPages(true); }},
        {"clip paths changing", [] {
             return filled(Emf().add(39, {1, 0, 0x0000FF00, 0}).add(37, {1}), [](Emf& e) {
                 e.add(33, {}).add(59, {}).add(42, {100, 100, 900, 900}).add(60, {}).add(67, {5});
                 e.add(43, {0, 0, 1000, 1000}).add(34, {-1});
             });
         }},
        {"clip paths combined", [] {
             return filled(Emf(), [](Emf& e) {
                 const int k = int(e.size() / 64 % 900);
                 e.add(59, {}).add(42, {k, k / 2, 1000 - k / 3, 1000 - k}).add(60, {}).add(67, {3});
             });
         }},
        {"framed regions", [] {
             QByteArray region;  // 400 rectangles
             append32(region, {32, 1, 400, 400 * 16, 0, 0, 1000, 1000});
             for (int i = 0; i < 400; ++i)
                 append32(region, {(i % 20) * 50, (i / 20) * 50, (i % 20) * 50 + 40, (i / 20) * 50 + 40});
             return filled(Emf().add(39, {1, 0, 0x000000FF, 0}),
                           [&](Emf& e) { e.add(72, {0, 0, 1000, 1000, int(region.size()), 1, 3, 3}, region); });
         }},
        {"whole-page bitmaps", [] { return pageBitmaps(0x00CC0020); }},
        {"whole-page bitmaps inverted onto the page", [] { return pageBitmaps(0x00660046); }},
        {"a polygon of a million points", [] {
             std::vector<QPoint> star;
             for (int i = 0; i < 1'000'000; ++i)
                 star.emplace_back(500 + int(480 * std::cos(i * 2.39996)), 500 + int(480 * std::sin(i * 2.39996)));
             return Emf().add(39, {1, 0, 0x00FFFFFF, 0}).add(37, {1}).add(86, {0, 0, 1000, 1000, 1'000'000}, points16(star)).bytes();
         }},
        {"a path of three million lines, wide pen", [] {
             Emf emf;
             widePen(emf, 0x2000, 12).add(59, {});
             const QByteArray points = points16(zigzag(1'000'000));
             for (int i = 0; i < 3; ++i)
                 emf.add(89, {0, 0, 1000, 1000, 1'000'000}, points);
             return emf.add(60, {}).add(64, {0, 0, 1000, 1000}).bytes();
         }},
        {"curves thrown far", [] {
             const QByteArray curve = points16({{0, 0}, {-300, 900}, {900, -300}, {1, 1}});
             return filled(Emf().add(17, {8}).add(9, {1, 1}).add(11, {4000000, 3000000}).add(38, {1, 3, 0, 0, 0xFFFFFF}).add(37, {1}),
                           [&](Emf& e) { e.add(85, {0, 0, 1, 1, 4}, curve); });
         }},
        {"arcs of ten turns", [] {
             Emf emf;
             return filled(widePen(emf, 1, 20), [](Emf& e) { e.add(41, {500, 500, 30000, 0, 0x45610000}); });
         }},
    };
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
    // (and leaves out the made-up pictures) and a number of runs, for profiling one of them; or
    // "costly" and a part of a name, for the costly made-up pictures alone.
    const QString samples = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(FOTOLAUF_BENCH_SAMPLES);
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (argc > 3 && only != QLatin1String("costly"))
        kRepeats = std::max(1, std::atoi(argv[3]));
    QImage screen(1920, 1080, QImage::Format_RGB32);
    const QRectF target(0, 0, 1920, 1080);
    // Drawn as the screen draws it; the work units of the last drawing and whether it was cut.
    qint64 units = 0;
    bool cut = false;
    auto render = [&](const MetafilePicture& picture) {
        screen.fill(Qt::black);
        QPainter p(&screen);
        metafile::Budget budget;
        budget.setTimeLimit(metafile::Budget::kScreenTime);
        picture.draw(p, target, budget);
        units = budget.used();
        cut = budget.cut();
    };

    const bool costlyOnly = only == QLatin1String("costly");
    QImage bitmap(1920, 1080, QImage::Format_RGB32);
    bitmap.fill(Qt::darkCyan);
    const double baseline = bestMs([&] {
        QPainter p(&screen);
        p.drawImage(target, bitmap);
    }, kRepeats);
    std::printf("baseline: drawing a 1920x1080 bitmap        %8.2f ms\n", baseline);

    std::vector<Timing> all;
    for (const char* kind : {"emf", "wmf", "office"}) {
        if (costlyOnly)
            break;
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
            std::printf("%-48s %8.2f ms  (%.1fx baseline) %6.2f M units%s\n", qPrintable(name), ms, ms / baseline, units / 1e6,
                        cut ? ", cut" : "");
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

    const auto million = only.isEmpty() || (costlyOnly && argc <= 3) ? MetafilePicture::load(millionLines()) : nullptr;
    if (million) {
        const double ms = bestMs([&] { render(*million); }, 2);
        std::printf("a million line records at 1920x1080: %.0f ms (%.0fx baseline), %.1f M units%s\n", ms, ms / baseline,
                    units / 1e6, cut ? ", cut" : "");
    }

    // Each made-up costly picture once as the screen draws it (its units, and the processor time
    // as a backstop), with the work units it used, whether some of it was left undrawn, and the
    // peak memory of the process while it was drawn.
    if (!only.isEmpty() && !costlyOnly)
        return 0;
    std::printf("\ncostly pictures at 1920x1080 (budget %.0f M units, %lld ms):\n", metafile::Budget::kWork / 1e6,
                static_cast<long long>(metafile::Budget::kScreenTime.count()));
    for (const auto& [name, make] : costlyPictures(samples)) {
        if (costlyOnly && argc > 3 && !QString::fromLatin1(name).contains(QString::fromLocal8Bit(argv[3])))
            continue;
        const QByteArray bytes = make();
        const auto picture = MetafilePicture::load(bytes);
        if (!picture) {
            std::printf("%-44s does not load\n", name);
            continue;
        }
        malloc_trim(0);
        if (const int fd = ::open("/proc/self/clear_refs", O_WRONLY); fd >= 0) {
            (void)!::write(fd, "5", 1);  // the peak starts again from what the process holds now
            ::close(fd);
        }
        const long before = procStatusKb("VmRSS:");
        metafile::Budget budget;
        budget.setTimeLimit(metafile::Budget::kScreenTime);
        const double ms = bestMs([&] {
            screen.fill(Qt::black);
            QPainter p(&screen);
            picture->draw(p, target, budget);
        }, 1);
        const long peak = procStatusKb("VmHWM:");
        std::printf("%-44s %5.1f MiB file %6.0f ms %6.1f M units%-5s %4.0f MiB more at the peak (%4.0f MiB in all)\n", name,
                    bytes.size() / 1048576.0, ms, budget.used() / 1e6, budget.cut() ? ", cut" : "", (peak - before) / 1024.0,
                    peak / 1024.0);
    }
    return 0;
}
