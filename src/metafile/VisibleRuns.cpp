// Cutting device-space paths to the area in which they can show.
#include "VisibleRuns.h"

#include <algorithm>
#include <cmath>

namespace metafile {

namespace {

// Halving a curve this often brings any finite one below a pixel.
constexpr int kMaxDepth = 64;

struct Cubic {
    QPointF p0, p1, p2, p3;

    QRectF box() const
    {
        const auto [left, right] = std::minmax({p0.x(), p1.x(), p2.x(), p3.x()});
        const auto [top, bottom] = std::minmax({p0.y(), p1.y(), p2.y(), p3.y()});
        return QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    // How far the curve bends away from its chord, about.
    qreal bend() const
    {
        const QPointF d1 = p0 - 2 * p1 + p2, d2 = p1 - 2 * p2 + p3;
        return std::max(std::hypot(d1.x(), d1.y()), std::hypot(d2.x(), d2.y()));
    }
    std::pair<Cubic, Cubic> halves() const
    {
        const QPointF a = (p0 + p1) / 2, b = (p1 + p2) / 2, c = (p2 + p3) / 2;
        const QPointF ab = (a + b) / 2, bc = (b + c) / 2, mid = (ab + bc) / 2;
        return {{p0, a, ab, mid}, {mid, bc, c, p3}};
    }
};

// Written so that a box or area with a coordinate that is not a number counts as outside.
bool inside(const QRectF& box, const QRectF& area)
{
    return box.left() >= area.left() && box.right() <= area.right() && box.top() >= area.top() && box.bottom() <= area.bottom();
}

bool misses(const QRectF& box, const QRectF& area)
{
    return !(box.right() >= area.left() && box.left() <= area.right() && box.bottom() >= area.top() && box.top() <= area.bottom());
}

// The part [t0, t1] of the line a-b inside area (Liang-Barsky); false when none.
bool clipLine(const QPointF& a, const QPointF& b, const QRectF& area, qreal& t0, qreal& t1)
{
    const qreal dx = b.x() - a.x(), dy = b.y() - a.y();
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(a.x()) || !std::isfinite(a.y()))
        return false;
    const qreal p[4] = {-dx, dx, -dy, dy};
    const qreal q[4] = {a.x() - area.left(), area.right() - a.x(), a.y() - area.top(), area.bottom() - a.y()};
    t0 = 0;
    t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const qreal t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

QPointF along(const QPointF& a, const QPointF& b, qreal t)
{
    return t <= 0 ? a : t >= 1 ? b : a + (b - a) * t;
}

// Appends the figure that `from` starts (at its move) to the one that `to` ends, as one.
void continueWith(QPainterPath& to, const QPainterPath& from)
{
    for (int i = 1; i < from.elementCount(); ++i) {
        const QPainterPath::Element e = from.elementAt(i);
        if (e.isCurveTo() && i + 2 < from.elementCount()) {
            to.cubicTo(e, from.elementAt(i + 1), from.elementAt(i + 2));
            i += 2;
        } else if (e.isLineTo()) {
            to.lineTo(e);
        } else if (e.isMoveTo()) {
            to.moveTo(e);
        }
    }
}

class RunBuilder {
public:
    RunBuilder(const QRectF& area, const QTransform& lengthSpace, bool dashed, int maxElements)
        : m_area(area), m_lengthSpace(lengthSpace), m_dashed(dashed), m_maxElements(maxElements)
    {
    }

    void moveTo(const QPointF& p)
    {
        endFigure();
        m_start = m_at = p;
        m_length = 0;
        m_figureRuns = m_runs.size();
        m_fresh = true;
    }

    void lineTo(const QPointF& to)
    {
        ++steps;
        const qreal length = lengthOf(m_at, to);
        qreal t0 = 0, t1 = 1;
        if (clipLine(m_at, to, m_area, t0, t1)) {
            if (!m_open || t0 > 0)
                begin(along(m_at, to, t0), m_length + t0 * length);
            else
                makeRoom(1);
            m_run.path.lineTo(along(m_at, to, t1));
            if (t1 < 1)
                finishRun();
        } else {
            finishRun();
        }
        m_length += length;
        m_at = to;
        m_fresh = false;
    }

    void cubicTo(const Cubic& c, int depth = 0)
    {
        ++steps;
        const QRectF box = c.box();
        if (misses(box, m_area)) {
            finishRun();
            m_length += lengthOf(c);
            m_at = c.p3;
            m_fresh = false;
        } else if (inside(box, m_area)) {
            if (!m_open)
                begin(c.p0, m_length);
            else
                makeRoom(3);
            m_run.path.cubicTo(c.p1, c.p2, c.p3);
            m_length += lengthOf(c);
            m_at = c.p3;
            m_fresh = false;
        } else if (depth >= kMaxDepth || c.bend() < 0.25) {
            lineTo(c.p3);
        } else {
            const auto [first, second] = c.halves();
            cubicTo(first, depth + 1);
            cubicTo(second, depth + 1);
        }
    }

    std::vector<Run> finish()
    {
        endFigure();
        return std::move(m_runs);
    }

    qint64 steps = 0;

private:
    qreal lengthOf(const QPointF& a, const QPointF& b) const
    {
        if (!m_dashed)
            return 0;
        const QPointF d = m_lengthSpace.map(b) - m_lengthSpace.map(a);
        return std::hypot(d.x(), d.y());
    }
    // Along lines that keep within a fiftieth of a unit of the curve, as a dasher walks it.
    qreal lengthOf(const Cubic& c)
    {
        if (!m_dashed)
            return 0;
        const Cubic m{m_lengthSpace.map(c.p0), m_lengthSpace.map(c.p1), m_lengthSpace.map(c.p2), m_lengthSpace.map(c.p3)};
        const qreal n = std::ceil(std::sqrt(0.75 * m.bend() / 0.02));
        const int lines = std::isfinite(n) ? std::clamp(int(n), 1, 256) : 1;
        steps += lines / 2;
        qreal sum = 0;
        QPointF from = m.p0;
        for (int k = 1; k <= lines; ++k) {
            const qreal t = qreal(k) / lines, u = 1 - t;
            const QPointF to = u * u * u * m.p0 + 3 * u * u * t * m.p1 + 3 * u * t * t * m.p2 + t * t * t * m.p3;
            sum += std::hypot(to.x() - from.x(), to.y() - from.y());
            from = to;
        }
        return sum;
    }

    void begin(const QPointF& at, qreal lengthBefore)
    {
        finishRun();
        m_run = Run{};
        m_run.path.moveTo(at);
        m_run.lengthBefore = lengthBefore;
        m_open = true;
        if (m_runs.size() == m_figureRuns)
            m_firstStartsFigure = m_fresh;
    }

    // A run that has grown to its limit ends here, and the next goes on from where it ends.
    void makeRoom(int elements)
    {
        if (m_run.path.elementCount() + elements > m_maxElements)
            begin(m_at, m_length);
    }

    void finishRun()
    {
        if (m_open && m_run.path.elementCount() > 1)
            m_runs.push_back(std::move(m_run));
        m_open = false;
    }

    void endFigure()
    {
        const bool endsAtEnd = m_open;
        finishRun();
        // A closed figure cut open at both sides of its start: its last run goes on into its first.
        const size_t count = m_runs.size() - m_figureRuns;
        if (m_dashed || !endsAtEnd || count < 2 || m_at != m_start)
            return;
        if (!m_firstStartsFigure)
            return;
        Run& first = m_runs[m_figureRuns];
        Run last = std::move(m_runs.back());
        m_runs.pop_back();
        continueWith(last.path, first.path);
        first = std::move(last);
    }

    const QRectF m_area;
    const QTransform m_lengthSpace;
    const bool m_dashed;
    const int m_maxElements;
    std::vector<Run> m_runs;
    size_t m_figureRuns = 0;        // index of the current figure's first run
    Run m_run;
    bool m_open = false;
    bool m_fresh = false;               // nothing of the figure is walked yet
    bool m_firstStartsFigure = false;   // the figure's first run starts where the figure does
    QPointF m_start, m_at;
    qreal m_length = 0;
};

}  // namespace

qreal lengthWithin(const QPainterPath& path, const QRectF& area, bool closed)
{
    qreal sum = 0;
    QPointF at, start;
    auto add = [&](const QPointF& to) {
        qreal t0 = 0, t1 = 1;
        if (clipLine(at, to, area, t0, t1)) {
            const QPointF d = (to - at) * (t1 - t0);
            sum += std::hypot(d.x(), d.y());
        }
        at = to;
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            if (closed && i > 0)
                add(start);
            start = at = e;
        } else {
            add(e);  // a curve by its control polygon, which is a little longer
        }
    }
    if (closed)
        add(start);
    return sum;
}

std::vector<Run> visibleRuns(const QPainterPath& path, const QRectF& area, const QTransform& lengthSpace, bool dashed,
                             int maxElements, qint64& steps)
{
    steps = 0;
    const QRectF bounds = path.controlPointRect();
    if (path.elementCount() < 2 || misses(bounds, area))
        return {};
    if (inside(bounds, area) && path.elementCount() <= maxElements)
        return {Run{path, 0}};
    RunBuilder builder(area, lengthSpace, dashed, std::max(maxElements, 4));
    const int n = path.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            builder.moveTo(e);
        } else if (e.isLineTo()) {
            builder.lineTo(e);
        } else if (e.isCurveTo() && i + 2 < n) {
            const QPainterPath::Element prev = path.elementAt(i - 1);
            builder.cubicTo({QPointF(prev.x, prev.y), e, path.elementAt(i + 1), path.elementAt(i + 2)});
            i += 2;
        }
    }
    steps = builder.steps;
    return builder.finish();
}

void appendCurve(QPolygonF& polygon, const QPointF& c1, const QPointF& c2, const QPointF& end, const QRectF& area,
                 qreal tolerance)
{
    struct Flattener {
        QPolygonF& out;
        const QRectF& area;
        qreal tolerance;

        void add(const Cubic& c, int depth)
        {
            const QRectF box = c.box();
            const qreal bend = c.bend();
            if (misses(box, area) || bend <= tolerance || depth >= kMaxDepth) {
                out << c.p3;
            } else if (inside(box, area)) {
                const int steps = std::clamp(int(std::ceil(std::sqrt(0.75 * bend / tolerance))), 1, 1000);
                for (int k = 1; k <= steps; ++k) {
                    const qreal t = qreal(k) / steps, u = 1 - t;
                    out << u * u * u * c.p0 + 3 * u * u * t * c.p1 + 3 * u * t * t * c.p2 + t * t * t * c.p3;
                }
            } else {
                const auto [first, second] = c.halves();
                add(first, depth + 1);
                add(second, depth + 1);
            }
        }
    };
    if (polygon.isEmpty())
        return;
    Flattener{polygon, area, tolerance}.add({polygon.last(), c1, c2, end}, 0);
}

}  // namespace metafile
