// The drawing surface a metafile player paints on: each call carries the complete state it
// needs (transform, pen, brush, clip, raster operation), so a canvas keeps no GDI state itself.
#pragma once

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>
#include <QTransform>
#include <vector>

namespace metafile {

// How a blit combines its source pixels (S) with the brush (P) and what is already drawn (D):
// a ternary raster operation, bit k of code giving the result for P = k & 4, S = k & 2,
// D = k & 1, taken bit by bit of each colour. Where a mask is given, its black pixels take
// maskedCode instead.
struct RasterOp {
    uint8_t code = 0xCC;             // source copy
    uint8_t maskedCode = 0xCC;
    QImage mask;                     // the source's size; null: no mask
    QImage pattern;                  // the brush as a tile in device pixels, opaque
};

struct Paint {
    QTransform transform;            // logical coordinates → target pixels
    QPen pen = QPen(Qt::NoPen);      // width in logical units unless cosmetic
    QBrush brush;
    qreal minPenWidth = 1;           // target pixels; GDI never draws a line of a real width thinner than a device pixel
    const QPainterPath* clip = nullptr;  // target pixels; nullptr: unclipped
    int clipSerial = 0;              // changes whenever the clip does
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    RasterOp rop;                    // blits only
};

enum TextAlign : int {
    AlignLeft = 0,
    AlignRight = 2,
    AlignCenter = 6,
    AlignTop = 0,
    AlignBottom = 8,
    AlignBaseline = 24,
};

struct TextRun {
    QPointF anchor;                 // logical
    QString text;
    QFont font;                     // family, weight, style; the size comes from emHeight
    qreal emHeight = 12;            // logical units
    qreal charWidth = 0;            // logical average character width; 0: the font's own
    qreal angle = 0;                // degrees counter-clockwise on the device
    std::vector<qreal> advances;    // logical units per character; empty: the font's own
    int align = 0;                  // TextAlign bits
    QColor color = Qt::black;
    QColor background;              // invalid: transparent
};

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void drawPath(const QPainterPath& path, const Paint& paint) = 0;
    virtual void drawText(const TextRun& run, const Paint& paint) = 0;
    // source is in image pixels; target in logical units. The image may be null when the raster
    // operation does not use a source.
    virtual void drawImage(const QRectF& target, const QImage& image, const QRectF& source, const Paint& paint) = 0;
};

}  // namespace metafile
