// Lines are cut to what can show before they are stroked, so that a line thrown far beyond the
// picture costs no more than what of it shows. Cut or not, what shows must be the same: a window
// onto a picture, drawn with its lines cut at the window, is compared with the same part of the
// whole picture, where nothing is cut, for every pen style, corner and end, width and mapping.
#include "MetafileTestSupport.h"

#include "metafile/VisibleRuns.h"

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
                            lit += qGray(expected.pixel(x, y)) > 128;
                            differing += !nearby(expected, x, y, qGray(cut.pixel(x, y)));
                        }
                    EXPECT_GT(lit, 200);
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

}  // namespace
