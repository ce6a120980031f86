// Recording canvas for tests.
#include "RecordingCanvas.h"

namespace metafile {

QRectF RecordedCall::targetBounds() const
{
    switch (kind) {
    case Path: return transform.map(path).boundingRect();
    case Image: return transform.mapRect(target);
    case Text: {
        // Roughly the box of the run, as if it were set left-aligned from the top.
        const QRectF box(text.anchor, QSizeF(text.emHeight * 0.6 * text.text.size(), text.emHeight));
        return transform.mapRect(box);
    }
    }
    return {};
}

RecordedCall RecordingCanvas::start(RecordedCall::Kind kind, const Paint& paint) const
{
    RecordedCall call;
    call.kind = kind;
    call.pen = paint.pen;
    call.brush = paint.brush;
    call.transform = paint.transform;
    call.clipped = paint.clip != nullptr;
    if (paint.clip)
        call.clip = *paint.clip;
    call.mode = paint.mode;
    call.rop = paint.rop;
    return call;
}

void RecordingCanvas::drawPath(const QPainterPath& path, const Paint& paint)
{
    RecordedCall call = start(RecordedCall::Path, paint);
    call.path = path;
    add(std::move(call));
}

void RecordingCanvas::drawText(const TextRun& run, const Paint& paint)
{
    RecordedCall call = start(RecordedCall::Text, paint);
    call.text = run;
    add(std::move(call));
}

void RecordingCanvas::drawImage(const QRectF& target, const QImage& image, const QRectF& source, const Paint& paint)
{
    RecordedCall call = start(RecordedCall::Image, paint);
    call.target = target;
    call.source = source;
    call.imageSize = image.size();
    if (!areaOnly)
        call.image = image;
    add(std::move(call));
}

void RecordingCanvas::add(RecordedCall call)
{
    drawnArea |= call.targetBounds();
    if (!areaOnly)
        calls.push_back(std::move(call));
}

}  // namespace metafile
