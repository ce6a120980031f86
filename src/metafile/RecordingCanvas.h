// A canvas that keeps every drawing call with the state it came with, so tests can check
// what a metafile draws (and where) without comparing pixels.
#pragma once

#include "Canvas.h"

#include <vector>

namespace metafile {

struct RecordedCall {
    enum Kind { Path, Text, Image };
    Kind kind = Path;
    QPainterPath path;              // logical
    TextRun text;
    QRectF target;                  // image: logical rectangle
    QRectF source;
    QSize imageSize;
    QImage image;
    QPen pen;
    QBrush brush;
    QTransform transform;
    bool clipped = false;
    QPainterPath clip;              // target pixels
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    RasterOp rop;

    // Where the call lands in target pixels (text: roughly, from its anchor).
    QRectF targetBounds() const;
};

class RecordingCanvas final : public Canvas {
public:
    void drawPath(const QPainterPath& path, const Paint& paint) override;
    void drawText(const TextRun& run, const Paint& paint) override;
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source, const Paint& paint) override;

    std::vector<RecordedCall> calls;
    // Where all calls land together in target pixels.
    QRectF drawnArea;
    // Only the area is kept, not the calls themselves.
    bool areaOnly = false;

private:
    RecordedCall start(RecordedCall::Kind kind, const Paint& paint) const;
    void add(RecordedCall call);
};

}  // namespace metafile
