// Raster operations of blits: source, pattern and destination combined per pixel.
#include "RasterBlit.h"

#include "PixelLoop.h"

#include <QPaintDevice>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace metafile {

namespace {

// A raster operation as masks: bit k of the code set or clear for every bit of a colour, so that
// the operation is a few word operations per pixel.
struct RopMasks {
    uint32_t m[8];
    explicit RopMasks(uint8_t code)
    {
        for (int k = 0; k < 8; ++k)
            m[k] = (code >> k) & 1 ? ~0u : 0u;
    }
    uint32_t operator()(uint32_t p, uint32_t s, uint32_t d) const
    {
        const uint32_t ps = p & s, pn = p & ~s, np = ~p & s, nn = ~(p | s);
        const uint32_t onSet = (ps & m[7]) | (pn & m[5]) | (np & m[3]) | (nn & m[1]);
        const uint32_t onClear = (ps & m[6]) | (pn & m[4]) | (np & m[2]) | (nn & m[0]);
        return ((d & onSet) | (~d & onClear)) & 0xFFFFFF;
    }
};

constexpr qint64 kMaxPixels = qint64(1) << 26;

// One row of results. Where nothing is drawn yet (a transparent destination) the result differs:
// a metafile is made for a white page, so an operation that shows its source on white (an AND
// of source and destination) copies it there. The others find black, the picture's background,
// except where they would leave any colour as it was: that stays untouched, a transparent result.
// Written without branches so that the compiler works on several pixels at once.
template <typename Rop>
PIXEL_LOOP void combineRowBy(uint8_t code, const Rop& rop, const uint32_t* p, const uint32_t* s, const uint32_t* d, uint32_t* out, int width)
{
    if ((code & 0xAA) == 0x88) {
        for (int x = 0; x < width; ++x) {
            const uint32_t dx = (d[x] >> 24) == 0 ? 0xFFFFFF : d[x];
            out[x] = 0xFF000000 | (rop(p[x], s[x], dx) & 0xFFFFFF);
        }
        return;
    }
    for (int x = 0; x < width; ++x) {
        const uint32_t onBlack = rop(p[x], s[x], 0) & 0xFFFFFF, onWhite = rop(p[x], s[x], 0xFFFFFF) & 0xFFFFFF;
        const uint32_t onNothing = (onBlack == 0 && onWhite == 0xFFFFFF) ? 0 : 0xFF000000 | onBlack;
        out[x] = (d[x] >> 24) == 0 ? onNothing : 0xFF000000 | (rop(p[x], s[x], d[x]) & 0xFFFFFF);
    }
}

// The operations blits use most often get a loop of their own, a few instructions a pixel.
void combineRow(uint8_t code, const RopMasks& masks, const uint32_t* p, const uint32_t* s, const uint32_t* d, uint32_t* out, int width)
{
    switch (code) {
    case 0x88: return combineRowBy(code, [](uint32_t, uint32_t src, uint32_t dst) { return src & dst; }, p, s, d, out, width);
    case 0xEE: return combineRowBy(code, [](uint32_t, uint32_t src, uint32_t dst) { return src | dst; }, p, s, d, out, width);
    case 0x66: return combineRowBy(code, [](uint32_t, uint32_t src, uint32_t dst) { return src ^ dst; }, p, s, d, out, width);
    case 0x44: return combineRowBy(code, [](uint32_t, uint32_t src, uint32_t dst) { return src & ~dst; }, p, s, d, out, width);
    case 0xCC: return combineRowBy(code, [](uint32_t, uint32_t src, uint32_t) { return src; }, p, s, d, out, width);
    case 0x33: return combineRowBy(code, [](uint32_t, uint32_t src, uint32_t) { return ~src; }, p, s, d, out, width);
    case 0xF0: return combineRowBy(code, [](uint32_t pat, uint32_t, uint32_t) { return pat; }, p, s, d, out, width);
    case 0x5A: return combineRowBy(code, [](uint32_t pat, uint32_t, uint32_t dst) { return pat ^ dst; }, p, s, d, out, width);
    case 0x55: return combineRowBy(code, [](uint32_t, uint32_t, uint32_t dst) { return ~dst; }, p, s, d, out, width);
    default: {
        const RopMasks local = masks;  // a copy the compiler knows no result can overwrite
        return combineRowBy(code, local, p, s, d, out, width);
    }
    }
}

// The pixels a clip path covers when it is a rectangle on whole pixels, as rectangle clips are:
// four distinct corners joined by upright edges, and perhaps the first corner again.
std::optional<QRect> pixelRect(const QPainterPath& path)
{
    const QRectF bounds = path.boundingRect();
    const int n = path.elementCount();
    if (n < 4 || n > 5 || !QRectF(-1e9, -1e9, 2e9, 2e9).contains(bounds))
        return std::nullopt;
    const QRect whole = bounds.toRect();
    if (QRectF(whole) != bounds || whole.isEmpty())
        return std::nullopt;
    if (n == 5 && QPointF(path.elementAt(4)) != QPointF(path.elementAt(0)))
        return std::nullopt;
    for (int i = 0; i < 4; ++i) {
        const QPainterPath::Element e = path.elementAt(i), next = path.elementAt((i + 1) % 4), opposite = path.elementAt((i + 2) % 4);
        const bool corner = (e.x == bounds.left() || e.x == bounds.right()) && (e.y == bounds.top() || e.y == bounds.bottom());
        if (e.isCurveTo() || !corner || (e.x != next.x && e.y != next.y) || e.x == opposite.x || e.y == opposite.y)
            return std::nullopt;
    }
    return whole;
}

QImage argb(const QImage& image)
{
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32);
}

// A blit as it is worked out row by row.
struct BlitRows {
    QRect area;                     // device pixels to work out
    QRectF device;                  // where the whole source lands
    QRectF source;
    bool flipX, flipY;
    const QImage &src, &mask, &pattern;
    const RasterOp& rop;
    QImage* back;                   // what is drawn, to read back; nullptr: nothing
    bool direct;                    // the result goes into back rather than out
};

// Works out each row into back or out; returns whether every pixel of out is opaque.
PIXEL_LOOP bool combineRows(const BlitRows& b, QImage& out)
{
    const QRect& area = b.area;
    const QImage &src = b.src, &mask = b.mask, &pattern = b.pattern;
    const RasterOp& rop = b.rop;
    QImage* back = b.back;
    // The source pixel of each device column and row, nearest to its centre.
    auto sourceIndex = [](int device, qreal start, qreal extent, bool flip, qreal from, qreal size, int count) {
        qreal t = (device + 0.5 - start) / extent;
        if (flip)
            t = 1 - t;
        return std::clamp(int(std::floor(from + t * size)), 0, std::max(count - 1, 0));
    };
    // Plain pointers into the rows: a vector's operator is a function of its own, which the
    // fuzzers would count at every pixel.
    std::vector<int> columnStore(size_t(area.width()));
    int* columns = columnStore.data();
    for (int x = 0; x < area.width(); ++x)
        columns[x] = sourceIndex(area.left() + x, b.device.left(), b.device.width(), b.flipX, b.source.left(), b.source.width(), src.width());
    const RopMasks ops[2] = {RopMasks(rop.code), RopMasks(rop.maskedCode)};
    const uint8_t codes[2] = {rop.code, rop.maskedCode};

    // Row by row: the source row is gathered once for all device rows that show it, then combined
    // with the pattern and destination rows.
    const int width = area.width();
    std::vector<uint32_t> rowStore(size_t(width) * 5, 0);
    uint32_t *sRow = rowStore.data(), *pRow = sRow + width, *result = pRow + width, *other = result + width;
    const uint32_t* noDestination = other + width;
    std::vector<uint8_t> maskStore(size_t(width), 0);
    uint8_t* masked = maskStore.data();
    bool opaque = true;
    int gathered = -1;
    for (int y = 0; y < area.height(); ++y) {
        const int dy = area.top() + y;
        const int sy = sourceIndex(dy, b.device.top(), b.device.height(), b.flipY, b.source.top(), b.source.height(), src.height());
        const bool anyMask = !mask.isNull() && sy < mask.height();
        if (sy != gathered) {
            gathered = sy;
            if (!src.isNull()) {
                const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
                for (int x = 0; x < width; ++x)
                    sRow[x] = line[columns[x]];
            }
            if (anyMask) {
                const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(sy));
                for (int x = 0; x < width; ++x) {
                    const int sx = columns[x];
                    masked[x] = sx < mask.width() && qGray(line[sx]) < 128;
                }
            }
        }
        if (!pattern.isNull()) {
            const auto* line = reinterpret_cast<const QRgb*>(pattern.constScanLine(dy % pattern.height()));
            for (int x = 0, px = area.left() % pattern.width(); x < width; ++x, px = px + 1 == pattern.width() ? 0 : px + 1)
                pRow[x] = line[px];
        }
        const uint32_t* dLine = back ? reinterpret_cast<const QRgb*>(back->constScanLine(dy)) + area.left() : noDestination;
        combineRow(codes[0], ops[0], pRow, sRow, dLine, result, width);
        if (anyMask) {
            combineRow(codes[1], ops[1], pRow, sRow, dLine, other, width);
            for (int x = 0; x < width; ++x)
                result[x] = masked[x] ? other[x] : result[x];
        }
        if (b.direct) {
            // A transparent result leaves the pixel as it was; every other result is opaque.
            auto* line = reinterpret_cast<QRgb*>(back->scanLine(dy)) + area.left();
            for (int x = 0; x < width; ++x)
                line[x] = result[x] == 0 ? line[x] : result[x];
        } else {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < width; ++x) {
                line[x] = result[x];
                opaque = opaque && result[x] != 0;
            }
        }
    }
    return opaque;
}

}  // namespace

void rasterBlit(QPainter& painter, const QRectF& target, const QImage& image, const QRectF& source, const Paint& paint)
{
    const RasterOp& rop = paint.rop;
    const QTransform& t = paint.transform;
    // Only blits that stay upright on the device are worked out per pixel; a rotated one is rare
    // enough to be drawn as a copy.
    if (t.m12() != 0 || t.m21() != 0 || !t.isInvertible())
        return;
    const QPointF a = t.map(target.topLeft()), b = t.map(target.bottomRight());
    // Far beyond the device nothing is drawn; the bound keeps the pixel arithmetic in range.
    const QRectF device = QRectF(a, b).normalized() & QRectF(-1e7, -1e7, 2e7, 2e7);
    if (device.isEmpty())
        return;
    painter.save();
    painter.setTransform(QTransform());
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const bool flipX = a.x() > b.x(), flipY = a.y() > b.y();
    QRect area = QRect(QPoint(qRound(device.left()), qRound(device.top())), QPoint(qRound(device.right()) - 1, qRound(device.bottom()) - 1));
    area &= QRect(0, 0, painter.device()->width(), painter.device()->height());
    if (painter.hasClipping())
        area &= (painter.clipBoundingRect() & QRectF(area)).toAlignedRect();
    const QImage src = argb(image), mask = argb(rop.mask), pattern = argb(rop.pattern);
    const bool useSource = ropUsesSource(rop.code) || ropUsesSource(rop.maskedCode);
    if (area.isEmpty() || qint64(area.width()) * area.height() > kMaxPixels ||
        (useSource && (src.isNull() || source.width() <= 0 || source.height() <= 0))) {
        painter.restore();
        return;
    }
    // What is drawn is read back from an image; where that image is the painter's own and the
    // clip is the blit's rectangle, the result goes straight into it instead of through a
    // second image of the blit's size.
    QImage* back = nullptr;
    if (painter.device()->devType() == QInternal::Image) {
        back = static_cast<QImage*>(painter.device());
        if (back->devicePixelRatio() != 1 || back->depth() != 32)
            back = nullptr;
    }
    std::optional<QRect> clipRect;
    if (paint.clip)
        clipRect = pixelRect(*paint.clip);
    const bool direct = back && back->isDetached() && (!paint.clip || clipRect);
    if (direct && clipRect)
        area &= *clipRect;
    if (area.isEmpty()) {
        painter.restore();
        return;
    }

    QImage out;
    if (!direct)
        out = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
    const bool opaque = combineRows({area, device, source, flipX, flipY, src, mask, pattern, rop, back, direct}, out);
    if (!direct) {
        // Without a transparent pixel the result is copied rather than blended.
        if (opaque)
            out.reinterpretAsFormat(QImage::Format_RGB32);
        painter.drawImage(area.topLeft(), out);
    }
    painter.restore();
}

}  // namespace metafile
