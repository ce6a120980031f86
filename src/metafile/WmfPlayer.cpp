// WMF records: header reading, the record loop and the handlers for state, mapping, shapes
// and text. Objects, regions and bitmaps are in WmfObjects.cpp.
#include "WmfPlayer.h"

#include "Dib.h"
#include "EmfPlayer.h"
#include "RasterBlit.h"
#include "TextCodec.h"

#include <array>

namespace metafile {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint16_t META_EOF = 0x0000;
constexpr uint16_t META_SETWINDOWORG = 0x020B;
constexpr uint16_t META_SETWINDOWEXT = 0x020C;

// Calls f(function, params) for each record until META_EOF or the end of the data.
template <typename F>
void forEachRecord(QByteArrayView bytes, qsizetype start, F&& f)
{
    ByteReader r(bytes);
    r.seek(start);
    for (int count = 0; r.remaining() >= 6 && count < GdiPlayer::kMaxRecords; ++count) {
        const qsizetype at = r.pos();
        const qint64 size = qint64(r.u32()) * 2;
        const uint16_t function = r.u16();
        if (function == META_EOF || size < 6 || size > r.remaining() + 6)
            break;
        ByteReader params = r.sub(at + 6, qsizetype(size - 6));
        if (!f(function, params))
            break;
        r.seek(at + qsizetype(size));
    }
}

}  // namespace

std::optional<WmfHeader> readWmfHeader(QByteArrayView bytes)
{
    WmfHeader h;
    ByteReader r(bytes);
    if (r.u32() == kPlaceableKey) {
        h.placeable = true;
        r.u16();
        const int left = r.i16(), top = r.i16(), right = r.i16(), bottom = r.i16();
        h.box = QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                      QSize(std::abs(right - left), std::abs(bottom - top)));
        h.unitsPerInch = r.u16();
        r.skip(6);
        if (!r.ok() || h.box.isEmpty() || h.unitsPerInch == 0)
            return std::nullopt;
    } else {
        r.seek(0);
    }
    const qsizetype headerAt = r.pos();
    const uint16_t type = r.u16();
    const uint16_t headerWords = r.u16();
    const uint16_t version = r.u16();
    r.u32();
    h.objectCount = r.u16();
    r.u32();
    r.u16();
    if (!r.ok() || (type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        return std::nullopt;
    h.recordsStart = headerAt + 18;

    std::optional<QPointF> org;
    std::optional<QSizeF> ext;
    forEachRecord(bytes, h.recordsStart, [&](uint16_t function, ByteReader& p) {
        if (function == META_SETWINDOWORG && !org) {
            const qreal y = p.i16(), x = p.i16();
            org = QPointF(x, y);
        } else if (function == META_SETWINDOWEXT && !ext) {
            const qreal y = p.i16(), x = p.i16();
            if (x != 0 && y != 0)
                ext = QSizeF(x, y);
        }
        return !(org && ext);
    });
    if (ext)
        h.window = QRectF(org.value_or(QPointF(0, 0)), *ext);
    return h;
}

std::optional<QByteArray> WmfPlayer::embeddedEmf(QByteArrayView bytes, const WmfHeader& header)
{
    constexpr uint16_t META_ESCAPE = 0x0626, MFCOMMENT = 0x000F;
    constexpr uint32_t kWmfc = 0x43464D57;
    QByteArray emf;
    uint32_t chunks = 0, expectedChunks = 0, total = 0;
    bool broken = false;
    forEachRecord(bytes, header.recordsStart, [&](uint16_t function, ByteReader& p) {
        if (function != META_ESCAPE || p.u16() != MFCOMMENT)
            return true;
        p.u16();  // byte count
        if (p.u32() != kWmfc || p.u32() != 1)
            return true;
        p.skip(4 + 2 + 4);  // version, checksum, flags
        const uint32_t count = p.u32(), size = p.u32(), remaining = p.u32(), fullSize = p.u32();
        const QByteArrayView data = p.bytes(size);
        if (!p.ok() || fullSize > uint32_t(bytes.size()) || (chunks > 0 && (count != expectedChunks || fullSize != total)) ||
            uint64_t(emf.size()) + size + remaining != fullSize) {
            broken = true;
            return false;
        }
        expectedChunks = count;
        total = fullSize;
        emf.append(data.data(), data.size());
        ++chunks;
        return true;
    });
    if (broken || chunks == 0 || chunks != expectedChunks || uint32_t(emf.size()) != total || !readEmfHeader(emf))
        return std::nullopt;
    return emf;
}

bool WmfPlayer::readsDestination(QByteArrayView bytes, const WmfHeader& header)
{
    bool reads = false;
    forEachRecord(bytes, header.recordsStart, [&](uint16_t function, ByteReader& p) {
        switch (function) {
        case 0x061D: case 0x0922: case 0x0B23: case 0x0940: case 0x0B41: case 0x0F43:
            reads = ropUsesDestination(uint8_t(p.u32() >> 16));
            break;
        default: break;
        }
        return !reads;
    });
    return reads;
}

std::span<const WmfPlayer::Entry> WmfPlayer::records()
{
    static constexpr Entry table[] = {
        {0x0201, &WmfPlayer::metaSetBkColor, "META_SETBKCOLOR"},
        {0x0102, &WmfPlayer::metaSetBkMode, "META_SETBKMODE"},
        {0x0103, &WmfPlayer::metaSetMapMode, "META_SETMAPMODE"},
        {0x0104, &WmfPlayer::metaSetRop2, "META_SETROP2"},
        {0x0106, &WmfPlayer::metaSetPolyFillMode, "META_SETPOLYFILLMODE"},
        {0x0209, &WmfPlayer::metaSetTextColor, "META_SETTEXTCOLOR"},
        {0x020B, &WmfPlayer::metaSetWindowOrg, "META_SETWINDOWORG"},
        {0x020C, &WmfPlayer::metaSetWindowExt, "META_SETWINDOWEXT"},
        {0x020D, &WmfPlayer::metaSetViewportOrg, "META_SETVIEWPORTORG"},
        {0x020E, &WmfPlayer::metaSetViewportExt, "META_SETVIEWPORTEXT"},
        {0x020F, &WmfPlayer::metaOffsetWindowOrg, "META_OFFSETWINDOWORG"},
        {0x0410, &WmfPlayer::metaScaleWindowExt, "META_SCALEWINDOWEXT"},
        {0x0213, &WmfPlayer::metaLineTo, "META_LINETO"},
        {0x0214, &WmfPlayer::metaMoveTo, "META_MOVETO"},
        {0x0415, &WmfPlayer::metaExcludeClipRect, "META_EXCLUDECLIPRECT"},
        {0x0416, &WmfPlayer::metaIntersectClipRect, "META_INTERSECTCLIPRECT"},
        {0x0817, &WmfPlayer::metaArc, "META_ARC"},
        {0x0418, &WmfPlayer::metaEllipse, "META_ELLIPSE"},
        {0x081A, &WmfPlayer::metaPie, "META_PIE"},
        {0x041B, &WmfPlayer::metaRectangle, "META_RECTANGLE"},
        {0x061C, &WmfPlayer::metaRoundRect, "META_ROUNDRECT"},
        {0x061D, &WmfPlayer::metaPatBlt, "META_PATBLT"},
        {0x001E, &WmfPlayer::metaSaveDc, "META_SAVEDC"},
        {0x041F, &WmfPlayer::metaSetPixel, "META_SETPIXEL"},
        {0x0220, &WmfPlayer::metaOffsetClipRgn, "META_OFFSETCLIPRGN"},
        {0x0521, &WmfPlayer::metaTextOut, "META_TEXTOUT"},
        {0x0922, &WmfPlayer::metaBitBlt, "META_BITBLT"},
        {0x0B23, &WmfPlayer::metaStretchBlt, "META_STRETCHBLT"},
        {0x0324, &WmfPlayer::metaPolygon, "META_POLYGON"},
        {0x0325, &WmfPlayer::metaPolyline, "META_POLYLINE"},
        {0x0127, &WmfPlayer::metaRestoreDc, "META_RESTOREDC"},
        {0x0228, &WmfPlayer::metaFillRegion, "META_FILLREGION"},
        {0x0429, &WmfPlayer::metaFrameRegion, "META_FRAMEREGION"},
        {0x012A, &WmfPlayer::metaInvertRegion, "META_INVERTREGION"},
        {0x012B, &WmfPlayer::metaPaintRegion, "META_PAINTREGION"},
        {0x012C, &WmfPlayer::metaSelectClipRegion, "META_SELECTCLIPREGION"},
        {0x012D, &WmfPlayer::metaSelectObject, "META_SELECTOBJECT"},
        {0x012E, &WmfPlayer::metaSetTextAlign, "META_SETTEXTALIGN"},
        {0x0830, &WmfPlayer::metaChord, "META_CHORD"},
        {0x0A32, &WmfPlayer::metaExtTextOut, "META_EXTTEXTOUT"},
        {0x0D33, &WmfPlayer::metaSetDibToDev, "META_SETDIBTODEV"},
        {0x0538, &WmfPlayer::metaPolyPolygon, "META_POLYPOLYGON"},
        {0x0940, &WmfPlayer::metaDibBitBlt, "META_DIBBITBLT"},
        {0x0B41, &WmfPlayer::metaDibStretchBlt, "META_DIBSTRETCHBLT"},
        {0x0142, &WmfPlayer::metaDibCreatePatternBrush, "META_DIBCREATEPATTERNBRUSH"},
        {0x0F43, &WmfPlayer::metaStretchDib, "META_STRETCHDIB"},
        {0x01F0, &WmfPlayer::metaDeleteObject, "META_DELETEOBJECT"},
        {0x00F7, &WmfPlayer::metaCreatePalette, "META_CREATEPALETTE"},
        {0x01F9, &WmfPlayer::metaCreatePatternBrush, "META_CREATEPATTERNBRUSH"},
        {0x02FA, &WmfPlayer::metaCreatePenIndirect, "META_CREATEPENINDIRECT"},
        {0x02FB, &WmfPlayer::metaCreateFontIndirect, "META_CREATEFONTINDIRECT"},
        {0x02FC, &WmfPlayer::metaCreateBrushIndirect, "META_CREATEBRUSHINDIRECT"},
        {0x06FF, &WmfPlayer::metaCreateRegion, "META_CREATEREGION"},
    };
    return table;
}

WmfPlayer::WmfPlayer(Canvas& canvas, const QRectF& target, const WmfHeader& header, const QRectF& window)
    : GdiPlayer(canvas, target)
{
    dc.resizeObjects(header.objectCount);
    dc.wmfViewport = target;
    dc.s.windowOrg = window.topLeft();
    dc.s.windowExt = window.size();
    // One device pixel is one pixel of the picture at its natural size (96 per inch).
    const qreal naturalWidth = header.placeable ? header.box.width() * 96.0 / header.unitsPerInch : std::abs(window.width());
    m_devicePixel = naturalWidth > 0 ? target.width() / naturalWidth : 1;
}

void WmfPlayer::play(QByteArrayView bytes, const std::atomic<bool>* stop)
{
    // The record's low byte names it uniquely, so a 256-entry index finds its handler.
    static const std::array<const Entry*, 256> index = [] {
        std::array<const Entry*, 256> a{};
        for (const Entry& e : records())
            a[e.function & 0xFF] = &e;
        return a;
    }();
    const std::optional<WmfHeader> header = readWmfHeader(bytes);
    if (!header)
        return;
    forEachRecord(bytes, header->recordsStart, [&](uint16_t function, ByteReader& params) {
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
        const Entry* e = index[function & 0xFF];
        if (e && e->function == function && e->handler) {
            m_function = function;
            m_recordWords = params.size() / 2 + 3;
            (this->*(e->handler))(params);
        }
        return true;
    });
}

QPointF WmfPlayer::point(ByteReader& r)
{
    const qreal y = r.i16();
    const qreal x = r.i16();
    return QPointF(x, y);
}

QRectF WmfPlayer::box(ByteReader& r)
{
    const qreal bottom = r.i16(), right = r.i16(), top = r.i16(), left = r.i16();
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

QPolygonF WmfPlayer::points(ByteReader& r, int count)
{
    QPolygonF poly;
    if (count <= 0 || !r.has(qsizetype(count) * 4))
        return poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qreal x = r.i16();
        const qreal y = r.i16();
        poly.append(QPointF(x, y));
    }
    return poly;
}

void WmfPlayer::addObject(GdiObject object)
{
    dc.addObject(std::move(object));
}

void WmfPlayer::metaSetBkColor(ByteReader& r) { dc.s.bkColor = colorRef(r); }
void WmfPlayer::metaSetBkMode(ByteReader& r) { dc.s.bkMode = r.u16(); }
void WmfPlayer::metaSetMapMode(ByteReader& r) { dc.s.mapMode = r.u16(); }
void WmfPlayer::metaSetRop2(ByteReader& r) { dc.s.rop2 = r.u16(); }
void WmfPlayer::metaSetPolyFillMode(ByteReader& r) { dc.s.polyFillMode = r.u16(); }
void WmfPlayer::metaSetTextColor(ByteReader& r) { dc.s.textColor = colorRef(r); }
void WmfPlayer::metaSetTextAlign(ByteReader& r) { dc.s.textAlign = r.u16(); }
void WmfPlayer::metaSetWindowOrg(ByteReader& r) { dc.s.windowOrg = point(r); }
void WmfPlayer::metaSetViewportOrg(ByteReader& r) { dc.s.viewportOrg = point(r); }
void WmfPlayer::metaOffsetWindowOrg(ByteReader& r) { dc.s.windowOrg += point(r); }

void WmfPlayer::metaSetWindowExt(ByteReader& r)
{
    const QPointF e = point(r);
    if (e.x() != 0 && e.y() != 0)
        dc.s.windowExt = QSizeF(e.x(), e.y());
}

void WmfPlayer::metaSetViewportExt(ByteReader& r)
{
    const QPointF e = point(r);
    if (e.x() != 0 && e.y() != 0)
        dc.s.viewportExt = QSizeF(e.x(), e.y());
}

void WmfPlayer::metaScaleWindowExt(ByteReader& r)
{
    const int yDenom = r.i16(), yNum = r.i16(), xDenom = r.i16(), xNum = r.i16();
    if (xDenom == 0 || yDenom == 0 || xNum == 0 || yNum == 0)
        return;
    dc.s.windowExt = QSizeF(dc.s.windowExt.width() * xNum / xDenom, dc.s.windowExt.height() * yNum / yDenom);
}

void WmfPlayer::metaLineTo(ByteReader& r) { lineTo(point(r)); }
void WmfPlayer::metaMoveTo(ByteReader& r) { moveTo(point(r)); }
void WmfPlayer::metaExcludeClipRect(ByteReader& r) { excludeClipRect(box(r)); }
void WmfPlayer::metaIntersectClipRect(ByteReader& r) { intersectClipRect(box(r)); }

void WmfPlayer::metaArc(ByteReader& r)
{
    const QPointF end = point(r), start = point(r);
    arc(box(r), start, end, ArcOnly);
}

void WmfPlayer::metaPie(ByteReader& r)
{
    const QPointF end = point(r), start = point(r);
    arc(box(r), start, end, ArcPie);
}

void WmfPlayer::metaChord(ByteReader& r)
{
    const QPointF end = point(r), start = point(r);
    arc(box(r), start, end, ArcChord);
}

void WmfPlayer::metaEllipse(ByteReader& r) { ellipse(box(r)); }
void WmfPlayer::metaRectangle(ByteReader& r) { rectangle(box(r)); }

void WmfPlayer::metaRoundRect(ByteReader& r)
{
    const qreal height = r.i16(), width = r.i16();
    roundRect(box(r), QSizeF(width, height));
}

void WmfPlayer::metaPatBlt(ByteReader& r)
{
    const uint32_t rop = r.u32();
    const qreal height = r.i16(), width = r.i16();
    const QPointF at = point(r);
    blit(QRectF(at, QSizeF(width, height)), QImage(), QRectF(), rop);
}

void WmfPlayer::metaSaveDc(ByteReader&) { dc.save(); }
void WmfPlayer::metaRestoreDc(ByteReader& r) { dc.restore(r.i16()); }

void WmfPlayer::metaSetPixel(ByteReader& r)
{
    const QColor color = colorRef(r);
    const QPointF at = point(r);
    fillRect(QRectF(at, QSizeF(1, 1)), color);
}

void WmfPlayer::metaTextOut(ByteReader& r)
{
    const int length = r.u16();
    const QByteArrayView bytes = r.bytes(length + (length & 1));
    const QPointF at = point(r);
    if (!r.ok())
        return;
    text(at, decodeCharset(bytes.first(length), dc.s.font.charset, isSymbolFace(dc.s.font.face)), {}, 0, nullptr);
}

void WmfPlayer::metaExtTextOut(ByteReader& r)
{
    const QPointF at = point(r);
    const int length = r.i16();
    const uint16_t options = r.u16();
    QRectF rect;
    const bool hasRect = (options & 6) && r.remaining() >= 8 + length;
    if (hasRect) {
        const qreal left = r.i16(), top = r.i16(), right = r.i16(), bottom = r.i16();
        rect = normalizedBox(left, top, right, bottom);
    }
    if (length < 0)
        return;
    const QByteArrayView bytes = r.bytes(length);
    if (!r.ok())
        return;
    r.skip(length & 1);
    std::vector<qreal> advances;
    if (r.remaining() >= qsizetype(length) * 2) {
        advances.reserve(size_t(length));
        for (int i = 0; i < length; ++i)
            advances.push_back(r.i16());
    }
    const QString string = decodeCharset(bytes, dc.s.font.charset, isSymbolFace(dc.s.font.face));
    // Double-byte code pages give one advance per byte, not per character.
    if (string.size() != length)
        advances.clear();
    text(at, string, std::move(advances), options, hasRect ? &rect : nullptr);
}

void WmfPlayer::metaPolygon(ByteReader& r)
{
    const int count = r.u16();
    polygon(points(r, count));
}

void WmfPlayer::metaPolyline(ByteReader& r)
{
    const int count = r.u16();
    polyline(points(r, count));
}

void WmfPlayer::metaPolyPolygon(ByteReader& r)
{
    const int polygons = r.u16();
    if (!r.has(qsizetype(polygons) * 2))
        return;
    std::vector<int> counts;
    counts.reserve(size_t(polygons));
    for (int i = 0; i < polygons; ++i)
        counts.push_back(r.u16());
    std::vector<QPolygonF> all;
    for (int count : counts) {
        QPolygonF poly = points(r, count);
        if (poly.size() != count)
            return;
        all.push_back(std::move(poly));
    }
    polyPolygon(all);
}

}  // namespace metafile
