// Bitmaps, gradients and regions of the metafile players.
#include "GdiPlayer.h"

#include "RasterBlit.h"

#include <QLinearGradient>
#include <cmath>

namespace metafile {

QImage GdiPlayer::charged(QImage image)
{
    m_budget.charge(qint64(image.width()) * image.height() / 2);
    return image;
}

QImage GdiPlayer::brushTile() const
{
    const QBrush brush = toBrush(dc.s.brush);
    if (brush.style() == Qt::TexturePattern)
        return brush.textureImage();
    QImage tile(brush.style() == Qt::SolidPattern || brush.style() == Qt::NoBrush ? QSize(1, 1) : QSize(8, 8), QImage::Format_RGB32);
    // The gaps of a hatched brush show the background colour.
    tile.fill(brush.style() == Qt::SolidPattern ? brush.color() : dc.s.bkColor);
    if (brush.style() != Qt::SolidPattern && brush.style() != Qt::NoBrush) {
        QPainter p(&tile);
        p.fillRect(tile.rect(), brush);
    }
    return tile;
}

void GdiPlayer::blit(const QRectF& dest, const QImage& source, const QRectF& sourceRect, uint32_t rop, const QImage& mask, uint8_t maskedCode)
{
    if (m_inPath)
        return;
    const uint8_t code = uint8_t(rop >> 16);
    if (mask.isNull()) {
        if (!ropUsesSource(code) && !ropUsesDestination(code)) {
            // Black, white, the brush or its inverse.
            QImage tile = brushTile();
            if (code == 0x0F)
                tile.invertPixels();
            if (code == 0x00 || code == 0xFF)
                fillRect(dest, code ? Qt::white : Qt::black);
            else
                fillRect(dest, tile.size() == QSize(1, 1) ? QBrush(tile.pixelColor(0, 0)) : QBrush(tile));
            return;
        }
        if (code == 0xAA)
            return;  // the destination as it is
    }
    if (ropUsesSource(code) && source.isNull())
        return;
    Paint p = paint(false, false);
    QRectF src = sourceRect.normalized() & QRectF(source.rect());
    if (src.isEmpty())
        src = source.rect();
    if ((code == 0xCC || code == 0x33) && mask.isNull()) {
        // Copies are drawn scaled smoothly; the other operations pixel by pixel.
        QImage image = source;
        if (code == 0x33)
            image.invertPixels();
        m_canvas.drawImage(dest, image, src, p);
        return;
    }
    p.rop.code = code;
    p.rop.maskedCode = mask.isNull() ? code : maskedCode;
    p.rop.mask = mask;
    if (ropUsesPattern(code) || ropUsesPattern(p.rop.maskedCode))
        p.rop.pattern = brushTile();
    m_canvas.drawImage(dest, source, src, p);
}

void GdiPlayer::drawMapped(const QImage& image, const QRectF& source, const QTransform& sourceToLogical)
{
    if (m_inPath || image.isNull())
        return;
    Paint p = paint(false, false);
    p.transform = sourceToLogical * p.transform;
    m_canvas.drawImage(source, image, source, p);
}

void GdiPlayer::gradientRect(const QPointF& from, const QPointF& to, const QColor& fromColor, const QColor& toColor, bool vertical)
{
    const QRectF box = QRectF(from, to).normalized();
    if (m_inPath || box.isEmpty())
        return;
    // Each colour belongs to the side of the rectangle that its corner lies on.
    QLinearGradient gradient(from, vertical ? QPointF(from.x(), to.y()) : QPointF(to.x(), from.y()));
    gradient.setColorAt(0, fromColor);
    gradient.setColorAt(1, toColor);
    fillRect(box, QBrush(gradient));
}

void GdiPlayer::gradientTriangle(const QPolygonF& corners, const QColor colors[3])
{
    if (m_inPath || corners.size() != 3)
        return;
    const QPointF a = corners[0], b = corners[1], c = corners[2];
    const qreal area = (b.x() - a.x()) * (c.y() - a.y()) - (c.x() - a.x()) * (b.y() - a.y());
    const QRectF box = corners.boundingRect();
    if (std::abs(area) < 1e-9 || !std::isfinite(area) || box.isEmpty())
        return;
    // The colours are a linear function of the position, which smooth scaling of a few samples
    // reproduces exactly; the samples' centres span the triangle's box, so none is clamped.
    constexpr int kSamples = 32;
    QImage samples(kSamples, kSamples, QImage::Format_ARGB32);
    for (int j = 0; j < kSamples; ++j)
        for (int i = 0; i < kSamples; ++i) {
            const QPointF p(box.left() + box.width() * i / (kSamples - 1), box.top() + box.height() * j / (kSamples - 1));
            const qreal wb = ((p.x() - a.x()) * (c.y() - a.y()) - (c.x() - a.x()) * (p.y() - a.y())) / area;
            const qreal wc = ((b.x() - a.x()) * (p.y() - a.y()) - (p.x() - a.x()) * (b.y() - a.y())) / area;
            const qreal wa = 1 - wb - wc;
            auto mix = [&](int ca, int cb, int cc) { return int(std::lround(std::clamp<qreal>(wa * ca + wb * cb + wc * cc, 0, 255))); };
            samples.setPixel(i, j, qRgb(mix(colors[0].red(), colors[1].red(), colors[2].red()),
                                        mix(colors[0].green(), colors[1].green(), colors[2].green()),
                                        mix(colors[0].blue(), colors[1].blue(), colors[2].blue())));
        }
    const qreal hx = box.width() / (kSamples - 1) / 2, hy = box.height() / (kSamples - 1) / 2;
    const std::optional<QPainterPath> savedClip = dc.s.clip;
    const int savedSerial = dc.s.clipSerial;
    QPainterPath triangle;
    triangle.addPolygon(corners);
    triangle.closeSubpath();
    dc.combineClip(dc.logicalToTarget().map(triangle), RGN_AND, m_budget);
    m_canvas.drawImage(box.adjusted(-hx, -hy, hx, hy), samples, samples.rect(), paint(false, false));
    dc.s.clip = savedClip;
    dc.s.clipSerial = savedSerial;
}

void GdiPlayer::regionOp(const QPainterPath& region, const QTransform& toTarget, RegionOp op, const QBrush& brush, const QSizeF& frame)
{
    if (m_inPath || region.isEmpty())
        return;
    Paint p = paint(false, false);
    p.transform = toTarget;
    p.brush = brush;
    QPainterPath shape = region;
    shape.setFillRule(Qt::WindingFill);  // the rectangles of a region may overlap
    switch (op) {
    case RegionFill: break;
    case RegionFrame: {
        // The frame is what of the region lies within the frame's width of its outside: the
        // region less its inner part, which holds the points whose neighbourhood is all inside.
        const qreal w = std::abs(frame.width()), h = std::abs(frame.height());
        if (!(w > 0 && h > 0) || !m_budget.afford(region.elementCount() * 16 * work::kCombinedElement))
            return;
        QPainterPath inner = region;
        for (const QPointF& d : {QPointF(w, 0), QPointF(-w, 0), QPointF(0, h), QPointF(0, -h), QPointF(w, h),
                                 QPointF(-w, h), QPointF(w, -h), QPointF(-w, -h)})
            inner = inner.intersected(region.translated(d));
        shape = region.subtracted(inner);  // with the fill rule that keeps its holes
        break;
    }
    case RegionInvert:
        p.brush = QBrush(Qt::white);
        p.mode = QPainter::RasterOp_NotDestination;
        break;
    }
    m_canvas.drawPath(shape, p);
}

void GdiPlayer::offsetClip(const QPointF& logicalOffset)
{
    if (!dc.s.clip)
        return;
    const QTransform t = dc.logicalToTarget();
    const QPointF d = t.map(logicalOffset) - t.map(QPointF(0, 0));
    dc.combineClip(dc.s.clip->translated(d), RGN_COPY, m_budget);
}

}  // namespace metafile
