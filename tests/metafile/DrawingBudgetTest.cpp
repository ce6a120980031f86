// A drawing ends within its budget whatever the file holds: the fuzzer's dash-dot file and its
// relatives cost next to nothing now, what does not fit is left undrawn while the rest shows, and
// a stop or the time limit ends a drawing at its next check. Work is counted in units, so these
// tests do not depend on the speed of the machine.
#include "MetafileTestSupport.h"

#include "metafile/Budget.h"
#include "metafile/PainterCanvas.h"

#include <array>
#include <cmath>

using namespace testmf;
using metafile::Budget;

namespace {

enum : uint32_t { EMR_CREATEDIBPATTERNBRUSHPT = 94, META_MOVETO = 0x0214, META_LINETO = 0x0213 };

struct Drawing {
    QImage image;
    qint64 used = 0;
    qint64 kept = 0;
    bool cut = false;
};

// zoom: the picture that many times its natural size, of which the image shows the middle.
Drawing draw(const QByteArray& bytes, Budget&& budget, QSize size = QSize(1920, 1080), qreal zoom = 0)
{
    Drawing d;
    d.image = QImage(size, QImage::Format_RGB32);
    d.image.fill(Qt::black);
    const auto picture = MetafilePicture::load(bytes);
    EXPECT_TRUE(picture);
    if (picture) {
        QRectF target(d.image.rect());
        if (zoom > 0) {
            target.setSize(QSizeF(picture->naturalSize()) * zoom);
            target.moveCenter(QRectF(d.image.rect()).center());
        }
        QPainter painter(&d.image);
        picture->draw(painter, target, budget);
    }
    d.used = budget.used();
    d.kept = budget.kept();
    d.cut = budget.cut();
    return d;
}

// The fuzzer's file with its line records (from its pen to its broken last record) repeated,
// its pen and map mode changed and a world transform put in front of the lines when asked.
QByteArray dashDot(int times, uint32_t penStyle, int penWidth, uint32_t mapMode, const Bytes& before = {})
{
    const QByteArray file = sample(QStringLiteral("bad/fuzz__dashdot-huge-viewport.emf"));
    if (file.size() < 992)
        return {};
    QByteArray mapping = file.mid(88, 188), lines = file.mid(276, 716);
    qToLittleEndian<uint32_t>(mapMode, mapping.data() + 32);
    qToLittleEndian<uint32_t>(penStyle, lines.data() + 28);
    qToLittleEndian<int32_t>(penWidth, lines.data() + 32);
    QByteArray out = file.left(88) + mapping + before.data();
    for (int i = 0; i < times; ++i)
        out += lines;
    out += Bytes().u32(14).u32(20).u32(0).u32(16).u32(20).data();
    qToLittleEndian<uint32_t>(uint32_t(out.size()), out.data() + 48);
    return out;
}

TEST(DrawingBudget, TheFuzzersDashDotFileAndItsRelativesCostNextToNothing)
{
    ASSERT_FALSE(dashDot(1, 35, 1, 7).isEmpty()) << "sample missing";
    const Drawing original = draw(sample(QStringLiteral("bad/fuzz__dashdot-huge-viewport.emf")), Budget());
    EXPECT_FALSE(original.cut);
    const double a = 0.5;
    const Bytes turned = Bytes().u32(EMR_SETWORLDTRANSFORM).u32(32).raw(xform(float(std::cos(a)), float(std::sin(a)), float(-std::sin(a)),
                                                                                 float(std::cos(a)), 100, -50));
    const struct {
        const char* name;
        uint32_t mapMode;
        Bytes before;
    } mappings[] = {{"isotropic", 7, {}}, {"anisotropic", 8, {}}, {"isotropic, turned", 7, turned}};
    for (const auto& mapping : mappings)
        for (uint32_t style : {0u, 1u, 2u, 3u, 4u})
            for (uint32_t corner : {0u, 1u, 2u}) {
                const int width = std::array{0, 1, 40}[(style + corner) % 3];
                    SCOPED_TRACE(std::string(mapping.name) + ", style " + std::to_string(style) + ", corners and ends " +
                                 std::to_string(corner) + ", width " + std::to_string(width));
                    const uint32_t pen = style | corner << 8 | corner << 12;
                    const Drawing once = draw(dashDot(1, pen, width, mapping.mapMode, mapping.before), Budget());
                    const Drawing often = draw(dashDot(100, pen, width, mapping.mapMode, mapping.before), Budget());
                    EXPECT_FALSE(often.cut);
                    // Each repetition costs what the first did, a few hundred units: no more than
                    // the records themselves, whatever the lines would be on a screen of that size.
                    EXPECT_LE(often.used, 100 * once.used + 1000);
                    EXPECT_LT(often.used, Budget::kWork / 1000);
                    EXPECT_LT(often.kept, 1 << 20);
            }
    // Ten times over, as it was found to freeze the viewer for most of a minute; and a hundred
    // times, on the screen and through a window onto the picture enlarged sixteen times.
    const Drawing tenfold = draw(dashDot(10, 35, 1, 7), Budget());
    EXPECT_FALSE(tenfold.cut);
    EXPECT_LE(tenfold.used, 10 * original.used + 1000);
    for (qreal zoom : {0.0, 16.0}) {
        SCOPED_TRACE(zoom);
        const Drawing once = draw(dashDot(1, 35, 1, 7), Budget(), QSize(1920, 1080), zoom);
        const Drawing often = draw(dashDot(100, 35, 1, 7), Budget(), QSize(1920, 1080), zoom);
        EXPECT_FALSE(often.cut);
        EXPECT_LE(often.used, 100 * once.used + 1000);
        EXPECT_LT(often.used, Budget::kWork / 100);
        EXPECT_LT(often.kept, 1 << 20);
    }
}

// A polygon outlined by a pen thousands of pixels wide, as the fuzzer made it: the outlines of
// its sides lie over each other across the whole picture, and filling them in pieces cost seconds
// beyond what it was charged (their corners went into both halves of every cut). Now the cutting
// is paid as it goes, and the drawing ends at the budget, once or a hundred times over.
TEST(DrawingBudget, OutlinesWiderThanThePictureEndAtTheBudget)
{
    QFile file(QStringLiteral(FOTOLAUF_FUZZ_SEEDS_DIR "/metafile-seeds/wide-outlines.wmf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GT(bytes.size(), 996);
    // Its records up to the polygon (which ends at byte 996), the polygon a hundred times, the end.
    QByteArray often = bytes.left(264);
    for (int i = 0; i < 100; ++i)
        often += bytes.mid(264, 996 - 264);
    often += QByteArray::fromHex("030000000000");
    for (const QByteArray& wmf : {bytes, often}) {
        const Drawing d = draw(wmf, Budget());
        // Cutting its outlines costs more than a whole drawing may: the fill stops part way.
        EXPECT_TRUE(d.cut);
        EXPECT_LE(d.used, Budget::kWork + Budget::kWork / 100);  // the last check may go a little over
    }
}

// The same fault in a WMF: its window is one unit wide, so that its dashed hairlines, thousands
// of units long, reach millions of pixels beyond the picture, which they cross. Thrown ten times
// further, they cost the same: what shows.
TEST(DrawingBudget, DashedLinesThrownFarByATinyWindowCostWhatShows)
{
    auto lines = [](int style, int reach) {
        Wmf wmf(4, QRect(0, 0, 1, 1), 1);
        wmf.record(META_CREATEPENINDIRECT, Bytes().u16(style).i16(0).i16(0).color(255, 255, 255)).words(META_SELECTOBJECT, {0});
        for (int i = 0; i < 200; ++i)
            wmf.words(META_MOVETO, {-reach + i % 3, -reach}).words(META_LINETO, {reach - i % 3, reach});
        return draw(wmf.bytes(), Budget(), QSize(960, 540));
    };
    for (int style : {0, 1, 3, 4}) {
        SCOPED_TRACE(style);
        const Drawing nearer = lines(style, 3000), further = lines(style, 30000);
        EXPECT_FALSE(further.cut);
        int lit = 0;
        for (int y = 0; y < 540; ++y)
            for (int x = 0; x < 960; ++x)
                lit += qGray(further.image.pixel(x, y)) > 100;
        EXPECT_GT(lit, 500);  // the diagonal is 1100 pixels long
        EXPECT_LE(further.used, nearer.used + nearer.used / 20);
        EXPECT_LT(further.used, Budget::kWork / 4);
    }
}

// Three rectangles, the middle one behind a line so long and densely dashed across the picture
// that it cannot be afforded, then as many page fills in colours of their own as the budget has
// room for.
TEST(DrawingBudget, WhatDoesNotFitIsLeftUndrawnAndTheRestIsShown)
{
    auto picture = [](bool withCostlyLine, int fills) {
        Emf emf;
        emf.brush(1, 255, 0, 0).select(1).select(NULL_PEN).rect(EMR_RECTANGLE, 5, 5, 20, 20);
        if (withCostlyLine) {
            Bytes zigzag;
            zigzag.i32s({0, 0, 100, 100}).u32(400);
            for (int i = 0; i < 400; ++i)
                zigzag.i16((i * 37) % 100).i16(i % 2 ? 98 : 2);
            emf.record(EMR_EXTCREATEPEN, Bytes().u32(2).u32(0).u32(0).u32(0).u32(0).u32(0x10000 | 3).u32(3).u32(0).color(0, 0, 255).u32(0).u32(0))
                .select(2)
                .record(EMR_POLYLINE16, zigzag)
                .select(NULL_PEN);
        }
        emf.brush(3, 0, 255, 0).select(3).rect(EMR_RECTANGLE, 80, 5, 95, 20);
        for (int i = 0; i < fills; ++i)
            emf.brush(4 + i % 4, 10 * i, 100, 200).select(4 + i % 4).rect(EMR_RECTANGLE, 0, 50, 100, 100);
        return emf.bytes();
    };
    const QSize size(400, 400);
    const Drawing plain = draw(picture(false, 0), Budget(), size);
    const Drawing all = draw(picture(true, 0), Budget(), size);
    ASSERT_FALSE(all.cut);
    // Room for the rectangles and for reading the line, not for drawing it.
    const Drawing cut = draw(picture(true, 0), Budget(plain.used + (all.used - plain.used) / 4), size);
    EXPECT_TRUE(cut.cut);
    expectPixels(cut.image, {{QPoint(50, 50), 0xFFFF0000}, {QPoint(350, 50), 0xFF00FF00}});
    int blue = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            blue += qBlue(cut.image.pixel(x, y)) > 128;
    EXPECT_EQ(blue, 0);
    int allBlue = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            allBlue += qBlue(all.image.pixel(x, y)) > 128;
    EXPECT_GT(allBlue, 1000);

    // Fills of the same size cost the same: a budget with room for k of them draws exactly k.
    const qint64 one = draw(picture(false, 1), Budget(), size).used, two = draw(picture(false, 2), Budget(), size).used;
    for (int k : {1, 3, 7}) {
        SCOPED_TRACE(k);
        const Drawing d = draw(picture(false, 20), Budget(one + (k - 1) * (two - one) + (two - one) / 2), size);
        EXPECT_TRUE(d.cut);
        expectPixels(d.image, {{QPoint(200, 300), qRgb(10 * (k - 1), 100, 200)}});
    }
}

// Forwards to a recording canvas, and asks the drawing to stop after a number of calls.
class StoppingCanvas final : public metafile::Canvas {
public:
    StoppingCanvas(Budget& budget, int after) : m_budget(budget), m_after(after) {}
    void drawPath(const QPainterPath& path, const metafile::Paint& paint) override
    {
        recorder.drawPath(path, paint);
        count();
    }
    void drawText(const metafile::TextRun& run, const metafile::Paint& paint) override
    {
        recorder.drawText(run, paint);
        count();
    }
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source, const metafile::Paint& paint) override
    {
        recorder.drawImage(target, image, source, paint);
        count();
    }
    metafile::RecordingCanvas recorder;

private:
    void count()
    {
        if (--m_after == 0)
            m_budget.stop();
    }
    Budget& m_budget;
    int m_after;
};

TEST(DrawingBudget, AStopOrTheTimeLimitEndsTheDrawingAtItsNextCheck)
{
    Emf emf;
    emf.select(NULL_PEN);
    for (int i = 0; i < 50; ++i)
        emf.rect(EMR_RECTANGLE, i, i, i + 10, i + 10);
    const auto picture = MetafilePicture::load(emf.bytes());
    ASSERT_TRUE(picture);
    for (int after : {1, 7, 30}) {
        SCOPED_TRACE(after);
        Budget budget;
        StoppingCanvas canvas(budget, after);
        picture->play(canvas, QRectF(0, 0, 100, 100), budget);
        EXPECT_EQ(int(canvas.recorder.calls.size()), after);
        EXPECT_TRUE(budget.cut());
    }
    Budget asked;
    int checks = 0;
    asked.stopWhen([&] { return ++checks > 5; });
    StoppingCanvas counting(asked, 0);
    picture->play(counting, QRectF(0, 0, 100, 100), asked);
    EXPECT_TRUE(asked.cut());
    EXPECT_GT(counting.recorder.calls.size(), 0u);
    EXPECT_LT(counting.recorder.calls.size(), 5u);
    Budget stopped;
    stopped.stop();
    EXPECT_EQ(draw(emf.bytes(), std::move(stopped), QSize(100, 100)).image.pixel(20, 20), qRgb(0, 0, 0));
    // A flag raised by another thread stops a drawing for the screen the same way.
    for (bool raised : {false, true}) {
        const std::atomic<bool> flag{raised};
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        picture->draw(painter, QRectF(image.rect()), &flag);
        painter.end();
        EXPECT_EQ(image.pixel(20, 20), raised ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
    Budget noTime;
    noTime.setTimeLimit(std::chrono::milliseconds(0));
    const Drawing late = draw(emf.bytes(), std::move(noTime), QSize(100, 100));
    EXPECT_TRUE(late.cut);
    EXPECT_EQ(late.image.pixel(20, 20), qRgb(0, 0, 0));
    Budget plenty;
    plenty.setTimeLimit(std::chrono::seconds(60));
    const Drawing inTime = draw(emf.bytes(), std::move(plenty), QSize(100, 100));
    EXPECT_FALSE(inTime.cut);
    EXPECT_EQ(inTime.image.pixel(20, 20), qRgb(255, 255, 255));
}

// Pattern brushes and clips live until the drawing ends. Beyond the bytes a drawing may keep, a
// brush paints with its colour (grey for a bitmap brush) instead of its pattern, and a clip lets
// nothing through.
TEST(DrawingBudget, WhatIsKeptBeyondTheLimitIsLeftPlainOrUndrawn)
{
    Bytes pattern;  // 2 x 2, 24 bits: red and blue
    pattern.raw(dib24(2, 2, {0xFF0000, 0x0000FF, 0x0000FF, 0xFF0000}));
    Emf emf;
    emf.record(EMR_CREATEDIBPATTERNBRUSHPT, Bytes().u32(1).u32(0).u32(32).u32(40).u32(72).u32(16).raw(pattern))
        .select(1)
        .select(NULL_PEN)
        .rect(EMR_RECTANGLE, 0, 0, 100, 100);
    const Drawing patterned = draw(emf.bytes(), Budget(), QSize(100, 100));
    EXPECT_GT(patterned.kept, 0);
    EXPECT_EQ(qGreen(patterned.image.pixel(50, 50)), 0);
    const Drawing plain = draw(emf.bytes(), Budget(Budget::kWork, 8), QSize(100, 100));
    EXPECT_TRUE(plain.cut);
    expectPixels(plain.image, {{QPoint(50, 50), QColor(Qt::gray).rgb()}, {QPoint(51, 50), QColor(Qt::gray).rgb()}});

    Emf clipped;
    clipped.select(NULL_PEN).record(EMR_INTERSECTCLIPRECT, Bytes().i32s({10, 10, 90, 90})).rect(EMR_RECTANGLE, 0, 0, 100, 100);
    expectPixels(draw(clipped.bytes(), Budget(), QSize(100, 100)).image, {{QPoint(50, 50), 0xFFFFFFFF}, {QPoint(5, 5), 0xFF000000}});
    const Drawing shut = draw(clipped.bytes(), Budget(Budget::kWork, 8), QSize(100, 100));
    EXPECT_TRUE(shut.cut);
    expectPixels(shut.image, {{QPoint(50, 50), 0xFF000000}, {QPoint(5, 5), 0xFF000000}});
}

}  // namespace
