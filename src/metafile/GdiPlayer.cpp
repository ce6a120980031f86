// Shared drawing operations of the metafile players: pens and brushes, shapes, arcs, clipping
// and the path bracket. Text is in GdiText.cpp, bitmaps, gradients and regions in GdiRaster.cpp.
#include "GdiPlayer.h"

#include <QPainterPathStroker>
#include <QtMath>
#include <cmath>
#include <utility>

namespace metafile {

namespace {

QPainter::CompositionMode rop2Mode(int rop2)
{
    switch (rop2) {
    case R2_XORPEN: return QPainter::RasterOp_SourceXorDestination;
    case R2_NOT: return QPainter::RasterOp_NotDestination;
    case R2_MASKPEN: return QPainter::RasterOp_SourceAndDestination;
    case R2_MERGEPEN: return QPainter::RasterOp_SourceOrDestination;
    case R2_NOTCOPYPEN: return QPainter::RasterOp_NotSource;
    case R2_NOTXORPEN: return QPainter::RasterOp_NotSourceXorDestination;
    case R2_NOTMASKPEN: return QPainter::RasterOp_NotSourceAndNotDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

}  // namespace

GdiPlayer::GdiPlayer(Canvas& canvas, const QRectF& target, Budget& budget)
    : m_canvas(canvas), m_budget(budget), m_target(target)
{
    dc.fullArea = target;
}

QPen GdiPlayer::toPen(const PenSpec& desc) const
{
    if (desc.style == PS_NULL)
        return QPen(Qt::NoPen);
    QPen pen(desc.brush ? toBrush(*desc.brush) : QBrush(desc.color), 0);
    if (desc.cosmetic || desc.width <= 0) {
        pen.setCosmetic(true);
        pen.setWidthF(0);
    } else {
        pen.setWidthF(desc.width);
    }
    static constexpr Qt::PenCapStyle caps[] = {Qt::RoundCap, Qt::SquareCap, Qt::FlatCap};
    static constexpr Qt::PenJoinStyle joins[] = {Qt::RoundJoin, Qt::BevelJoin, Qt::MiterJoin};
    if (pen.isCosmetic()) {
        // A cosmetic pen is one device pixel, which has no visible caps or joins; square ends
        // and mitred corners come closest to that pixel.
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
    } else {
        pen.setCapStyle(caps[std::clamp(desc.endCap, 0, 2)]);
        pen.setJoinStyle(joins[std::clamp(desc.join, 0, 2)]);
    }
    switch (desc.style) {
    case PS_DASH: pen.setStyle(Qt::DashLine); break;
    case PS_DOT: case PS_ALTERNATE: pen.setStyle(Qt::DotLine); break;
    case PS_DASHDOT: pen.setStyle(Qt::DashDotLine); break;
    case PS_DASHDOTDOT: pen.setStyle(Qt::DashDotDotLine); break;
    case PS_USERSTYLE:
        if (!desc.dashes.empty()) {
            QList<qreal> pattern(desc.dashes.begin(), desc.dashes.end());
            if (pattern.size() % 2)
                pattern += pattern;
            pen.setDashPattern(pattern);
        }
        break;
    default: break;
    }
    return pen;
}

QBrush GdiPlayer::toBrush(const BrushSpec& desc) const
{
    switch (desc.style) {
    case BS_NULL: return QBrush();
    case BS_HATCHED: {
        static constexpr Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                     Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        // The hatch numbers after the six patterns are solid fills in the brush, text or
        // background colour (each in a plain and a dithered variant).
        switch (desc.hatch) {
        case 6: case 7: return QBrush(desc.color);
        case 8: case 9: return QBrush(dc.s.textColor);
        case 10: case 11: return QBrush(dc.s.bkColor);
        default: return QBrush(desc.color, hatches[std::clamp(desc.hatch, 0, 5)]);
        }
    }
    case BS_PATTERN: case BS_DIBPATTERN: case BS_DIBPATTERNPT:
        if (desc.monochrome && !desc.pattern.isNull()) {
            // Clear bits take the text colour, set bits the background colour.
            m_budget.charge(qint64(desc.pattern.width()) * desc.pattern.height() / 4);
            QImage colored(desc.pattern.size(), QImage::Format_RGB32);
            for (int y = 0; y < colored.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(colored.scanLine(y));
                for (int x = 0; x < colored.width(); ++x)
                    line[x] = qGray(desc.pattern.pixel(x, y)) > 127 ? dc.s.bkColor.rgb() : dc.s.textColor.rgb();
            }
            return QBrush(colored);
        }
        if (!desc.pattern.isNull())
            return QBrush(desc.pattern);
        return QBrush(desc.color);
    default: return QBrush(desc.color);
    }
}

Paint GdiPlayer::paint(bool stroke, bool fill) const
{
    Paint p;
    p.transform = dc.logicalToTarget();
    p.minPenWidth = std::max<qreal>(m_devicePixel, 1);
    if (dc.s.clip) {
        p.clip = &*dc.s.clip;
        p.clipSerial = dc.s.clipSerial;
    }
    if (dc.s.rop2 == R2_NOP)
        return p;
    p.pen = stroke ? toPen(dc.s.pen) : QPen(Qt::NoPen);
    p.brush = fill ? toBrush(dc.s.brush) : QBrush();
    if (dc.s.rop2 == R2_BLACK || dc.s.rop2 == R2_WHITE) {
        const QColor c = dc.s.rop2 == R2_BLACK ? Qt::black : Qt::white;
        if (p.pen.style() != Qt::NoPen)
            p.pen.setColor(c);
        if (p.brush.style() != Qt::NoBrush)
            p.brush = QBrush(c);
    }
    p.mode = rop2Mode(dc.s.rop2);
    return p;
}

void GdiPlayer::drawShape(QPainterPath path, bool fill, bool stroke)
{
    if (m_inPath) {
        if (!pathHasRoom(path.elementCount()))
            return;
        m_path.addPath(path);
        m_figureOpen = false;
        return;
    }
    const Paint p = paint(stroke, fill);
    if (p.pen.style() == Qt::NoPen && p.brush.style() == Qt::NoBrush)
        return;
    path.setFillRule(dc.s.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    if (fill && dc.s.bkMode == OPAQUE && dc.s.brush.style == BS_HATCHED && p.brush.style() != Qt::SolidPattern &&
        p.brush.style() != Qt::NoBrush) {
        // The gaps between the hatch lines show the background colour.
        Paint background = paint(false, false);
        background.brush = dc.s.bkColor;
        m_canvas.drawPath(path, background);
    }
    m_canvas.drawPath(path, p);
}

void GdiPlayer::polyline(QPolygonF points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.reserve(int(points.size()) + 1);
    path.addPolygon(std::exchange(points, {}));
    drawShape(std::move(path), false, true);
}

void GdiPlayer::polygon(QPolygonF points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.reserve(int(points.size()) + 1);
    path.addPolygon(std::exchange(points, {}));
    path.closeSubpath();
    drawShape(std::move(path));
}

void GdiPlayer::polyPolygon(const std::vector<QPolygonF>& polygons)
{
    QPainterPath path;
    for (const QPolygonF& poly : polygons) {
        if (poly.size() < 2)
            continue;
        path.addPolygon(poly);
        path.closeSubpath();
    }
    drawShape(std::move(path));
}

void GdiPlayer::fromCurrent(qsizetype elements, const std::function<bool(QPainterPath&)>& extend)
{
    if (m_inPath) {
        if (!pathHasRoom(elements + 1))
            return;
        if (!m_figureOpen)
            m_path.moveTo(dc.s.currentPos);
        m_figureOpen = extend(m_path);
        dc.s.currentPos = m_path.currentPosition();
        return;
    }
    QPainterPath path;
    path.moveTo(dc.s.currentPos);
    extend(path);
    dc.s.currentPos = path.currentPosition();
    if (path.elementCount() > 1)
        drawShape(std::move(path), false, true);
}

void GdiPlayer::polyBezier(const QPolygonF& points, bool continuing)
{
    if (!continuing) {
        // A figure of its own, from its first point; it leaves the current position alone.
        if (points.size() < 4)
            return;
        QPainterPath path;
        path.moveTo(points[0]);
        for (qsizetype i = 1; i + 2 < points.size(); i += 3)
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
        drawShape(std::move(path), false, true);
        return;
    }
    if (points.size() < 3)
        return;
    fromCurrent(points.size(), [&](QPainterPath& path) {
        for (qsizetype i = 0; i + 2 < points.size(); i += 3)
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
        return true;
    });
}

void GdiPlayer::polylineTo(const QPolygonF& points)
{
    if (points.isEmpty())
        return;
    fromCurrent(points.size(), [&](QPainterPath& path) {
        for (const QPointF& p : points)
            path.lineTo(p);
        return true;
    });
}

void GdiPlayer::polyDraw(const QPolygonF& points, QByteArrayView types)
{
    enum { PT_CLOSEFIGURE = 1, PT_LINETO = 2, PT_BEZIERTO = 4, PT_MOVETO = 6 };
    fromCurrent(points.size() * 2, [&](QPainterPath& path) {
        bool open = true;
        for (qsizetype i = 0; i < points.size() && i < types.size(); ++i) {
            const int t = uchar(types[i]);
            if ((t & PT_MOVETO) == PT_MOVETO) {
                path.moveTo(points[i]);
            } else {
                if (!open)
                    path.moveTo(path.currentPosition());
                if (t & PT_BEZIERTO) {
                    if (i + 2 >= points.size())
                        break;
                    path.cubicTo(points[i], points[i + 1], points[i + 2]);
                    i += 2;
                } else {
                    path.lineTo(points[i]);
                }
            }
            open = true;
            if (t & PT_CLOSEFIGURE) {
                path.closeSubpath();
                open = false;
            }
        }
        return open;
    });
}

void GdiPlayer::moveTo(const QPointF& p)
{
    // A move ends the figure; the next line or curve starts a new one here.
    dc.s.currentPos = p;
    m_figureOpen = false;
}

void GdiPlayer::lineTo(const QPointF& p)
{
    polylineTo(QPolygonF{p});
}

QColor GdiPlayer::colorRef(ByteReader& r)
{
    const uint8_t red = r.u8(), green = r.u8(), blue = r.u8();
    r.u8();
    return QColor(red, green, blue);
}

QRectF GdiPlayer::normalizedBox(qreal left, qreal top, qreal right, qreal bottom)
{
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

void GdiPlayer::rectangle(const QRectF& box)
{
    QPainterPath path;
    path.addRect(box);
    drawShape(std::move(path));
}

void GdiPlayer::roundRect(const QRectF& box, const QSizeF& corner)
{
    QPainterPath path;
    path.addRoundedRect(box, std::min(std::abs(corner.width()) / 2, box.width() / 2),
                        std::min(std::abs(corner.height()) / 2, box.height() / 2));
    drawShape(std::move(path));
}

void GdiPlayer::ellipse(const QRectF& box)
{
    QPainterPath path;
    path.addEllipse(box);
    drawShape(std::move(path));
}

void GdiPlayer::arc(const QRectF& box, const QPointF& start, const QPointF& end, ArcKind kind, bool toCurrent)
{
    const QPointF c = box.center();
    const qreal rx = box.width() / 2, ry = box.height() / 2;
    if (rx <= 0 || ry <= 0)
        return;
    auto angleOf = [&](const QPointF& p) { return qRadiansToDegrees(std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx)); };
    const qreal a0 = angleOf(start);
    qreal sweep = angleOf(end) - a0;
    // The direction is the one seen on the device, so a flipped mapping turns it around.
    const QTransform t = dc.logicalToTarget();
    const bool clockwise = dc.s.arcClockwise != (t.m11() * t.m22() - t.m12() * t.m21() < 0);
    if (!std::isfinite(sweep))
        return;
    if (clockwise) {
        while (sweep >= 0)
            sweep -= 360;
    } else {
        while (sweep <= 0)
            sweep += 360;
    }
    if (toCurrent) {
        // A line from the current position to the arc's start, then the arc, in the open figure.
        fromCurrent(kArcElements, [&](QPainterPath& path) {
            path.arcTo(box, a0, sweep);
            return true;
        });
        return;
    }
    QPainterPath path;
    if (kind == ArcPie) {
        path.moveTo(c);
        path.arcTo(box, a0, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(box, a0);
        path.arcTo(box, a0, sweep);
        if (kind == ArcChord)
            path.closeSubpath();
    }
    drawShape(std::move(path), kind != ArcOnly, true);
}

void GdiPlayer::angleArc(const QPointF& centre, qreal radius, qreal startDegrees, qreal sweepDegrees)
{
    if (!std::isfinite(startDegrees) || !std::isfinite(sweepDegrees) || !(radius >= 0))
        return;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    fromCurrent(kArcElements * 10, [&](QPainterPath& path) {
        path.arcTo(box, startDegrees, std::clamp<qreal>(sweepDegrees, -3600, 3600));
        return true;
    });
}

void GdiPlayer::fillRect(const QRectF& box, const QBrush& brush, QPainter::CompositionMode mode)
{
    Paint p = paint(false, false);
    p.brush = brush;
    p.mode = mode;
    QPainterPath path;
    path.addRect(box);
    m_canvas.drawPath(path, p);
}

void GdiPlayer::intersectClipRect(const QRectF& logical)
{
    QPainterPath path;
    path.addRect(logical.normalized());
    dc.combineClip(dc.logicalToTarget().map(path), RGN_AND, m_budget);
}

void GdiPlayer::excludeClipRect(const QRectF& logical)
{
    QPainterPath path;
    path.addRect(logical.normalized());
    dc.combineClip(dc.logicalToTarget().map(path), RGN_DIFF, m_budget);
}

void GdiPlayer::selectClipRegion(const QPainterPath& region, int mode)
{
    if (region.isEmpty() && mode == RGN_COPY) {
        dc.resetClip();
        return;
    }
    dc.combineClip(dc.deviceToTarget.map(region), mode, m_budget);
}

void GdiPlayer::beginPath()
{
    m_inPath = true;
    m_figureOpen = false;
    m_path = QPainterPath();
}

void GdiPlayer::abortPath()
{
    m_inPath = false;
    m_figureOpen = false;
    m_path = QPainterPath();
}

void GdiPlayer::closeFigure()
{
    if (m_inPath && m_figureOpen) {
        m_path.closeSubpath();
        m_figureOpen = false;
    }
}

QPainterPath GdiPlayer::takePath(bool closeFigures)
{
    m_inPath = false;
    m_figureOpen = false;
    QPainterPath path = std::exchange(m_path, QPainterPath());
    if (!closeFigures)
        return path;
    // Filling closes every figure that its own close record left open, each to its own start.
    QPainterPath closed;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            closed.closeSubpath();
            closed.moveTo(e);
            break;
        case QPainterPath::LineToElement: closed.lineTo(e); break;
        case QPainterPath::CurveToElement:
            if (i + 2 < path.elementCount())
                closed.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
            i += 2;
            break;
        default: break;
        }
    }
    closed.closeSubpath();
    return closed;
}

void GdiPlayer::fillPath(bool fill, bool stroke)
{
    drawShape(takePath(fill), fill, stroke);
}

void GdiPlayer::selectClipPath(int mode)
{
    QPainterPath path = takePath(true);
    path.setFillRule(dc.s.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    dc.combineClip(dc.logicalToTarget().map(path), mode, m_budget);
}

bool GdiPlayer::pathHasRoom(qsizetype elements)
{
    if (m_path.elementCount() + elements <= kMaxPoints)
        return true;
    m_budget.leaveOut();
    return false;
}

void GdiPlayer::widenPath()
{
    // The outline has several times the elements of the path.
    if (!pathHasRoom(m_path.elementCount() * 7) || !m_budget.afford(m_path.elementCount() * work::kOutlineElement)) {
        abortPath();
        return;
    }
    QPainterPathStroker stroker;
    stroker.setWidth(std::max<qreal>(dc.s.pen.width, 1));
    m_path = stroker.createStroke(m_path);
}

GdiObject GdiPlayer::stockObject(uint32_t index)
{
    GdiObject o;
    auto brush = [&](int style, QColor c) {
        o.kind = GdiObject::Brush;
        o.brush.style = style;
        o.brush.color = c;
    };
    auto pen = [&](int style, QColor c) {
        o.kind = GdiObject::Pen;
        o.pen.style = style;
        o.pen.color = c;
    };
    switch (index & 0x7FFFFFFF) {
    case 0: case 18: brush(BS_SOLID, Qt::white); break;
    case 1: brush(BS_SOLID, QColor(0xC0, 0xC0, 0xC0)); break;
    case 2: brush(BS_SOLID, QColor(0x80, 0x80, 0x80)); break;
    case 3: brush(BS_SOLID, QColor(0x40, 0x40, 0x40)); break;
    case 4: brush(BS_SOLID, Qt::black); break;
    case 5: brush(BS_NULL, Qt::black); break;
    case 6: pen(PS_SOLID, Qt::white); break;
    case 7: case 19: pen(PS_SOLID, Qt::black); break;
    case 8: pen(PS_NULL, Qt::black); break;
    case 10: case 11: case 12: case 13: case 14: case 16: case 17:
        o.kind = GdiObject::Font;
        break;
    default: o.kind = GdiObject::Other; break;
    }
    return o;
}

GdiObject GdiPlayer::kept(GdiObject o)
{
    const qint64 bytes = o.brush.pattern.sizeInBytes() + (o.pen.brush ? o.pen.brush->pattern.sizeInBytes() : 0) +
                         qint64(o.region.elementCount()) * qint64(sizeof(QPainterPath::Element));
    if (!m_budget.keep(bytes)) {
        o.brush.pattern = QImage();
        if (o.pen.brush)
            o.pen.brush->pattern = QImage();
        if (!o.region.isEmpty()) {
            o.region = QPainterPath();
            o.region.addRect(QRectF());
        }
    }
    return o;
}

void GdiPlayer::select(const GdiObject& object)
{
    switch (object.kind) {
    case GdiObject::Pen: dc.s.pen = object.pen; break;
    case GdiObject::Brush: dc.s.brush = object.brush; break;
    case GdiObject::Font: dc.s.font = object.font; break;
    case GdiObject::Region: selectClipRegion(object.region, RGN_COPY); break;
    default: break;
    }
}

}  // namespace metafile
