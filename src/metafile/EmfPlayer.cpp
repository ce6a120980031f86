// EMF header, record loop and the handlers for state, mapping, shapes, paths and clipping.
// Objects, bitmaps and text are in EmfObjects.cpp.
#include "EmfPlayer.h"

#include "RasterBlit.h"

#include <array>
#include <cmath>

namespace metafile {

namespace {

constexpr uint32_t kEmfSignature = 0x464D4520;
constexpr uint32_t EMR_HEADER = 1;
constexpr uint32_t EMR_EOF = 14;

QRect inclusiveRect(ByteReader& r)
{
    const int left = r.i32(), top = r.i32(), right = r.i32(), bottom = r.i32();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Where the picture starts, in 0.01 mm. The frame is the picture: it is mapped onto the target
// whatever was drawn inside it, as the system plays a metafile. The bounds (device pixels) only
// say where ink is: an icon with its label centred in the frame, or a page printed with margins,
// does not start at the frame's corner. Only a frame that misses most of the ink, which no writer
// means, gives way to the bounds, so that the drawing is not lost.
QPointF pictureOrigin(const EmfHeader& h, qreal toMmX, qreal toMmY)
{
    const QRectF frame(QPointF(h.frame.left(), h.frame.top()), QPointF(h.frame.right(), h.frame.bottom()));
    const QRectF ink(QPointF(h.bounds.left() * toMmX, h.bounds.top() * toMmY),
                     QPointF(h.bounds.right() * toMmX, h.bounds.bottom() * toMmY));
    if (ink.width() > 0 && ink.height() > 0) {
        const QRectF inside = frame & ink;
        if (inside.width() * inside.height() < ink.width() * ink.height() / 4)
            return ink.topLeft();
    }
    return frame.topLeft();
}

}  // namespace

std::optional<EmfHeader> readEmfHeader(QByteArrayView bytes)
{
    ByteReader r(bytes);
    const uint32_t type = r.u32();
    const uint32_t size = r.u32();
    EmfHeader h;
    h.bounds = inclusiveRect(r);
    h.frame = inclusiveRect(r);
    const uint32_t signature = r.u32();
    r.skip(12);
    h.handles = r.u16();
    r.skip(2);
    const uint32_t descriptionChars = r.u32(), descriptionAt = r.u32();
    r.skip(4);
    const int devX = r.i32(), devY = r.i32(), mmX = r.i32(), mmY = r.i32();
    if (!r.ok() || type != EMR_HEADER || signature != kEmfSignature || size < 88 || size > uint32_t(bytes.size()))
        return std::nullopt;
    if (devX <= 0 || devY <= 0 || mmX <= 0 || mmY <= 0)
        return std::nullopt;
    h.device = QSize(devX, devY);
    h.millimeters = QSizeF(mmX, mmY);
    // The size in micrometres is more precise, when the header really has it and it is not
    // the description string that some writers put right after the basic header.
    if (size >= 108 && (descriptionChars == 0 || descriptionAt >= 108)) {
        r.seek(100);
        const int umX = r.i32(), umY = r.i32();
        if (r.ok() && umX > qint64(mmX) * 500 && umX < qint64(mmX) * 2000 && umY > qint64(mmY) * 500 && umY < qint64(mmY) * 2000)
            h.millimeters = QSizeF(umX / 1000.0, umY / 1000.0);
    }
    if (h.frame.right() <= h.frame.left() || h.frame.bottom() <= h.frame.top()) {
        // Some writers leave the frame empty; the bounds in device pixels say the same.
        if (h.bounds.right() <= h.bounds.left() || h.bounds.bottom() <= h.bounds.top())
            return std::nullopt;
        const qreal fx = h.millimeters.width() * 100 / devX, fy = h.millimeters.height() * 100 / devY;
        auto toFrame = [](qreal v) { return int(std::lround(std::clamp<qreal>(v, -1e9, 1e9))); };
        h.frame = QRect(QPoint(toFrame(h.bounds.left() * fx), toFrame(h.bounds.top() * fy)),
                        QPoint(toFrame(h.bounds.right() * fx), toFrame(h.bounds.bottom() * fy)));
    }
    const qint64 frameW = qint64(h.frame.right()) - h.frame.left(), frameH = qint64(h.frame.bottom()) - h.frame.top();
    if (frameW <= 0 || frameH <= 0 || frameW > 100'000'000 || frameH > 100'000'000)
        return std::nullopt;
    return h;
}

bool EmfPlayer::readsDestination(QByteArrayView bytes)
{
    enum : uint32_t { EMR_BITBLT = 76, EMR_STRETCHBLT = 77, EMR_MASKBLT = 78, EMR_STRETCHDIBITS = 81 };
    ByteReader r(bytes);
    for (int count = 0; r.remaining() >= 8 && count < kMaxRecords; ++count) {
        const qsizetype at = r.pos();
        const uint32_t type = r.u32();
        const uint32_t size = r.u32();
        if (size < 8 || size > uint64_t(r.remaining()) + 8 || type == EMR_EOF)
            break;
        const qsizetype ropAt = type == EMR_STRETCHDIBITS ? 68 : 40;
        if ((type == EMR_BITBLT || type == EMR_STRETCHBLT || type == EMR_MASKBLT || type == EMR_STRETCHDIBITS) && size >= ropAt + 4) {
            ByteReader rop = r.sub(at + ropAt, 4);
            if (type == EMR_MASKBLT || ropUsesDestination(uint8_t(rop.u32() >> 16)))
                return true;
        }
        r.seek(at + qsizetype(size));
    }
    return false;
}

std::span<const EmfPlayer::Entry> EmfPlayer::records()
{
    static constexpr Entry table[] = {
        {2, &EmfPlayer::emrPolyBezier, "EMR_POLYBEZIER"},
        {3, &EmfPlayer::emrPolygon, "EMR_POLYGON"},
        {4, &EmfPlayer::emrPolyline, "EMR_POLYLINE"},
        {5, &EmfPlayer::emrPolyBezierTo, "EMR_POLYBEZIERTO"},
        {6, &EmfPlayer::emrPolylineTo, "EMR_POLYLINETO"},
        {7, &EmfPlayer::emrPolyPolyline, "EMR_POLYPOLYLINE"},
        {8, &EmfPlayer::emrPolyPolygon, "EMR_POLYPOLYGON"},
        {9, &EmfPlayer::emrSetWindowExtEx, "EMR_SETWINDOWEXTEX"},
        {10, &EmfPlayer::emrSetWindowOrgEx, "EMR_SETWINDOWORGEX"},
        {11, &EmfPlayer::emrSetViewportExtEx, "EMR_SETVIEWPORTEXTEX"},
        {12, &EmfPlayer::emrSetViewportOrgEx, "EMR_SETVIEWPORTORGEX"},
        {15, &EmfPlayer::emrSetPixelV, "EMR_SETPIXELV"},
        {17, &EmfPlayer::emrSetMapMode, "EMR_SETMAPMODE"},
        {18, &EmfPlayer::emrSetBkMode, "EMR_SETBKMODE"},
        {19, &EmfPlayer::emrSetPolyFillMode, "EMR_SETPOLYFILLMODE"},
        {20, &EmfPlayer::emrSetRop2, "EMR_SETROP2"},
        {22, &EmfPlayer::emrSetTextAlign, "EMR_SETTEXTALIGN"},
        {24, &EmfPlayer::emrSetTextColor, "EMR_SETTEXTCOLOR"},
        {25, &EmfPlayer::emrSetBkColor, "EMR_SETBKCOLOR"},
        {26, &EmfPlayer::emrOffsetClipRgn, "EMR_OFFSETCLIPRGN"},
        {27, &EmfPlayer::emrMoveToEx, "EMR_MOVETOEX"},
        {29, &EmfPlayer::emrExcludeClipRect, "EMR_EXCLUDECLIPRECT"},
        {30, &EmfPlayer::emrIntersectClipRect, "EMR_INTERSECTCLIPRECT"},
        {31, &EmfPlayer::emrScaleViewportExtEx, "EMR_SCALEVIEWPORTEXTEX"},
        {32, &EmfPlayer::emrScaleWindowExtEx, "EMR_SCALEWINDOWEXTEX"},
        {33, &EmfPlayer::emrSaveDc, "EMR_SAVEDC"},
        {34, &EmfPlayer::emrRestoreDc, "EMR_RESTOREDC"},
        {35, &EmfPlayer::emrSetWorldTransform, "EMR_SETWORLDTRANSFORM"},
        {36, &EmfPlayer::emrModifyWorldTransform, "EMR_MODIFYWORLDTRANSFORM"},
        {37, &EmfPlayer::emrSelectObject, "EMR_SELECTOBJECT"},
        {38, &EmfPlayer::emrCreatePen, "EMR_CREATEPEN"},
        {39, &EmfPlayer::emrCreateBrushIndirect, "EMR_CREATEBRUSHINDIRECT"},
        {40, &EmfPlayer::emrDeleteObject, "EMR_DELETEOBJECT"},
        {41, &EmfPlayer::emrAngleArc, "EMR_ANGLEARC"},
        {42, &EmfPlayer::emrEllipse, "EMR_ELLIPSE"},
        {43, &EmfPlayer::emrRectangle, "EMR_RECTANGLE"},
        {44, &EmfPlayer::emrRoundRect, "EMR_ROUNDRECT"},
        {45, &EmfPlayer::emrArc, "EMR_ARC"},
        {46, &EmfPlayer::emrChord, "EMR_CHORD"},
        {47, &EmfPlayer::emrPie, "EMR_PIE"},
        {49, &EmfPlayer::emrCreatePalette, "EMR_CREATEPALETTE"},
        {54, &EmfPlayer::emrLineTo, "EMR_LINETO"},
        {55, &EmfPlayer::emrArcTo, "EMR_ARCTO"},
        {56, &EmfPlayer::emrPolyDraw, "EMR_POLYDRAW"},
        {57, &EmfPlayer::emrSetArcDirection, "EMR_SETARCDIRECTION"},
        {59, &EmfPlayer::emrBeginPath, "EMR_BEGINPATH"},
        {60, &EmfPlayer::emrEndPath, "EMR_ENDPATH"},
        {61, &EmfPlayer::emrCloseFigure, "EMR_CLOSEFIGURE"},
        {62, &EmfPlayer::emrFillPath, "EMR_FILLPATH"},
        {63, &EmfPlayer::emrStrokeAndFillPath, "EMR_STROKEANDFILLPATH"},
        {64, &EmfPlayer::emrStrokePath, "EMR_STROKEPATH"},
        {66, &EmfPlayer::emrWidenPath, "EMR_WIDENPATH"},
        {67, &EmfPlayer::emrSelectClipPath, "EMR_SELECTCLIPPATH"},
        {68, &EmfPlayer::emrAbortPath, "EMR_ABORTPATH"},
        {71, &EmfPlayer::emrFillRgn, "EMR_FILLRGN"},
        {72, &EmfPlayer::emrFrameRgn, "EMR_FRAMERGN"},
        {73, &EmfPlayer::emrInvertRgn, "EMR_INVERTRGN"},
        {74, &EmfPlayer::emrPaintRgn, "EMR_PAINTRGN"},
        {75, &EmfPlayer::emrExtSelectClipRgn, "EMR_EXTSELECTCLIPRGN"},
        {76, &EmfPlayer::emrBitBlt, "EMR_BITBLT"},
        {77, &EmfPlayer::emrStretchBlt, "EMR_STRETCHBLT"},
        {78, &EmfPlayer::emrMaskBlt, "EMR_MASKBLT"},
        {79, &EmfPlayer::emrPlgBlt, "EMR_PLGBLT"},
        {80, &EmfPlayer::emrSetDiBitsToDevice, "EMR_SETDIBITSTODEVICE"},
        {81, &EmfPlayer::emrStretchDiBits, "EMR_STRETCHDIBITS"},
        {82, &EmfPlayer::emrExtCreateFontIndirectW, "EMR_EXTCREATEFONTINDIRECTW"},
        {83, &EmfPlayer::emrExtTextOutA, "EMR_EXTTEXTOUTA"},
        {84, &EmfPlayer::emrExtTextOutW, "EMR_EXTTEXTOUTW"},
        {85, &EmfPlayer::emrPolyBezier16, "EMR_POLYBEZIER16"},
        {86, &EmfPlayer::emrPolygon16, "EMR_POLYGON16"},
        {87, &EmfPlayer::emrPolyline16, "EMR_POLYLINE16"},
        {88, &EmfPlayer::emrPolyBezierTo16, "EMR_POLYBEZIERTO16"},
        {89, &EmfPlayer::emrPolylineTo16, "EMR_POLYLINETO16"},
        {90, &EmfPlayer::emrPolyPolyline16, "EMR_POLYPOLYLINE16"},
        {91, &EmfPlayer::emrPolyPolygon16, "EMR_POLYPOLYGON16"},
        {92, &EmfPlayer::emrPolyDraw16, "EMR_POLYDRAW16"},
        {93, &EmfPlayer::emrCreateMonoBrush, "EMR_CREATEMONOBRUSH"},
        {94, &EmfPlayer::emrCreateDibPatternBrushPt, "EMR_CREATEDIBPATTERNBRUSHPT"},
        {95, &EmfPlayer::emrExtCreatePen, "EMR_EXTCREATEPEN"},
        {108, &EmfPlayer::emrSmallTextOut, "EMR_SMALLTEXTOUT"},
        {114, &EmfPlayer::emrAlphaBlend, "EMR_ALPHABLEND"},
        {116, &EmfPlayer::emrTransparentBlt, "EMR_TRANSPARENTBLT"},
        {118, &EmfPlayer::emrGradientFill, "EMR_GRADIENTFILL"},
    };
    return table;
}

EmfPlayer::EmfPlayer(Canvas& canvas, const QRectF& target, const EmfHeader& h) : GdiPlayer(canvas, target)
{
    dc.resizeObjects(h.handles);
    dc.pixelsPerMm = QSizeF(h.device.width() / h.millimeters.width(), h.device.height() / h.millimeters.height());
    // device pixels → 0.01 mm → the frame stretched onto the target
    const qreal toMmX = 100 / dc.pixelsPerMm.width(), toMmY = 100 / dc.pixelsPerMm.height();
    const qreal frameW = qreal(h.frame.right()) - h.frame.left(), frameH = qreal(h.frame.bottom()) - h.frame.top();
    const QPointF origin = pictureOrigin(h, toMmX, toMmY);
    const qreal left = origin.x(), top = origin.y();
    const qreal sx = target.width() / frameW, sy = target.height() / frameH;
    dc.deviceToTarget = QTransform(toMmX * sx, 0, 0, toMmY * sy, target.left() - left * sx, target.top() - top * sy);
    m_devicePixel = toMmX * sx;
}

void EmfPlayer::play(QByteArrayView bytes, const std::atomic<bool>* stop)
{
    static const std::array<Handler, 128> index = [] {
        std::array<Handler, 128> a{};
        for (const Entry& e : records())
            a[e.type] = e.handler;
        return a;
    }();
    ByteReader r(bytes);
    for (int count = 0; r.remaining() >= 8 && count < kMaxRecords; ++count) {
        if (stop && stop->load(std::memory_order_relaxed))
            break;
        const qsizetype at = r.pos();
        const uint32_t type = r.u32();
        const uint32_t size = r.u32();
        if (size < 8 || size > uint64_t(r.remaining()) + 8 || type == EMR_EOF)
            break;
        if (type < index.size() && index[type]) {
            ByteReader record = r.sub(at, size);
            record.seek(8);
            (this->*index[type])(record);
        }
        r.seek(at + qsizetype(size));
    }
}

QPolygonF EmfPlayer::readPoints(ByteReader& r, uint32_t count, bool shortPoints)
{
    QPolygonF poly;
    if (!r.has(qsizetype(count) * (shortPoints ? 4 : 8)))
        return poly;
    poly.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const qreal x = shortPoints ? r.i16() : r.i32();
        const qreal y = shortPoints ? r.i16() : r.i32();
        poly.append(QPointF(x, y));
    }
    return poly;
}

QRectF EmfPlayer::rectL(ByteReader& r)
{
    const qreal left = r.i32(), top = r.i32(), right = r.i32(), bottom = r.i32();
    return normalizedBox(left, top, right, bottom);
}

QPointF EmfPlayer::pointL(ByteReader& r)
{
    const qreal x = r.i32();
    const qreal y = r.i32();
    return QPointF(x, y);
}

std::optional<QTransform> EmfPlayer::xform(ByteReader& r)
{
    const float m11 = r.f32(), m12 = r.f32(), m21 = r.f32(), m22 = r.f32(), dx = r.f32(), dy = r.f32();
    for (float v : {m11, m12, m21, m22, dx, dy})
        if (!std::isfinite(v) || std::abs(v) > 1e9f)
            return std::nullopt;
    const QTransform t(m11, m12, m21, m22, dx, dy);
    if (!r.ok() || std::abs(t.determinant()) < 1e-12)
        return std::nullopt;
    return t;
}

std::optional<QPainterPath> EmfPlayer::regionData(ByteReader& r, uint32_t size)
{
    ByteReader d = r.sub(r.pos(), std::min<qsizetype>(size, r.remaining()));
    const uint32_t headerSize = d.u32();
    d.u32();
    const uint32_t count = d.u32();
    if (!d.ok() || headerSize < 32 || !d.seek(headerSize) || !d.has(qsizetype(count) * 16))
        return std::nullopt;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (uint32_t i = 0; i < count; ++i) {
        const qreal left = d.i32(), top = d.i32(), right = d.i32(), bottom = d.i32();
        if (right > left && bottom > top)
            path.addRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
    }
    return path;
}

// kind: 0 polyline, 1 polygon, 2 bezier, 3 bezier-to, 4 polyline-to
void EmfPlayer::poly(ByteReader& r, bool shortPoints, int kind)
{
    r.skip(16);
    const QPolygonF points = readPoints(r, r.u32(), shortPoints);
    switch (kind) {
    case 0: polyline(points); break;
    case 1: polygon(points); break;
    case 2: polyBezier(points, false); break;
    case 3: polyBezier(points, true); break;
    default: polylineTo(points); break;
    }
}

void EmfPlayer::polyPoly(ByteReader& r, bool shortPoints, bool closed)
{
    r.skip(16);
    const uint32_t polys = r.u32();
    const uint32_t total = r.u32();
    if (!r.has(qsizetype(polys) * 4 + qsizetype(total) * (shortPoints ? 4 : 8)))
        return;
    std::vector<uint32_t> counts(polys);
    uint64_t sum = 0;
    for (uint32_t& c : counts)
        sum += (c = r.u32());
    if (sum > total)
        return;
    std::vector<QPolygonF> all;
    all.reserve(polys);
    for (uint32_t c : counts)
        all.push_back(readPoints(r, c, shortPoints));
    if (closed) {
        polyPolygon(all);
    } else {
        QPainterPath path;
        for (const QPolygonF& p : all)
            path.addPolygon(p);
        drawShape(path, false, true);
    }
}

void EmfPlayer::polyDraw(ByteReader& r, bool shortPoints)
{
    r.skip(16);
    const uint32_t count = r.u32();
    const QPolygonF points = readPoints(r, count, shortPoints);
    const QByteArrayView types = r.bytes(points.size());
    if (r.ok())
        GdiPlayer::polyDraw(points, types);
}

void EmfPlayer::emrPolyBezier(ByteReader& r) { poly(r, false, 2); }
void EmfPlayer::emrPolygon(ByteReader& r) { poly(r, false, 1); }
void EmfPlayer::emrPolyline(ByteReader& r) { poly(r, false, 0); }
void EmfPlayer::emrPolyBezierTo(ByteReader& r) { poly(r, false, 3); }
void EmfPlayer::emrPolylineTo(ByteReader& r) { poly(r, false, 4); }
void EmfPlayer::emrPolyPolyline(ByteReader& r) { polyPoly(r, false, false); }
void EmfPlayer::emrPolyPolygon(ByteReader& r) { polyPoly(r, false, true); }
void EmfPlayer::emrPolyBezier16(ByteReader& r) { poly(r, true, 2); }
void EmfPlayer::emrPolygon16(ByteReader& r) { poly(r, true, 1); }
void EmfPlayer::emrPolyline16(ByteReader& r) { poly(r, true, 0); }
void EmfPlayer::emrPolyBezierTo16(ByteReader& r) { poly(r, true, 3); }
void EmfPlayer::emrPolylineTo16(ByteReader& r) { poly(r, true, 4); }
void EmfPlayer::emrPolyPolyline16(ByteReader& r) { polyPoly(r, true, false); }
void EmfPlayer::emrPolyPolygon16(ByteReader& r) { polyPoly(r, true, true); }
void EmfPlayer::emrPolyDraw(ByteReader& r) { polyDraw(r, false); }
void EmfPlayer::emrPolyDraw16(ByteReader& r) { polyDraw(r, true); }

void EmfPlayer::emrSetWindowExtEx(ByteReader& r)
{
    const qreal cx = r.i32(), cy = r.i32();
    if (cx != 0 && cy != 0)
        dc.s.windowExt = QSizeF(cx, cy);
}

void EmfPlayer::emrSetViewportExtEx(ByteReader& r)
{
    const qreal cx = r.i32(), cy = r.i32();
    if (cx != 0 && cy != 0)
        dc.s.viewportExt = QSizeF(cx, cy);
}

void EmfPlayer::emrSetWindowOrgEx(ByteReader& r) { dc.s.windowOrg = pointL(r); }
void EmfPlayer::emrSetViewportOrgEx(ByteReader& r) { dc.s.viewportOrg = pointL(r); }

void EmfPlayer::emrScaleViewportExtEx(ByteReader& r)
{
    const qreal xNum = r.i32(), xDenom = r.i32(), yNum = r.i32(), yDenom = r.i32();
    if (xNum != 0 && yNum != 0 && xDenom != 0 && yDenom != 0)
        dc.s.viewportExt = QSizeF(dc.s.viewportExt.width() * xNum / xDenom, dc.s.viewportExt.height() * yNum / yDenom);
}

void EmfPlayer::emrScaleWindowExtEx(ByteReader& r)
{
    const qreal xNum = r.i32(), xDenom = r.i32(), yNum = r.i32(), yDenom = r.i32();
    if (xNum != 0 && yNum != 0 && xDenom != 0 && yDenom != 0)
        dc.s.windowExt = QSizeF(dc.s.windowExt.width() * xNum / xDenom, dc.s.windowExt.height() * yNum / yDenom);
}

void EmfPlayer::emrSetPixelV(ByteReader& r)
{
    const QPointF at = pointL(r);
    fillRect(QRectF(at, QSizeF(1, 1)), colorRef(r));
}

void EmfPlayer::emrSetMapMode(ByteReader& r) { dc.s.mapMode = int(r.u32()); }
void EmfPlayer::emrSetBkMode(ByteReader& r) { dc.s.bkMode = int(r.u32()); }
void EmfPlayer::emrSetPolyFillMode(ByteReader& r) { dc.s.polyFillMode = int(r.u32()); }
void EmfPlayer::emrSetRop2(ByteReader& r) { dc.s.rop2 = int(r.u32()); }
void EmfPlayer::emrSetTextAlign(ByteReader& r) { dc.s.textAlign = int(r.u32()); }
void EmfPlayer::emrSetTextColor(ByteReader& r) { dc.s.textColor = colorRef(r); }
void EmfPlayer::emrSetBkColor(ByteReader& r) { dc.s.bkColor = colorRef(r); }
void EmfPlayer::emrMoveToEx(ByteReader& r) { moveTo(pointL(r)); }
void EmfPlayer::emrLineTo(ByteReader& r) { lineTo(pointL(r)); }
void EmfPlayer::emrExcludeClipRect(ByteReader& r) { excludeClipRect(rectL(r)); }
void EmfPlayer::emrIntersectClipRect(ByteReader& r) { intersectClipRect(rectL(r)); }

void EmfPlayer::emrExtSelectClipRgn(ByteReader& r)
{
    const uint32_t size = r.u32();
    const int mode = int(r.u32());
    if (mode < RGN_AND || mode > RGN_COPY)
        return;
    if (size < 32) {
        if (mode == RGN_COPY)
            dc.resetClip();
        return;
    }
    if (const auto region = regionData(r, size))
        selectClipRegion(*region, mode);
}

void EmfPlayer::emrSaveDc(ByteReader&) { dc.save(); }
void EmfPlayer::emrRestoreDc(ByteReader& r) { dc.restore(r.i32()); }

void EmfPlayer::emrSetWorldTransform(ByteReader& r)
{
    if (const auto t = xform(r))
        dc.s.world = *t;
}

void EmfPlayer::emrModifyWorldTransform(ByteReader& r)
{
    enum { MWT_IDENTITY = 1, MWT_LEFTMULTIPLY, MWT_RIGHTMULTIPLY, MWT_SET };
    const auto t = xform(r);
    const uint32_t mode = r.u32();
    if (mode == MWT_IDENTITY) {
        dc.s.world = QTransform();
        return;
    }
    if (!t)
        return;
    switch (mode) {
    case MWT_LEFTMULTIPLY: dc.s.world = *t * dc.s.world; break;
    case MWT_RIGHTMULTIPLY: dc.s.world = dc.s.world * *t; break;
    case MWT_SET: dc.s.world = *t; break;
    default: break;
    }
}

void EmfPlayer::emrAngleArc(ByteReader& r)
{
    const QPointF c = pointL(r);
    const qreal radius = r.u32();
    const float start = r.f32(), sweep = r.f32();
    angleArc(c, radius, start, sweep);
}

void EmfPlayer::emrEllipse(ByteReader& r) { ellipse(rectL(r)); }
void EmfPlayer::emrRectangle(ByteReader& r) { rectangle(rectL(r)); }

void EmfPlayer::emrRoundRect(ByteReader& r)
{
    const QRectF box = rectL(r);
    const qreal cx = r.i32(), cy = r.i32();
    roundRect(box, QSizeF(cx, cy));
}

void EmfPlayer::emrArc(ByteReader& r)
{
    const QRectF box = rectL(r);
    const QPointF start = pointL(r), end = pointL(r);
    arc(box, start, end, ArcOnly);
}

void EmfPlayer::emrChord(ByteReader& r)
{
    const QRectF box = rectL(r);
    const QPointF start = pointL(r), end = pointL(r);
    arc(box, start, end, ArcChord);
}

void EmfPlayer::emrPie(ByteReader& r)
{
    const QRectF box = rectL(r);
    const QPointF start = pointL(r), end = pointL(r);
    arc(box, start, end, ArcPie);
}

void EmfPlayer::emrArcTo(ByteReader& r)
{
    const QRectF box = rectL(r);
    const QPointF start = pointL(r), end = pointL(r);
    arc(box, start, end, ArcOnly, true);
}

void EmfPlayer::emrSetArcDirection(ByteReader& r) { dc.s.arcClockwise = r.u32() == 2; }
void EmfPlayer::emrBeginPath(ByteReader&) { beginPath(); }
void EmfPlayer::emrEndPath(ByteReader&) { endPath(); }
void EmfPlayer::emrCloseFigure(ByteReader&) { closeFigure(); }
void EmfPlayer::emrFillPath(ByteReader&) { fillPath(true, false); }
void EmfPlayer::emrStrokeAndFillPath(ByteReader&) { fillPath(true, true); }
void EmfPlayer::emrStrokePath(ByteReader&) { fillPath(false, true); }
void EmfPlayer::emrWidenPath(ByteReader&) { widenPath(); }
void EmfPlayer::emrSelectClipPath(ByteReader& r) { selectClipPath(int(r.u32())); }
void EmfPlayer::emrAbortPath(ByteReader&) { abortPath(); }

std::optional<BrushSpec> EmfPlayer::brushObject(uint32_t index) const
{
    const GdiObject o = (index & 0x80000000) ? stockObject(index) : dc.object(index) ? *dc.object(index) : GdiObject();
    return o.kind == GdiObject::Brush ? std::optional(o.brush) : std::nullopt;
}

void EmfPlayer::emrFillRgn(ByteReader& r)
{
    r.skip(16);
    const uint32_t size = r.u32();
    const auto brush = brushObject(r.u32());
    if (brush)
        if (const auto region = regionData(r, size))
            regionOp(*region, dc.deviceToTarget, RegionFill, toBrush(*brush));
}

void EmfPlayer::emrFrameRgn(ByteReader& r)
{
    r.skip(16);
    const uint32_t size = r.u32();
    const auto brush = brushObject(r.u32());
    const qreal width = r.i32(), height = r.i32();
    if (!brush)
        return;
    // The frame's size is logical; the region's units are the device's.
    const QTransform toDevice = dc.logicalToTarget() * dc.deviceToTarget.inverted();
    const QSizeF frame(width * std::hypot(toDevice.m11(), toDevice.m12()), height * std::hypot(toDevice.m21(), toDevice.m22()));
    if (const auto region = regionData(r, size))
        regionOp(*region, dc.deviceToTarget, RegionFrame, toBrush(*brush), frame);
}

void EmfPlayer::emrInvertRgn(ByteReader& r)
{
    r.skip(16);
    const uint32_t size = r.u32();
    if (const auto region = regionData(r, size))
        regionOp(*region, dc.deviceToTarget, RegionInvert);
}

void EmfPlayer::emrPaintRgn(ByteReader& r)
{
    r.skip(16);
    const uint32_t size = r.u32();
    if (const auto region = regionData(r, size))
        regionOp(*region, dc.deviceToTarget, RegionFill, toBrush(dc.s.brush));
}

void EmfPlayer::emrOffsetClipRgn(ByteReader& r) { offsetClip(pointL(r)); }

}  // namespace metafile
