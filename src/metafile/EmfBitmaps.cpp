// EMF handlers for bitmaps: blits, stretched and masked ones, alpha and transparency, and
// gradient fills.
#include "EmfPlayer.h"

#include "Dib.h"

#include <QLinearGradient>
#include <cmath>

namespace metafile {

QImage EmfPlayer::bitmap(ByteReader& r, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits, uint32_t usage, bool alpha)
{
    if (cbBmi == 0)
        return {};
    return charged(decodeDib(r.view(offBmi, cbBmi), r.view(offBits, cbBits), {alpha, usage == 1}));
}

void EmfPlayer::emrBitBlt(ByteReader& r)
{
    r.skip(16);
    const QPointF at = pointL(r);
    const qreal cx = r.i32(), cy = r.i32();
    const uint32_t rop = r.u32();
    const QPointF src = pointL(r);
    const QTransform srcXform = xform(r).value_or(QTransform());
    r.skip(4);
    const uint32_t usage = r.u32();
    const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const QImage image = bitmap(r, offBmi, cbBmi, offBits, cbBits, usage);
    blit(QRectF(at, QSizeF(cx, cy)), image, srcXform.mapRect(QRectF(src, QSizeF(cx, cy))), rop);
}

void EmfPlayer::emrStretchBlt(ByteReader& r)
{
    r.skip(16);
    const QPointF at = pointL(r);
    const qreal cx = r.i32(), cy = r.i32();
    const uint32_t rop = r.u32();
    const QPointF src = pointL(r);
    const QTransform srcXform = xform(r).value_or(QTransform());
    r.skip(4);
    const uint32_t usage = r.u32();
    const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const qreal cxSrc = r.i32(), cySrc = r.i32();
    const QImage image = bitmap(r, offBmi, cbBmi, offBits, cbBits, usage);
    blit(QRectF(at, QSizeF(cx, cy)), image, srcXform.mapRect(QRectF(src, QSizeF(cxSrc, cySrc))), rop);
}

void EmfPlayer::emrSetDiBitsToDevice(ByteReader& r)
{
    r.skip(16);
    const QPointF at = pointL(r);
    const QPointF src = pointL(r);
    const qreal cx = r.i32(), cy = r.i32();
    const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const uint32_t usage = r.u32();
    const QImage image = bitmap(r, offBmi, cbBmi, offBits, cbBits, usage);
    const bool bottomUp = dibIsBottomUp(r.view(offBmi, cbBmi));
    const QRectF source(src.x(), bottomUp ? image.height() - src.y() - cy : src.y(), cx, cy);
    blit(QRectF(at, QSizeF(cx, cy)), image, source, SRCCOPY);
}

void EmfPlayer::emrStretchDiBits(ByteReader& r)
{
    r.skip(16);
    const QPointF at = pointL(r);
    const QPointF src = pointL(r);
    const qreal cxSrc = r.i32(), cySrc = r.i32();
    const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const uint32_t usage = r.u32();
    const uint32_t rop = r.u32();
    const qreal cx = r.i32(), cy = r.i32();
    const QImage image = bitmap(r, offBmi, cbBmi, offBits, cbBits, usage);
    const bool bottomUp = dibIsBottomUp(r.view(offBmi, cbBmi));
    const QRectF source(src.x(), bottomUp ? image.height() - src.y() - cySrc : src.y(), cxSrc, cySrc);
    blit(QRectF(at, QSizeF(cx, cy)), image, source, rop);
}

void EmfPlayer::emrAlphaBlend(ByteReader& r)
{
    r.skip(16);
    const QPointF at = pointL(r);
    const qreal cx = r.i32(), cy = r.i32();
    r.u8();
    r.u8();
    const int constantAlpha = r.u8();
    const bool sourceAlpha = r.u8() & 1;
    const QPointF src = pointL(r);
    const QTransform srcXform = xform(r).value_or(QTransform());
    r.skip(4);
    const uint32_t usage = r.u32();
    const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const qreal cxSrc = r.i32(), cySrc = r.i32();
    QImage image = bitmap(r, offBmi, cbBmi, offBits, cbBits, usage, sourceAlpha);
    if (image.isNull())
        return;
    if (constantAlpha < 255) {
        QImage faded(image.size(), QImage::Format_ARGB32_Premultiplied);
        faded.fill(Qt::transparent);
        QPainter p(&faded);
        p.setOpacity(constantAlpha / 255.0);
        p.drawImage(0, 0, image);
        p.end();
        image = faded;
    }
    blit(QRectF(at, QSizeF(cx, cy)), image, srcXform.mapRect(QRectF(src, QSizeF(cxSrc, cySrc))), SRCCOPY);
}

void EmfPlayer::emrTransparentBlt(ByteReader& r)
{
    r.skip(16);
    const QPointF at = pointL(r);
    const qreal cx = r.i32(), cy = r.i32();
    const QRgb transparent = colorRef(r).rgb();
    const QPointF src = pointL(r);
    const QTransform srcXform = xform(r).value_or(QTransform());
    r.skip(4);
    const uint32_t usage = r.u32();
    const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const qreal cxSrc = r.i32(), cySrc = r.i32();
    QImage image = bitmap(r, offBmi, cbBmi, offBits, cbBits, usage).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (transparent & 0xFFFFFF))
                line[x] = 0;
    }
    blit(QRectF(at, QSizeF(cx, cy)), image, srcXform.mapRect(QRectF(src, QSizeF(cxSrc, cySrc))), SRCCOPY);
}

// Fields shared by MASKBLT and PLGBLT after their destination: the source position and
// transform, its bitmap, and the mask's position and bitmap.
struct EmfPlayer::MaskedSource {
    QPointF source;
    QTransform sourceTransform;
    QImage image;
    QPoint maskAt;
    QImage mask;
};

EmfPlayer::MaskedSource EmfPlayer::maskedSource(ByteReader& r, QPointF source)
{
    MaskedSource m;
    m.source = source;
    m.sourceTransform = xform(r).value_or(QTransform());
    r.skip(4);  // background colour of the source
    const uint32_t usage = r.u32();
    const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    m.image = bitmap(r, offBmi, cbBmi, offBits, cbBits, usage);
    const int maskX = r.i32(), maskY = r.i32();
    const uint32_t maskUsage = r.u32();
    const uint32_t offMaskBmi = r.u32(), cbMaskBmi = r.u32(), offMaskBits = r.u32(), cbMaskBits = r.u32();
    if (r.ok()) {
        m.mask = bitmap(r, offMaskBmi, cbMaskBmi, offMaskBits, cbMaskBits, maskUsage);
        m.maskAt = QPoint(maskX, maskY);
    }
    return m;
}

// The mask moved so that its pixels lie over the source pixels they belong to; outside it, the
// source counts as masked out.
static QImage alignedMask(const QImage& mask, const QSize& size, QPoint offset)
{
    QImage aligned(size, QImage::Format_RGB32);
    aligned.fill(Qt::black);
    QPainter p(&aligned);
    p.drawImage(offset, mask);
    return aligned;
}

void EmfPlayer::emrMaskBlt(ByteReader& r)
{
    r.skip(16);
    const QPointF at = pointL(r);
    const qreal cx = r.i32(), cy = r.i32();
    const uint32_t rop = r.u32();
    const QPointF src = pointL(r);
    const MaskedSource m = maskedSource(r, src);
    const QRectF source = m.sourceTransform.mapRect(QRectF(src, QSizeF(cx, cy)));
    // The operation for set mask bits is in the usual place, the one for clear bits in the high byte.
    const uint8_t background = uint8_t(rop >> 24);
    if (m.mask.isNull() || m.image.isNull()) {
        blit(QRectF(at, QSizeF(cx, cy)), m.image, source, rop);
        return;
    }
    const QPoint shift = (src - QPointF(m.maskAt)).toPoint();
    blit(QRectF(at, QSizeF(cx, cy)), m.image, source, rop, alignedMask(m.mask, m.image.size(), shift), background);
}

void EmfPlayer::emrPlgBlt(ByteReader& r)
{
    r.skip(16);
    const QPointF p0 = pointL(r), p1 = pointL(r), p2 = pointL(r);
    const QPointF src = pointL(r);
    const qreal cx = r.i32(), cy = r.i32();
    MaskedSource m = maskedSource(r, src);
    if (!r.ok() || m.image.isNull() || cx == 0 || cy == 0)
        return;
    const QRectF source = m.sourceTransform.mapRect(QRectF(src, QSizeF(cx, cy)));
    if (!m.mask.isNull()) {
        const QImage mask = alignedMask(m.mask, m.image.size(), (src - QPointF(m.maskAt)).toPoint());
        m.image = m.image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < m.image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m.image.scanLine(y));
            const auto* bits = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            for (int x = 0; x < m.image.width(); ++x)
                if (qGray(bits[x]) < 128)
                    line[x] = 0;
        }
    }
    // The source's top left corner goes to the first point, its top right to the second and its
    // bottom left to the third.
    const QPointF ex = (p1 - p0) / source.width(), ey = (p2 - p0) / source.height();
    const QTransform toLogical(ex.x(), ex.y(), ey.x(), ey.y(), p0.x() - source.left() * ex.x() - source.top() * ey.x(),
                               p0.y() - source.left() * ex.y() - source.top() * ey.y());
    drawMapped(m.image, source, toLogical);
}

void EmfPlayer::emrGradientFill(ByteReader& r)
{
    enum { GRADIENT_FILL_RECT_H = 0, GRADIENT_FILL_RECT_V = 1, GRADIENT_FILL_TRIANGLE = 2 };
    r.skip(16);
    const uint32_t vertexCount = r.u32(), shapeCount = r.u32(), mode = r.u32();
    if (!r.has(qsizetype(vertexCount) * 16) || mode > GRADIENT_FILL_TRIANGLE)
        return;
    struct Vertex {
        QPointF at;
        QColor color;
    };
    std::vector<Vertex> vertices(vertexCount);
    for (Vertex& v : vertices) {
        v.at = pointL(r);
        const int red = r.u16() >> 8, green = r.u16() >> 8, blue = r.u16() >> 8;
        r.u16();
        v.color = QColor(red, green, blue);
    }
    const int corners = mode == GRADIENT_FILL_TRIANGLE ? 3 : 2;
    if (!r.has(qsizetype(shapeCount) * corners * 4))
        return;
    for (uint32_t i = 0; i < shapeCount; ++i) {
        uint32_t index[3] = {0, 0, 0};
        for (int k = 0; k < corners; ++k)
            index[k] = r.u32();
        if (index[0] >= vertexCount || index[1] >= vertexCount || index[2] >= vertexCount)
            continue;
        const Vertex &a = vertices[index[0]], &b = vertices[index[1]];
        if (mode == GRADIENT_FILL_TRIANGLE) {
            const Vertex& c = vertices[index[2]];
            const QColor colors[3] = {a.color, b.color, c.color};
            gradientTriangle(QPolygonF{a.at, b.at, c.at}, colors);
        } else {
            gradientRect(a.at, b.at, a.color, b.color, mode == GRADIENT_FILL_RECT_V);
        }
    }
}

}  // namespace metafile
