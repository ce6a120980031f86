// Paths of several figures, as drawing programs write outlines: each figure starts with its own
// move and ends with its own close, whichever curve record draws it. Checked on the rendered
// pixels against the circles the figures describe, in both fill modes, and against the same
// figures written as a WMF polygon set.
#include "MetafileTestSupport.h"

#include <QtMath>
#include <functional>

using namespace testmf;

namespace {

constexpr int kScale = 10;  // logical units per pixel, so that integer points lie on the true circles

struct Circle {
    QPointF centre;
    qreal radius;
    qreal startDegrees;  // where the figure starts, counter-clockwise as seen on the screen
};

// Two overlapping circles and one apart, each starting at another angle, so that joining the
// figures (or dropping a move) would fill a polygon between them.
const Circle kCircles[] = {{{30, 35}, 20, 270}, {{62, 35}, 20, 330}, {{45, 80}, 15, 80}};

QPoint logical(const QPointF& pixel) { return (pixel * kScale).toPoint(); }
QPointF onCircle(const Circle& c, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return c.centre + QPointF(std::cos(a), -std::sin(a)) * c.radius;
}

// The circle as four Bézier segments, counter-clockwise on the screen: start point and 12 more.
std::vector<QPoint> bezierCircle(const Circle& c)
{
    constexpr qreal k = 0.5522847498;
    std::vector<QPoint> points{logical(onCircle(c, c.startDegrees))};
    for (int q = 0; q < 4; ++q) {
        const qreal a0 = c.startDegrees + 90 * q, a1 = a0 + 90;
        const auto tangent = [&](qreal deg) {
            const qreal a = qDegreesToRadians(deg);
            return QPointF(-std::sin(a), -std::cos(a)) * c.radius * k;
        };
        points.push_back(logical(onCircle(c, a0) + tangent(a0)));
        points.push_back(logical(onCircle(c, a1) - tangent(a1)));
        points.push_back(logical(onCircle(c, a1)));
    }
    return points;
}

Bytes points16(const std::vector<QPoint>& points)
{
    Bytes b;
    b.i32s({0, 0, 0, 0}).u32(uint32_t(points.size()));
    for (const QPoint& p : points)
        b.i16(p.x()).i16(p.y());
    return b;
}

Bytes pointL(const QPointF& pixel) { return Bytes().i32(logical(pixel).x()).i32(logical(pixel).y()); }

// One figure per circle, written with one kind of curve record.
using FigureWriter = std::function<void(Emf&, const Circle&)>;

const struct {
    const char* name;
    FigureWriter write;
} kWriters[] = {
    {"move, PolyBezierTo, close", [](Emf& e, const Circle& c) {
         const auto pts = bezierCircle(c);
         e.record(EMR_MOVETOEX, pointL(onCircle(c, c.startDegrees)))
             .record(EMR_POLYBEZIERTO16, points16({pts.begin() + 1, pts.end()}))
             .record(EMR_CLOSEFIGURE);
     }},
    {"move, PolyBezierTo, no close", [](Emf& e, const Circle& c) {
         const auto pts = bezierCircle(c);
         e.record(EMR_MOVETOEX, pointL(onCircle(c, c.startDegrees))).record(EMR_POLYBEZIERTO16, points16({pts.begin() + 1, pts.end()}));
     }},
    {"PolyBezier, close", [](Emf& e, const Circle& c) {
         e.record(EMR_POLYBEZIER16, points16(bezierCircle(c))).record(EMR_CLOSEFIGURE);
     }},
    {"move, ArcTo, close", [](Emf& e, const Circle& c) {
         const QPointF s = onCircle(c, c.startDegrees);
         const QPointF tl = c.centre - QPointF(c.radius, c.radius), br = c.centre + QPointF(c.radius, c.radius);
         e.record(EMR_MOVETOEX, pointL(s))
             .record(EMR_ARCTO, Bytes().raw(pointL(tl).data()).raw(pointL(br).data()).raw(pointL(s).data()).raw(pointL(s).data()))
             .record(EMR_CLOSEFIGURE);
     }},
    {"move, AngleArc, close", [](Emf& e, const Circle& c) {
         e.record(EMR_MOVETOEX, pointL(onCircle(c, c.startDegrees)))
             .record(EMR_ANGLEARC, Bytes().raw(pointL(c.centre).data()).u32(uint32_t(c.radius * kScale)).f32(float(c.startDegrees)).f32(360))
             .record(EMR_CLOSEFIGURE);
     }},
    {"PolyDraw: move, Béziers, close flag", [](Emf& e, const Circle& c) {
         const auto pts = bezierCircle(c);
         Bytes b = points16(pts);
         b.u8(6);
         for (size_t i = 1; i < pts.size(); ++i)
             b.u8(i + 1 == pts.size() ? 4 | 1 : 4);
         while (b.size() % 4)
             b.u8(0);
         e.record(EMR_POLYDRAW16, b);
     }},
};

// The number of circles that hold the point, or -1 when it lies too close to an edge to tell.
int coverage(const QPointF& p)
{
    int inside = 0;
    for (const Circle& c : kCircles) {
        const qreal d = std::hypot(p.x() - c.centre.x(), p.y() - c.centre.y()) - c.radius;
        if (std::abs(d) < 1.5)
            return -1;
        inside += d < 0;
    }
    return inside;
}

// Pixels whose colour is not what the fill mode makes of the circles (all run the same way).
int wrongPixels(const QImage& image, int fillMode)
{
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int n = coverage(QPointF(x + 0.5, y + 0.5));
            if (n < 0)
                continue;
            const bool filled = fillMode == 1 ? n % 2 == 1 : n > 0;
            wrong += (qRed(image.pixel(x, y)) > 128) != filled;
        }
    return wrong;
}

Emf redPage(int fillMode)
{
    Emf emf;
    emf.record(EMR_SETMAPMODE, Bytes().u32(8))
        .record(EMR_SETWINDOWEXTEX, Bytes().i32(100 * kScale).i32(100 * kScale))
        .record(EMR_SETVIEWPORTEXTEX, Bytes().i32(100).i32(100))
        .brush(1, 255, 0, 0).select(1).select(NULL_PEN)
        .record(EMR_SETPOLYFILLMODE, Bytes().u32(fillMode));
    return emf;
}

TEST(PathFigures, SeveralFiguresFillExactlyTheirAreaWhateverRecordsDrawThem)
{
    for (int fillMode : {1, 2}) {
        const std::string mode = fillMode == 1 ? ", alternate" : ", winding";
        for (const auto& writer : kWriters) {
            SCOPED_TRACE(writer.name + mode);
            for (uint32_t fill : {EMR_FILLPATH, EMR_STROKEANDFILLPATH}) {
                Emf emf = redPage(fillMode);
                emf.record(EMR_BEGINPATH);
                for (const Circle& c : kCircles)
                    writer.write(emf, c);
                emf.record(EMR_ENDPATH).record(fill, Bytes().i32s({0, 0, 0, 0}));
                EXPECT_EQ(wrongPixels(render(emf.bytes()), fillMode), 0);
            }
        }
        // The same figures as a WMF polygon set.
        SCOPED_TRACE("WMF POLYPOLYGON" + mode);
        Wmf wmf(3, QRect(0, 0, 100 * kScale, 100 * kScale), 96 * kScale);
        wmf.record(META_CREATEBRUSHINDIRECT, logBrush(qRgb(255, 0, 0)))
            .words(META_SELECTOBJECT, {0})
            .record(META_CREATEPENINDIRECT, Bytes().u16(5).i16(0).i16(0).color(0, 0, 0))
            .words(META_SELECTOBJECT, {1})
            .words(META_SETPOLYFILLMODE, {fillMode});
        constexpr int kCorners = 180;
        Bytes polys;
        polys.u16(3).u16(kCorners).u16(kCorners).u16(kCorners);
        for (const Circle& c : kCircles)
            for (int i = 0; i < kCorners; ++i) {
                const QPoint p = logical(onCircle(c, c.startDegrees + 360.0 * i / kCorners));
                polys.i16(p.x()).i16(p.y());
            }
        EXPECT_EQ(wrongPixels(render(wmf.record(META_POLYPOLYGON, polys).bytes()), fillMode), 0);
    }
}

}  // namespace
