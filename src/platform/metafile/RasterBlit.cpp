// Raster operations of blits: source, pattern and destination combined per pixel.
#include "RasterBlit.h"

#include <QPaintDevice>
#include <algorithm>
#include <cmath>
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

// The result where nothing is drawn yet. A metafile is made for a white page, so an operation
// that shows its source on white (an AND of source and destination) copies it there. The others
// find black, the picture's background, except where they would leave any colour as it was:
// that stays untouched.
QRgb onNothing(uint8_t code, const RopMasks& rop, uint32_t p, uint32_t s)
{
    if ((code & 0xAA) == 0x88)
        return 0xFF000000 | rop(p, s, 0xFFFFFF);
    const uint32_t onBlack = rop(p, s, 0), onWhite = rop(p, s, 0xFFFFFF);
    return (onBlack == 0 && onWhite == 0xFFFFFF) ? 0 : 0xFF000000 | onBlack;
}

QImage argb(const QImage& image)
{
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32);
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
    const bool flipX = a.x() > b.x(), flipY = a.y() > b.y();
    QRect area = QRect(QPoint(qRound(device.left()), qRound(device.top())), QPoint(qRound(device.right()) - 1, qRound(device.bottom()) - 1));
    area &= QRect(0, 0, painter.device()->width(), painter.device()->height());
    if (painter.hasClipping())
        area &= painter.clipBoundingRect().toAlignedRect();
    if (area.isEmpty() || qint64(area.width()) * area.height() > kMaxPixels)
        return;

    const QImage src = argb(image), mask = argb(rop.mask), pattern = argb(rop.pattern);
    const bool useSource = ropUsesSource(rop.code) || ropUsesSource(rop.maskedCode);
    if (useSource && (src.isNull() || source.width() <= 0 || source.height() <= 0))
        return;
    const QImage* back = nullptr;
    if (painter.device()->devType() == QInternal::Image) {
        back = static_cast<const QImage*>(painter.device());
        if (back->devicePixelRatio() != 1 || (back->depth() != 32))
            back = nullptr;
    }

    // The source pixel of each device column and row, nearest to its centre.
    auto sourceIndex = [](int device, qreal start, qreal extent, bool flip, qreal from, qreal size, int count) {
        qreal t = (device + 0.5 - start) / extent;
        if (flip)
            t = 1 - t;
        return std::clamp(int(std::floor(from + t * size)), 0, std::max(count - 1, 0));
    };
    std::vector<int> columns(size_t(area.width()));
    for (int x = 0; x < area.width(); ++x)
        columns[size_t(x)] = sourceIndex(area.left() + x, device.left(), device.width(), flipX, source.left(), source.width(), src.width());
    const RopMasks ops[2] = {RopMasks(rop.code), RopMasks(rop.maskedCode)};
    const uint8_t codes[2] = {rop.code, rop.maskedCode};

    // Row by row: gather the source, pattern, mask and destination pixels, combine them in one
    // pass, then settle the pixels where nothing was drawn yet.
    const int width = area.width();
    std::vector<uint32_t> sRow(size_t(width), 0), pRow(size_t(width), 0), dRow(size_t(width), 0);
    std::vector<uint8_t> masked(size_t(width), 0);
    QImage out(area.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < area.height(); ++y) {
        const int dy = area.top() + y;
        const int sy = sourceIndex(dy, device.top(), device.height(), flipY, source.top(), source.height(), src.height());
        if (!src.isNull()) {
            const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
            for (int x = 0; x < width; ++x)
                sRow[size_t(x)] = line[columns[size_t(x)]];
        }
        if (!pattern.isNull()) {
            const auto* line = reinterpret_cast<const QRgb*>(pattern.constScanLine(dy % pattern.height()));
            for (int x = 0, px = area.left() % pattern.width(); x < width; ++x, px = px + 1 == pattern.width() ? 0 : px + 1)
                pRow[size_t(x)] = line[px];
        }
        const bool anyMask = !mask.isNull() && sy < mask.height();
        if (anyMask) {
            const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(sy));
            for (int x = 0; x < width; ++x) {
                const int sx = columns[size_t(x)];
                masked[size_t(x)] = sx < mask.width() && qGray(line[sx]) < 128;
            }
        }
        if (back)
            std::copy_n(reinterpret_cast<const QRgb*>(back->constScanLine(dy)) + area.left(), width, dRow.begin());
        auto* outLine = reinterpret_cast<QRgb*>(out.scanLine(y));
        // An operation that finds the white page where nothing is drawn needs no second look.
        const bool onPage = !anyMask && (codes[0] & 0xAA) == 0x88;
        if (onPage)
            for (uint32_t& d : dRow)
                d = qAlpha(d) == 0 ? 0xFFFFFFFF : d;
        const RopMasks& op = ops[0];
        for (int x = 0; x < width; ++x)
            outLine[x] = 0xFF000000 | op(pRow[size_t(x)], sRow[size_t(x)], dRow[size_t(x)]);
        for (int x = 0; x < width && !onPage; ++x) {
            const int which = anyMask ? masked[size_t(x)] : 0;
            if (qAlpha(dRow[size_t(x)]) == 0)
                outLine[x] = onNothing(codes[which], ops[which], pRow[size_t(x)], sRow[size_t(x)]);
            else if (which)
                outLine[x] = 0xFF000000 | ops[1](pRow[size_t(x)], sRow[size_t(x)], dRow[size_t(x)]);
        }
    }
    painter.save();
    painter.setTransform(QTransform());
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(area.topLeft(), out);
    painter.restore();
}

}  // namespace metafile
