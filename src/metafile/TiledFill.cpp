// Fills device-space paths in pieces small enough for the rasterizer's cell pool.
#include "TiledFill.h"

#include "VisibleRuns.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace metafile {

namespace {

// The rasterizer's work is about the number of edges times the cells they cross (their length
// in pixels) over its pool size. A piece stays below this product; found by measuring, not
// critical within a factor of two.
constexpr qreal kPieceBudget = 100000;
constexpr int kMinPieceSide = 16;
// Cutting an edge goes over it several times (counted, cut on both sides, measured again): where
// the cutting goes beyond what was paid for ahead, it is charged that many steps per edge, as
// measured on outlines wider than the picture laid over each other.
constexpr qint64 kStepsPerCutEdge = 16;

// The path's figures as closed polygons, curves cut into lines a tenth of a pixel close where they
// come near the area that is kept.
std::vector<QPolygonF> figures(const QPainterPath& path, const QRectF& keep)
{
    constexpr qreal kTolerance = 0.1;  // pixels between a curve and its lines
    std::vector<QPolygonF> out;
    QPolygonF current;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (current.size() >= 3)
                out.push_back(std::move(current));
            current = QPolygonF{QPointF(e)};
            break;
        case QPainterPath::LineToElement: current << QPointF(e); break;
        case QPainterPath::CurveToElement:
            if (i + 2 >= path.elementCount() || current.isEmpty())
                return out;
            appendCurve(current, e, path.elementAt(i + 1), path.elementAt(i + 2), keep, kTolerance);
            i += 2;
            break;
        default: break;
        }
    }
    if (current.size() >= 3)
        out.push_back(std::move(current));
    return out;
}

struct Contour {
    QPolygonF points;
    QRectF bounds;
};

qreal edgeLength(const QPolygonF& p)
{
    qreal sum = 0;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QPointF d = p[(i + 1) % p.size()] - p[i];
        sum += std::abs(d.x()) + std::abs(d.y());
    }
    return sum;
}

// The part of a closed contour on one side of the line x = at (vertical) or y = at. The parts
// outside are replaced by pieces of the line, which leaves the winding number of every point on
// the kept side as it was, whichever fill rule the path has.
QPolygonF clipToSide(const QPolygonF& in, bool vertical, qreal at, bool keepLess)
{
    QPolygonF out;
    const qsizetype n = in.size();
    out.reserve(n + 4);
    auto coord = [vertical](const QPointF& p) { return vertical ? p.x() : p.y(); };
    auto inside = [&](const QPointF& p) { return keepLess ? coord(p) <= at : coord(p) >= at; };
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF a = in[i], b = in[(i + 1) % n];
        const bool ai = inside(a), bi = inside(b);
        if (ai)
            out << a;
        if (ai != bi) {
            const qreal t = (at - coord(a)) / (coord(b) - coord(a));
            const QPointF cut = a + (b - a) * t;
            out << (vertical ? QPointF(at, cut.y()) : QPointF(cut.x(), at));
        }
    }
    return out;
}

// How often a closed contour crosses the line x = at (vertical) or y = at.
qsizetype crossings(const QPolygonF& p, bool vertical, qreal at)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QPointF& a = p[i];
        const QPointF& b = p[(i + 1) % p.size()];
        n += ((vertical ? a.x() : a.y()) <= at) != ((vertical ? b.x() : b.y()) <= at);
    }
    return n;
}

struct Pieces {
    std::vector<Contour> contours;
    qreal length = 0;
    qsizetype edges = 0;

    void add(QPolygonF points)
    {
        if (points.size() < 3)
            return;
        length += edgeLength(points);
        edges += points.size();
        const QRectF bounds = points.boundingRect();
        contours.push_back({std::move(points), bounds});
    }
};

class PieceFiller {
public:
    // prepaid: what the cutting was paid for ahead, from the edges and the halvings they need.
    PieceFiller(QPainter& painter, Qt::FillRule rule, Budget& budget, qint64 prepaid)
        : m_painter(painter), m_rule(rule), m_budget(budget), m_prepaid(prepaid)
    {
    }

    void fill(std::vector<Contour> contours, const QRect& area, qreal length, qsizetype edges)
    {
        if (contours.empty() || m_spent)
            return;
        if (edges * length <= kPieceBudget || (area.width() <= kMinPieceSide && area.height() <= kMinPieceSide)) {
            draw(contours, length, edges);
            return;
        }
        const bool vertical = area.width() >= area.height();
        const int at = vertical ? area.left() + area.width() / 2 : area.top() + area.height() / 2;
        // A cut helps when it shares the edges out. Where most of them cross it (long edges all
        // over the piece), cutting on only multiplies them: the piece is drawn as it is.
        qsizetype cutEdges = 0;
        for (const Contour& c : contours)
            cutEdges += c.points.size() + crossings(c.points, vertical, at);
        if (cutEdges > edges * 3 / 2) {
            draw(contours, length, edges);
            return;
        }
        // Cutting was paid for as if each halving went over the edges once. Contours that cover
        // a piece whole keep their corners in both halves, so that wide outlines laid over each
        // other can double their edges with every halving: what goes beyond is paid as it comes,
        // and the fill stops where it no longer fits.
        if (!pay(cutEdges)) {
            m_spent = true;
            return;
        }
        QRect low = area, high = area;
        if (vertical) {
            low.setRight(at - 1);
            high.setLeft(at);
        } else {
            low.setBottom(at - 1);
            high.setTop(at);
        }
        Pieces lows, highs;
        for (Contour& c : contours) {
            const qreal lo = vertical ? c.bounds.left() : c.bounds.top();
            const qreal hi = vertical ? c.bounds.right() : c.bounds.bottom();
            if (hi <= at) {
                lows.add(std::move(c.points));
            } else if (lo >= at) {
                highs.add(std::move(c.points));
            } else {
                lows.add(clipToSide(c.points, vertical, at, true));
                highs.add(clipToSide(c.points, vertical, at, false));
            }
        }
        contours.clear();
        contours.shrink_to_fit();
        fill(std::move(lows.contours), low, lows.length, lows.edges);
        fill(std::move(highs.contours), high, highs.length, highs.edges);
    }

private:
    // Pays for cutting that many edges once more.
    bool pay(qint64 edges)
    {
        const qint64 units = edges * work::kStep;
        const qint64 fromPrepaid = std::min(units, m_prepaid);
        m_prepaid -= fromPrepaid;
        return fromPrepaid == units || m_budget.afford((units - fromPrepaid) * kStepsPerCutEdge);
    }

    void draw(const std::vector<Contour>& contours, qreal length, qsizetype edges)
    {
        // The whole fill was paid for, except where a piece still has too many edges for the
        // rasterizer's pool: it goes over its edges again for each band of the piece.
        const qreal overflow = edges * length / kPieceBudget;
        if (overflow > 1 && !m_budget.afford(qint64(std::min<qreal>(overflow * edges, 1e15)) * work::kElement)) {
            m_spent = true;
            return;
        }
        QPainterPath piece;
        piece.setFillRule(m_rule);
        for (const Contour& c : contours) {
            piece.addPolygon(c.points);
            piece.closeSubpath();
        }
        m_painter.drawPath(piece);
    }

    QPainter& m_painter;
    Qt::FillRule m_rule;
    Budget& m_budget;
    qint64 m_prepaid;
    bool m_spent = false;
};

// The path's contours cut to keep; drawn: the part of keep they cover.
Pieces contoursIn(const QPainterPath& path, const QRectF& keep, QRectF& drawn)
{
    Pieces all;
    for (QPolygonF& points : figures(path, keep)) {
        const QRectF bounds = points.boundingRect();
        if (!bounds.intersects(keep))
            continue;  // not around any point of keep either
        if (!keep.contains(bounds)) {
            points = clipToSide(points, true, keep.left(), false);
            points = clipToSide(points, true, keep.right(), true);
            points = clipToSide(points, false, keep.top(), false);
            points = clipToSide(points, false, keep.bottom(), true);
        }
        drawn |= bounds & keep;
        all.add(std::move(points));
    }
    return all;
}

}  // namespace

QPainterPath cutToArea(const QPainterPath& path, const QRectF& area)
{
    QRectF drawn;
    QPainterPath cut;
    cut.setFillRule(path.fillRule());
    for (const Contour& c : contoursIn(path, area, drawn).contours) {
        cut.addPolygon(c.points);
        cut.closeSubpath();
    }
    return cut;
}

void fillInPieces(QPainter& painter, const QPainterPath& path, const QBrush& brush, Budget& budget)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    // Only what can show is cut into pieces: contours are first cut to the visible area (a pixel
    // wider, so that antialiased edges along it stay as they are).
    QRectF visible(0, 0, painter.device()->width(), painter.device()->height());
    if (painter.hasClipping())
        visible &= painter.clipBoundingRect();
    QRectF drawn;
    Pieces all = contoursIn(path, visible.adjusted(-1, -1, 1, 1), drawn);
    budget.charge(all.edges * work::kStep);
    if (!std::isfinite(all.length))
        return;
    // What the fill costs is known before it starts, so that it is drawn whole or not at all:
    // the edges are cut once for each halving of the pieces, and then filled.
    const QRect area = drawn.toAlignedRect();
    const qreal halvings = std::ceil(std::log2(std::max<qreal>(all.edges * all.length / kPieceBudget, 1)));
    const qint64 pixels = qint64(area.width()) * area.height() * (brush.style() == Qt::SolidPattern ? 1 : work::kPatternFactor);
    const qint64 cutting = all.edges * work::kStep * qint64(std::min<qreal>(halvings, 40));
    if (!budget.afford(work::kCall + all.edges * work::kElement + cutting + qint64(all.length * work::kEdgePixel) +
                       pixels / work::kPixelsPerUnit))
        return;
    PieceFiller(painter, path.fillRule(), budget, cutting).fill(std::move(all.contours), area, all.length, all.edges);
}

}  // namespace metafile
