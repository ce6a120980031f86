// EMF handlers for graphics objects (pens, brushes, fonts) and text.
#include "EmfPlayer.h"

#include "TextCodec.h"

namespace metafile {

namespace {

constexpr uint32_t kStockBit = 0x80000000;
enum { PS_GEOMETRIC = 0x10000, ETO_NO_RECT = 0x100, ETO_SMALL_CHARS = 0x200, ETO_PDY = 0x2000 };

// UTF-16 code units as the records store them, little-endian.
QString utf16(QByteArrayView bytes)
{
    QString s(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        s[i] = QChar(char16_t(uchar(bytes[2 * i]) | (uchar(bytes[2 * i + 1]) << 8)));
    return s;
}

void penStyle(PenSpec& pen, uint32_t style)
{
    pen.style = int(style & 0x0F);
    pen.endCap = int((style >> 8) & 0x0F);
    pen.join = int((style >> 12) & 0x0F);
}

}  // namespace

void EmfPlayer::emrSelectObject(ByteReader& r)
{
    const uint32_t index = r.u32();
    if (index & kStockBit) {
        select(stockObject(index));
        return;
    }
    if (const GdiObject* object = dc.object(index))
        select(*object);
}

void EmfPlayer::emrDeleteObject(ByteReader& r) { dc.deleteObject(r.u32()); }

void EmfPlayer::emrCreatePen(ByteReader& r)
{
    const uint32_t index = r.u32();
    GdiObject o;
    o.kind = GdiObject::Pen;
    penStyle(o.pen, r.u32());
    const int width = r.i32();
    r.i32();
    o.pen.color = colorRef(r);
    o.pen.width = std::abs(width);
    o.pen.cosmetic = width == 0;
    dc.setObject(index, o);
}

void EmfPlayer::emrExtCreatePen(ByteReader& r)
{
    const uint32_t index = r.u32();
    const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    GdiObject o;
    o.kind = GdiObject::Pen;
    const uint32_t style = r.u32();
    penStyle(o.pen, style);
    const uint32_t width = r.u32();
    const uint32_t brushStyle = r.u32();
    const qsizetype colorAt = r.pos();
    o.pen.color = colorRef(r);
    const int hatch = int(r.u32());
    const uint32_t entries = r.u32();
    o.pen.cosmetic = !(style & PS_GEOMETRIC) || width == 0;
    o.pen.width = o.pen.cosmetic ? 0 : std::min<uint32_t>(width, 1u << 24);
    if (brushStyle == BS_NULL)
        o.pen.style = PS_NULL;
    // Wide pens may paint with a hatch or a bitmap, like a brush.
    if (brushStyle == BS_HATCHED || brushStyle == BS_DIBPATTERN || brushStyle == BS_DIBPATTERNPT) {
        BrushSpec brush;
        brush.style = int(brushStyle);
        brush.color = o.pen.color;
        brush.hatch = hatch;
        if (brushStyle != BS_HATCHED) {
            ByteReader usage = r.sub(colorAt, 4);
            brush.pattern = bitmap(r, offBmi, cbBmi, offBits, cbBits, usage.u32());
        }
        o.pen.brush = brush;
    }
    if (o.pen.style == PS_USERSTYLE && entries <= 16 && r.has(qsizetype(entries) * 4)) {
        const qreal unit = o.pen.width > 0 ? o.pen.width : 1;
        for (uint32_t i = 0; i < entries; ++i)
            o.pen.dashes.push_back(std::max<qreal>(r.u32() / unit, 0.1));
    }
    dc.setObject(index, kept(std::move(o)));
}

void EmfPlayer::emrCreateBrushIndirect(ByteReader& r)
{
    const uint32_t index = r.u32();
    GdiObject o;
    o.kind = GdiObject::Brush;
    o.brush.style = int(r.u32());
    o.brush.color = colorRef(r);
    o.brush.hatch = int(r.u32());
    dc.setObject(index, o);
}

void EmfPlayer::emrCreateDibPatternBrushPt(ByteReader& r)
{
    const uint32_t index = r.u32();
    const uint32_t usage = r.u32();
    const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    GdiObject o;
    o.kind = GdiObject::Brush;
    o.brush.style = BS_DIBPATTERNPT;
    o.brush.color = Qt::gray;
    o.brush.pattern = bitmap(r, offBmi, cbBmi, offBits, cbBits, usage);
    dc.setObject(index, kept(std::move(o)));
}

void EmfPlayer::emrCreateMonoBrush(ByteReader& r)
{
    const uint32_t index = r.u32();
    const uint32_t usage = r.u32();
    const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    GdiObject o;
    o.kind = GdiObject::Brush;
    o.brush.style = BS_PATTERN;
    o.brush.color = dc.s.textColor;
    o.brush.pattern = bitmap(r, offBmi, cbBmi, offBits, cbBits, usage);
    o.brush.monochrome = true;
    dc.setObject(index, kept(std::move(o)));
}

void EmfPlayer::emrCreatePalette(ByteReader& r)
{
    GdiObject o;
    o.kind = GdiObject::Palette;
    dc.setObject(r.u32(), o);
}

void EmfPlayer::emrExtCreateFontIndirectW(ByteReader& r)
{
    const uint32_t index = r.u32();
    GdiObject o;
    o.kind = GdiObject::Font;
    FontSpec& f = o.font;
    f.height = r.i32();
    f.width = r.i32();
    f.escapement = r.i32() % 3600;
    r.i32();
    f.weight = r.i32();
    f.italic = r.u8();
    f.underline = r.u8();
    f.strikeOut = r.u8();
    f.charset = r.u8();
    r.skip(3);
    f.pitchAndFamily = r.u8();
    QString face;
    for (int i = 0; i < 32 && r.has(2); ++i) {
        const char16_t c = r.u16();
        if (c == 0)
            break;
        face.append(QChar(c));
    }
    f.face = face;
    if (!r.ok() && face.isEmpty() && f.height == 0)
        return;
    dc.setObject(index, o);
}

void EmfPlayer::emrExtTextOutA(ByteReader& r) { extTextOut(r, false); }
void EmfPlayer::emrExtTextOutW(ByteReader& r) { extTextOut(r, true); }

void EmfPlayer::extTextOut(ByteReader& r, bool wide)
{
    const int boundsLeft = r.i32();
    r.skip(4);
    const int boundsRight = r.i32();
    r.skip(4 + 12);
    const QPointF reference = pointL(r);
    const uint32_t chars = r.u32();
    const uint32_t offString = r.u32();
    const uint32_t options = r.u32();
    const QRectF rect = rectL(r);
    const uint32_t offDx = r.u32();
    if (!r.ok() || chars > 1'000'000)
        return;
    const QByteArrayView bytes = r.view(offString, qsizetype(chars) * (wide ? 2 : 1));
    if (bytes.size() != qsizetype(chars) * (wide ? 2 : 1))
        return;
    const QString string = wide ? utf16(bytes) : decodeCharset(bytes, dc.s.font.charset, isSymbolFace(dc.s.font.face));
    std::vector<qreal> advances;
    const int stride = (options & ETO_PDY) ? 8 : 4;
    if (offDx != 0) {
        ByteReader dx = r.sub(offDx, qsizetype(chars) * stride);
        if (dx.size() == qsizetype(chars) * stride) {
            advances.reserve(chars);
            for (uint32_t i = 0; i < chars; ++i) {
                advances.push_back(dx.i32());
                if (stride == 8)
                    dx.i32();
            }
        }
    }
    if (string.size() != qsizetype(chars))
        advances.clear();
    // Writers use an empty opaque text run to paint a whole page white; its own bounds then
    // say it draws nothing, and a picture viewer shows the picture without that page.
    if (chars == 0 && boundsRight < boundsLeft)
        return;
    text(reference, string, std::move(advances), options, &rect);
}

// Text without advances: 8-bit characters (taken as they are, the low half of UTF-16) or
// UTF-16, with a clipping rectangle unless the options say there is none.
void EmfPlayer::emrSmallTextOut(ByteReader& r)
{
    const QPointF at = pointL(r);
    const uint32_t chars = r.u32();
    const uint32_t options = r.u32();
    r.skip(12);
    QRectF rect;
    if (!(options & ETO_NO_RECT))
        rect = rectL(r);
    const bool small = options & ETO_SMALL_CHARS;
    if (!r.ok() || chars > 1'000'000)
        return;
    const QByteArrayView bytes = r.bytes(qsizetype(chars) * (small ? 1 : 2));
    if (!r.ok())
        return;
    const QString string = small ? QString::fromLatin1(bytes) : utf16(bytes);
    text(at, string, {}, options & ~uint32_t(ETO_NO_RECT | ETO_SMALL_CHARS), rect.isNull() ? nullptr : &rect);
}

}  // namespace metafile
