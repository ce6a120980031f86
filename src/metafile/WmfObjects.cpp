// WMF handlers for graphics objects (pens, brushes, fonts, regions), region drawing and bitmaps.
#include "WmfPlayer.h"

#include "Dib.h"
#include "TextCodec.h"

namespace metafile {

void WmfPlayer::metaSelectObject(ByteReader& r)
{
    const GdiObject* object = dc.object(r.u16());
    if (!object)
        return;
    if (object->kind == GdiObject::Region) {
        dc.combineClip(dc.logicalToTarget().map(object->region), RGN_COPY, m_budget);
        return;
    }
    select(*object);
}

void WmfPlayer::metaDeleteObject(ByteReader& r) { dc.deleteObject(r.u16()); }

void WmfPlayer::metaSelectClipRegion(ByteReader& r)
{
    const GdiObject* object = dc.object(r.u16());
    if (!object || object->kind != GdiObject::Region || object->region.isEmpty())
        dc.resetClip();
    else
        dc.combineClip(dc.logicalToTarget().map(object->region), RGN_COPY, m_budget);
}

const QPainterPath* WmfPlayer::region(uint16_t index) const
{
    const GdiObject* o = dc.object(index);
    return o && o->kind == GdiObject::Region ? &o->region : nullptr;
}

void WmfPlayer::metaFillRegion(ByteReader& r)
{
    const QPainterPath* shape = region(r.u16());
    const GdiObject* brush = dc.object(r.u16());
    if (shape && brush && brush->kind == GdiObject::Brush)
        regionOp(*shape, dc.logicalToTarget(), RegionFill, toBrush(brush->brush));
}

void WmfPlayer::metaPaintRegion(ByteReader& r)
{
    if (const QPainterPath* shape = region(r.u16()))
        regionOp(*shape, dc.logicalToTarget(), RegionFill, toBrush(dc.s.brush));
}

void WmfPlayer::metaFrameRegion(ByteReader& r)
{
    const QPainterPath* shape = region(r.u16());
    const GdiObject* brush = dc.object(r.u16());
    const qreal height = r.i16(), width = r.i16();
    if (shape && brush && brush->kind == GdiObject::Brush)
        regionOp(*shape, dc.logicalToTarget(), RegionFrame, toBrush(brush->brush), QSizeF(width, height));
}

void WmfPlayer::metaInvertRegion(ByteReader& r)
{
    if (const QPainterPath* shape = region(r.u16()))
        regionOp(*shape, dc.logicalToTarget(), RegionInvert);
}

void WmfPlayer::metaOffsetClipRgn(ByteReader& r) { offsetClip(point(r)); }

void WmfPlayer::metaCreatePenIndirect(ByteReader& r)
{
    GdiObject o;
    o.kind = GdiObject::Pen;
    const uint16_t style = r.u16();
    const int width = r.i16();
    r.i16();
    o.pen.color = colorRef(r);
    o.pen.style = style & 0x0F;
    o.pen.endCap = (style >> 8) & 0x0F;
    o.pen.join = (style >> 12) & 0x0F;
    o.pen.width = std::abs(width);
    o.pen.cosmetic = width == 0;
    addObject(o);
}

void WmfPlayer::metaCreateBrushIndirect(ByteReader& r)
{
    GdiObject o;
    o.kind = GdiObject::Brush;
    o.brush.style = r.u16();
    o.brush.color = colorRef(r);
    o.brush.hatch = r.u16();
    addObject(o);
}

void WmfPlayer::metaCreateFontIndirect(ByteReader& r)
{
    GdiObject o;
    o.kind = GdiObject::Font;
    FontSpec& f = o.font;
    f.height = r.i16();
    f.width = r.i16();
    f.escapement = r.i16();
    r.i16();
    f.weight = r.i16();
    f.italic = r.u8();
    f.underline = r.u8();
    f.strikeOut = r.u8();
    f.charset = r.u8();
    r.skip(3);
    f.pitchAndFamily = r.u8();
    QByteArrayView face = r.view(r.pos(), std::min<qsizetype>(32, r.remaining()));
    if (const qsizetype nul = face.indexOf('\0'); nul >= 0)
        face = face.first(nul);
    f.face = decodeCharset(face, f.charset == SYMBOL_CHARSET ? ANSI_CHARSET : f.charset, false);
    addObject(o);
}

QImage WmfPlayer::bitmap16(ByteReader& r, qsizetype skipBeforeBits, QRgb zero, QRgb one, int* bitsPixel)
{
    r.i16();  // type
    const int width = r.i16(), height = r.i16(), widthBytes = r.i16();
    r.u8();   // planes
    const int depth = r.u8();
    if (bitsPixel)
        *bitsPixel = depth;
    if (!r.skip(skipBeforeBits))
        return {};
    const QByteArrayView bits = r.view(r.pos(), qsizetype(std::max(widthBytes, 0)) * std::max(height, 0));
    return charged(decodeBitmap16(width, height, widthBytes, depth, bits, zero, one));
}

void WmfPlayer::metaDibCreatePatternBrush(ByteReader& r)
{
    GdiObject o;
    o.kind = GdiObject::Brush;
    o.brush.style = BS_DIBPATTERNPT;
    const uint16_t style = r.u16();
    const uint16_t usage = r.u16();
    if (style == BS_PATTERN) {
        // An old device bitmap; one-bit patterns take the text and background colours.
        int depth = 0;
        o.brush.pattern = bitmap16(r, 0, qRgb(0, 0, 0), qRgb(255, 255, 255), &depth);
        o.brush.monochrome = depth == 1;
    } else {
        o.brush.pattern = charged(decodePackedDib(r.view(r.pos(), r.remaining()), {false, usage == 1}));
    }
    o.brush.color = Qt::gray;
    addObject(o);
}

void WmfPlayer::metaCreatePatternBrush(ByteReader& r)
{
    // A partial device bitmap header, reserved bytes and the pattern's rows.
    GdiObject o;
    o.kind = GdiObject::Brush;
    o.brush.style = BS_PATTERN;
    o.brush.color = Qt::gray;
    int depth = 0;
    o.brush.pattern = bitmap16(r, 4 + 18, qRgb(0, 0, 0), qRgb(255, 255, 255), &depth);
    o.brush.monochrome = depth == 1;
    addObject(o);
}

void WmfPlayer::metaCreatePalette(ByteReader&)
{
    GdiObject o;
    o.kind = GdiObject::Palette;
    addObject(o);
}

void WmfPlayer::metaCreateRegion(ByteReader& r)
{
    GdiObject o;
    o.kind = GdiObject::Region;
    r.skip(10);
    const int scanCount = r.i16();
    r.i16();
    const QRectF bounds = [&] {
        const qreal left = r.i16(), top = r.i16(), right = r.i16(), bottom = r.i16();
        return normalizedBox(left, top, right, bottom);
    }();
    // Each scan: count, top, bottom, count / 2 pairs of left and right, count again.
    for (int i = 0; i < scanCount && r.remaining() >= 6; ++i) {
        const int count = r.u16();
        const qreal top = r.i16(), bottom = r.i16();
        if (!r.has(qsizetype(count) * 2 + 2))
            break;
        if (o.region.elementCount() + count * 3 > kMaxPoints) {
            m_budget.leaveOut();
            break;
        }
        for (int j = 0; j + 1 < count; j += 2) {
            const qreal left = r.i16(), right = r.i16();
            o.region.addRect(normalizedBox(left, top, right, bottom));
        }
        if (count & 1)
            r.i16();
        r.u16();
    }
    if (scanCount == 0 && !bounds.isEmpty())
        o.region.addRect(bounds);
    o.region.setFillRule(Qt::WindingFill);
    addObject(o);
}

// BITBLT and STRETCHBLT (device bitmap) and their DIB forms; without a bitmap the record is
// one word longer before the destination and draws with the brush alone.
void WmfPlayer::blitRecord(ByteReader& r, bool stretch, bool dib)
{
    const bool withBitmap = m_recordWords != (m_function >> 8) + 3;
    const uint32_t rop = r.u32();
    QSizeF srcSize;
    if (stretch) {
        const qreal h = r.i16(), w = r.i16();
        srcSize = QSizeF(w, h);
    }
    const QPointF src = point(r);
    if (!withBitmap)
        r.i16();
    const qreal height = r.i16(), width = r.i16();
    const QPointF at = point(r);
    if (!stretch)
        srcSize = QSizeF(width, height);
    QImage image;
    if (withBitmap)
        image = dib ? charged(decodePackedDib(r.view(r.pos(), r.remaining()))) : bitmap16(r, 0, dc.s.textColor.rgb(), dc.s.bkColor.rgb());
    blit(QRectF(at, QSizeF(width, height)), image, QRectF(src, srcSize), rop);
}

void WmfPlayer::metaBitBlt(ByteReader& r) { blitRecord(r, false, false); }
void WmfPlayer::metaStretchBlt(ByteReader& r) { blitRecord(r, true, false); }
void WmfPlayer::metaDibBitBlt(ByteReader& r) { blitRecord(r, false, true); }
void WmfPlayer::metaDibStretchBlt(ByteReader& r) { blitRecord(r, true, true); }

void WmfPlayer::metaStretchDib(ByteReader& r)
{
    const uint32_t rop = r.u32();
    const uint16_t usage = r.u16();
    const qreal srcHeight = r.i16(), srcWidth = r.i16();
    const QPointF src = point(r);
    const qreal height = r.i16(), width = r.i16();
    const QPointF at = point(r);
    const QImage image = charged(decodePackedDib(r.view(r.pos(), r.remaining()), {false, usage == 1}));
    // DIB source rectangles count rows from the bottom of the picture.
    const QRectF source(src.x(), image.height() - src.y() - srcHeight, srcWidth, srcHeight);
    blit(QRectF(at, QSizeF(width, height)), image, source, rop);
}

void WmfPlayer::metaSetDibToDev(ByteReader& r)
{
    const uint16_t usage = r.u16();
    r.u16();
    r.u16();
    const QPointF src = point(r);
    const qreal height = r.i16(), width = r.i16();
    const QPointF at = point(r);
    const QImage image = charged(decodePackedDib(r.view(r.pos(), r.remaining()), {false, usage == 1}));
    const QRectF source(src.x(), image.height() - src.y() - height, width, height);
    blit(QRectF(at, QSizeF(width, height)), image, source, SRCCOPY);
}

}  // namespace metafile
