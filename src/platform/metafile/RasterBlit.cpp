// Raster operations of blits: source, pattern and destination combined per pixel.
#include "RasterBlit.h"

#include <QPaintDevice>
#include <cmath>

namespace metafile {

uint32_t applyRop(uint8_t code, uint32_t p, uint32_t s, uint32_t d)
{
    uint32_t r = 0;
    for (int k = 0; k < 8; ++k) {
        if (code & (1 << k))
            r |= ((k & 4) ? p : ~p) & ((k & 2) ? s : ~s) & ((k & 1) ? d : ~d);
    }
    return r & 0xFFFFFF;
}

namespace {

constexpr qint64 kMaxPixels = qint64(1) << 26;

// The result where nothing is drawn yet. A metafile is made for a white page, so an operation
// that shows its source on white (an AND of source and destination) copies it there. The others
// find black, the picture's background, except where they would leave any colour as it was:
// that stays untouched.
QRgb onNothing(uint8_t code, uint32_t p, uint32_t s)
{
    if ((code & 0xAA) == 0x88)
        return 0xFF000000 | applyRop(code, p, s, 0xFFFFFF);
    const uint32_t onBlack = applyRop(code, p, s, 0), onWhite = applyRop(code, p, s, 0xFFFFFF);
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
    const QRectF device = QRectF(a, b).normalized();
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

    QImage out(area.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < area.height(); ++y) {
        const int dy = area.top() + y;
        qreal v = (dy + 0.5 - device.top()) / device.height();
        if (flipY)
            v = 1 - v;
        const int sy = std::clamp(int(std::floor(source.top() + v * source.height())), 0, std::max(src.height() - 1, 0));
        const auto* srcLine = src.isNull() ? nullptr : reinterpret_cast<const QRgb*>(src.constScanLine(sy));
        const auto* maskLine = (!mask.isNull() && sy < mask.height()) ? reinterpret_cast<const QRgb*>(mask.constScanLine(sy)) : nullptr;
        const auto* patLine = pattern.isNull() ? nullptr : reinterpret_cast<const QRgb*>(pattern.constScanLine(dy % pattern.height()));
        const auto* backLine = back ? reinterpret_cast<const QRgb*>(back->constScanLine(dy)) : nullptr;
        auto* outLine = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < area.width(); ++x) {
            const int dx = area.left() + x;
            qreal u = (dx + 0.5 - device.left()) / device.width();
            if (flipX)
                u = 1 - u;
            const int sx = std::clamp(int(std::floor(source.left() + u * source.width())), 0, std::max(src.width() - 1, 0));
            const uint32_t s = srcLine ? srcLine[sx] & 0xFFFFFF : 0;
            const uint32_t p = patLine ? patLine[dx % pattern.width()] & 0xFFFFFF : 0;
            const bool masked = maskLine && sx < mask.width() && qGray(maskLine[sx]) < 128;
            const uint8_t code = masked ? rop.maskedCode : rop.code;
            const QRgb d = backLine ? backLine[dx] : 0;
            if (qAlpha(d) == 0) {
                outLine[x] = onNothing(code, p, s);
            } else {
                outLine[x] = 0xFF000000 | applyRop(code, p, s, d & 0xFFFFFF);
            }
        }
    }
    painter.save();
    painter.setTransform(QTransform());
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(area.topLeft(), out);
    painter.restore();
}

}  // namespace metafile
