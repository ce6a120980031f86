// Lines, fills and clips are cut to what can show before QPainter sees them, so that a drawing
// thrown far beyond the picture costs no more than what of it shows. Cut or not, what shows must
// be the same: a window onto a picture, drawn with its lines cut at the window, is compared with
// the same part of the whole picture, where nothing is cut, for every pen style, corner and end,
// width and mapping.
#include "MetafileTestSupport.h"

#include "metafile/Budget.h"
#include "metafile/VisibleRuns.h"

#include <QPaintEngine>
#include <cmath>
#include <functional>

using namespace testmf;

namespace {

enum : uint32_t { EMR_POLYGON16 = 86, PS_GEOMETRIC = 0x10000, PS_USERSTYLE = 7 };

Bytes points16(std::initializer_list<QPoint> points)
{
    Bytes b;
    b.i32s({0, 0, 100, 100}).u32(uint32_t(points.size()));
    for (const QPoint& p : points)
        b.i16(p.x()).i16(p.y());
    return b;
}

// Lines, a curve and a closed figure whose first corner lies in the window, all within the
// picture (logical units 0 to 100), drawn with a white pen and no brush.
QByteArray picture(uint32_t style, int width, const std::function<void(Emf&)>& mapping)
{
    Emf emf;
    mapping(emf);
    Bytes pen;
    pen.u32(1).u32(0).u32(0).u32(0).u32(0).u32(PS_GEOMETRIC | style).u32(uint32_t(width)).u32(0).color(255, 255, 255).u32(0);
    if ((style & 0xF) == PS_USERSTYLE)
        pen.u32(4).u32(uint32_t(4 * std::max(width, 1))).u32(uint32_t(std::max(width, 1))).u32(uint32_t(std::max(width, 1)))
            .u32(uint32_t(2 * std::max(width, 1)));
    else
        pen.u32(0);
    emf.record(EMR_EXTCREATEPEN, pen).select(1).select(NULL_BRUSH);
    emf.record(EMR_POLYLINE16, points16({{3, 4}, {97, 15}, {8, 96}, {93, 88}, {47, 2}}));
    emf.record(EMR_POLYBEZIER16, points16({{4, 50}, {30, 98}, {70, 2}, {96, 50}}));
    emf.record(EMR_POLYGON16, points16({{50, 49}, {95, 6}, {6, 8}}));
    // Long enough to be made into an outline and filled rather than stroked by QPainter.
    Bytes zigzag;
    zigzag.i32s({0, 0, 100, 100}).u32(60);
    for (int i = 0; i < 60; ++i)
        zigzag.i16(2 + i * 8 / 5).i16(i % 2 ? 70 : 30);
    emf.record(EMR_POLYLINE16, zigzag);
    return emf.bytes();
}

// Whether a pixel of image within one pixel of (x, y) has about this grey.
bool nearby(const QImage& image, int x, int y, int grey)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.valid(x + dx, y + dy) && std::abs(qGray(image.pixel(x + dx, y + dy)) - grey) <= 40)
                return true;
    return false;
}

// Whether a bright pixel of one image has no pixel of the other within one pixel that is lit at all.
bool unmatched(const QImage& one, const QImage& other, int x, int y)
{
    if (qGray(one.pixel(x, y)) <= 160)
        return false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (other.valid(x + dx, y + dy) && qGray(other.pixel(x + dx, y + dy)) > 60)
                return false;
    return true;
}

TEST(StrokeCut, AWindowShowsWhatThePictureShowsThereWithEveryPenAndMapping)
{
    const double a = 0.35, c = std::cos(a), s = std::sin(a);
    const struct {
        const char* name;
        std::function<void(Emf&)> set;
    } mappings[] = {
        {"device units", [](Emf&) {}},
        // Pens are stretched with the picture, dashes too.
        {"stretched", [](Emf& e) {
             e.record(EMR_SETMAPMODE, Bytes().u32(8))
                 .record(EMR_SETWINDOWEXTEX, Bytes().i32s({100, 100}))
                 .record(EMR_SETVIEWPORTEXTEX, Bytes().i32s({100, 57}));
         }},
        {"turned about the middle", [&](Emf& e) {
             e.record(EMR_SETWORLDTRANSFORM, xform(float(c), float(s), float(-s), float(c), float(50 - 50 * c + 50 * s),
                                                   float(50 - 50 * s - 50 * c)));
         }},
    };
    const QSize whole(600, 600), window(144, 96);
    const QPoint at(228, 246);
    for (const auto& mapping : mappings)
        for (uint32_t style : {0u, 1u, 2u, 3u, 4u, uint32_t(PS_USERSTYLE)})
            for (uint32_t join : {0u, 1u, 2u})
                for (int width : {0, 1, 3}) {
                    const uint32_t cap = (style + join) % 3;
                    SCOPED_TRACE(std::string(mapping.name) + ", style " + std::to_string(style) + ", join " + std::to_string(join) +
                                 ", end " + std::to_string(cap) + ", width " + std::to_string(width));
                    const QByteArray bytes = picture(style | cap << 8 | join << 12, width, mapping.set);
                    const QImage expected = render(bytes, whole).copy(QRect(at, window));
                    const QImage cut = render(bytes, window, Qt::black, QRectF(-at.x(), -at.y(), whole.width(), whole.height()));
                    int lit = 0, differing = 0;
                    for (int y = 0; y < window.height(); ++y)
                        for (int x = 0; x < window.width(); ++x) {
                            lit += qGray(expected.pixel(x, y)) > (width > 0 ? 128 : 60);
                            // Qt's one-pixel lines take their smoothing from where each line
                            // starts, and may stand half a pixel apart: a hairline is compared by
                            // where it is, each bright pixel needing a lit one close by.
                            differing += width > 0 ? !nearby(expected, x, y, qGray(cut.pixel(x, y)))
                                                   : unmatched(cut, expected, x, y) || unmatched(expected, cut, x, y);
                        }
                    EXPECT_GT(lit, width > 0 ? 200 : 50);  // a dotted hairline lights few
                    // Dashes may end a fraction of a pixel apart where their place along a curve
                    // is measured rather than walked, which may move a hard edge by a pixel.
                    EXPECT_LE(differing, 10);
                }
}

// Whatever a mapping does to a line, cutting it looks at each line once and at each curve some
// hundreds of times at most (where its dashes start is measured along the parts left out), and
// keeps only what comes into the area.
TEST(StrokeCut, RunsKeepToTheAreaAndCostWhatComesNearIt)
{
    const QRectF area(0, 0, 2000, 1100);
    const struct {
        const char* what;
        QPainterPath path;
        bool shows;
    } cases[] = {
        {"line far below", [] { QPainterPath p; p.moveTo(-6831, 3.9e11); p.lineTo(-6831, 3.2e15); return p; }(), false},
        {"line through the middle from far away", [] { QPainterPath p; p.moveTo(-1e14, 500); p.lineTo(1e14, 600); return p; }(), true},
        {"curve around the area", [] { QPainterPath p; p.moveTo(-1e9, -1e9); p.cubicTo(3e9, -1e9, 3e9, 3e9, -1e9, 3e9); return p; }(), false},
        // An arch as wide as a million screens whose top passes through the middle of the area.
        {"curve through it", [] {
             QPainterPath p;
             const qreal a = (4400 + 2e12) / 6;
             p.moveTo(-1e12, -1e12);
             p.cubicTo(-5e11, a, 5e11 + 2000, a, 1e12 + 2000, -1e12);
             return p;
         }(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qint64 steps = 0;
        const std::vector<metafile::Run> runs = metafile::visibleRuns(c.path, area, QTransform(), true, 1 << 16, steps);
        EXPECT_EQ(!runs.empty(), c.shows);
        EXPECT_LT(steps, 5000);
        for (const metafile::Run& run : runs) {
            const QRectF box = run.path.controlPointRect();
            EXPECT_TRUE(area.adjusted(-1, -1, 1, 1).contains(box)) << box.x() << "," << box.y() << " " << box.width() << "x" << box.height();
        }
    }
}

// A paint device of a screen's size that keeps the box of everything QPainter is asked to draw
// or clip to, in device pixels.
class BoxKeeper final : public QPaintDevice {
public:
    QRectF farthest;                // everything drawn lies in it

    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return 1920;
        case PdmHeight: return 1080;
        case PdmDepth: return 32;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    class Engine final : public QPaintEngine {
    public:
        explicit Engine(BoxKeeper& device) : QPaintEngine(AllFeatures), m_device(device) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        Type type() const override { return User; }
        void updateState(const QPaintEngineState& state) override
        {
            if (state.state() & DirtyTransform)
                m_transform = state.transform();
            if ((state.state() & DirtyClipPath) && state.clipOperation() != Qt::NoClip)
                keep(state.clipPath().controlPointRect());
        }
        void drawPath(const QPainterPath& path) override { keep(path.controlPointRect()); }
        void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override { keep(QPolygonF(QList<QPointF>(points, points + count)).boundingRect()); }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
        void drawTextItem(const QPointF&, const QTextItem&) override {}

    private:
        void keep(const QRectF& box) { m_device.farthest |= m_transform.mapRect(box); }
        BoxKeeper& m_device;
        QTransform m_transform;
    };
    mutable Engine m_engine{*this};
};

// Whatever a mapping throws out of the picture, QPainter is handed only what comes near it: no
// further than a wide pen reaches (a few times the picture's size). Qt's rasterizer goes along
// every edge it is handed, and a few edges millions of pixels long took it seconds.
TEST(StrokeCut, NothingFarBeyondThePictureReachesQPainter)
{
    auto far = [](const std::function<void(Emf&)>& records) {
        Emf emf;
        // One unit is 4000 device pixels across and 2000 down, or a thousand times less.
        emf.record(EMR_SETMAPMODE, Bytes().u32(8))
            .record(EMR_SETWINDOWEXTEX, Bytes().i32s({1, 1}))
            .record(EMR_SETVIEWPORTEXTEX, Bytes().i32s({40, 20}));
        records(emf);
        return emf.bytes();
    };
    auto pen = [](Emf& e, uint32_t style, int width) {
        e.record(EMR_EXTCREATEPEN, Bytes().u32(1).u32(0).u32(0).u32(0).u32(0).u32(PS_GEOMETRIC | style).u32(uint32_t(width))
                                        .u32(0).color(255, 255, 255).u32(0).u32(0))
            .select(1);
    };
    // Lines through the picture (about logical point 1, 2) from 30000 units away and back.
    const Bytes star = points16({{29001, 2}, {-28999, 2}, {17401, 23202}, {-17399, -23198}, {1, 29002}, {1, -28998},
                                 {-23199, 17402}, {23201, -17398}});
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"dash-dot lines", far([&](Emf& e) { pen(e, 3, 1); e.record(EMR_POLYLINE16, star); })},
        {"wide mitred lines", far([&](Emf& e) { pen(e, 0x2000, 2); e.record(EMR_POLYLINE16, star); })},
        {"a filled star", far([&](Emf& e) { e.select(NULL_PEN).brush(2, 0, 255, 0).select(2).record(EMR_POLYGON16, star); })},
        {"a curve", far([&](Emf& e) {
             pen(e, 1, 0);
             e.record(EMR_POLYBEZIER16, points16({{-30000, -30000}, {-30000, 10003}, {30002, 10003}, {30002, -30000}}));
         })},
        {"an arc of ten turns", far([&](Emf& e) {
             pen(e, 4, 1);
             e.record(EMR_MOVETOEX, Bytes().i32s({1, 2})).record(EMR_ANGLEARC, Bytes().i32s({-19999, 2}).u32(20000).f32(0).f32(3600));
         })},
        {"a clip", far([&](Emf& e) {
             e.record(EMR_BEGINPATH).record(EMR_POLYGON16, star).record(EMR_ENDPATH).record(EMR_SELECTCLIPPATH, Bytes().u32(5));
             e.select(NULL_PEN).rect(EMR_RECTANGLE, -10, -10, 10, 10);
         })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto picture = MetafilePicture::load(c.bytes);
        ASSERT_TRUE(picture);
        BoxKeeper device;
        {
            QPainter painter(&device);
            metafile::Budget budget;
            picture->draw(painter, QRectF(0, 0, 1920, 1080), budget);
        }
        EXPECT_FALSE(device.farthest.isEmpty());
        EXPECT_TRUE(QRectF(-20000, -20000, 1920 + 40000, 1080 + 40000).contains(device.farthest))
            << device.farthest.x() << "," << device.farthest.y() << " " << device.farthest.width() << "x" << device.farthest.height();
    }
}

}  // namespace
