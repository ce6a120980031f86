// The canvas the program draws metafiles with: a QPainter onto any paint device, confined to
// the picture's rectangle, drawing what the budget affords.
#pragma once

#include "Budget.h"
#include "Canvas.h"

namespace metafile {

class PainterCanvas final : public Canvas {
public:
    PainterCanvas(QPainter& painter, const QRectF& bounds, Budget& budget);
    ~PainterCanvas() override;

    void drawPath(const QPainterPath& path, const Paint& paint) override;
    void drawText(const TextRun& run, const Paint& paint) override;
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source, const Paint& paint) override;

private:
    void apply(const Paint& paint);
    void fill(const QPainterPath& devicePath, const QBrush& brush);
    void stroke(const QPainterPath& path, const Paint& paint, qreal scale);

    // Pixels a fill of this device box covers on the picture, at most.
    qint64 pixelsWithin(const QRectF& box) const;
    // Whether a path of this device box may go to QPainter as it is.
    bool nearView(const QRectF& box) const;

    QPainter& m_painter;
    QRectF m_bounds;
    QRectF m_view;                  // what of the bounds the device and the painter's clip show
    Budget& m_budget;
    int m_clipSerial = -2;
    QPainter::CompositionMode m_mode = QPainter::CompositionMode_SourceOver;
};

}  // namespace metafile
