// Loading a metafile (format test, header checks, natural size) and playing it.
#include "MetafilePicture.h"

#include "EmfPlayer.h"
#include "PainterCanvas.h"
#include "RecordingCanvas.h"
#include "WmfPlayer.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <cmath>

using namespace metafile;

namespace {

constexpr int kMaxSide = 1 << 15;

QSize clampedSize(qreal width, qreal height)
{
    auto side = [](qreal v) { return int(std::lround(std::clamp<qreal>(std::abs(v), 1, kMaxSide))); };
    return QSize(side(width), side(height));
}

// A plain WMF that never sets its window: the area its drawing covers stands in.
QRectF drawnArea(const QByteArray& bytes, const WmfHeader& header)
{
    RecordingCanvas recorder;
    WmfPlayer player(recorder, QRectF(0, 0, 1, 1), header, QRectF(0, 0, 1, 1));
    player.play(bytes);
    QRectF area;
    for (const RecordedCall& call : recorder.calls)
        area |= call.targetBounds();
    return area;
}

// Qt's raster engine hands every batch of spans of a fill to the global thread pool unless it
// runs in a thread of that pool itself. A metafile is thousands of small fills, for which the
// handing over costs several times the drawing (test-177.emf at 1920 x 1080: 12 ms of processor
// time instead of 3). Drawing on an image, which any thread may do, is done by a pool thread
// when one is free, and the fills stay on it.
template <typename Draw>
void drawInPoolThread(const QPaintDevice* device, Draw&& draw)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    if (device->devType() != QInternal::Image || pool->contains(QThread::currentThread())) {
        draw();
        return;
    }
    QSemaphore done;
    if (!pool->tryStart([&] {
            draw();
            done.release();
        })) {
        draw();
        return;
    }
    done.acquire();
}

}  // namespace

std::shared_ptr<const MetafilePicture> MetafilePicture::load(const QByteArray& bytes)
{
    std::shared_ptr<MetafilePicture> picture(new MetafilePicture);
    picture->m_bytes = bytes;
    if (const auto emf = readEmfHeader(bytes)) {
        picture->m_enhanced = true;
        picture->m_size = clampedSize((emf->frame.right() - qreal(emf->frame.left())) * 96 / 2540,
                                      (emf->frame.bottom() - qreal(emf->frame.top())) * 96 / 2540);
        picture->m_layered = EmfPlayer::readsDestination(bytes);
        return picture;
    }
    const auto wmf = readWmfHeader(bytes);
    if (!wmf)
        return nullptr;
    picture->m_layered = WmfPlayer::readsDestination(bytes, *wmf);
    if (wmf->placeable) {
        picture->m_window = wmf->window.value_or(QRectF(wmf->box));
        picture->m_size = clampedSize(wmf->box.width() * 96.0 / wmf->unitsPerInch, wmf->box.height() * 96.0 / wmf->unitsPerInch);
    } else if (wmf->window) {
        picture->m_window = *wmf->window;
        picture->m_size = clampedSize(wmf->window->width(), wmf->window->height());
    } else {
        const QRectF area = drawnArea(bytes, *wmf);
        if (area.isEmpty() || !std::isfinite(area.width()) || !std::isfinite(area.height()))
            return nullptr;
        picture->m_window = area;
        picture->m_size = clampedSize(area.width(), area.height());
    }
    // A WMF converted from an EMF may carry the whole EMF in its comments; the system's player
    // plays that instead of the simpler records that stand in for it, at the WMF's size.
    if (auto emf = WmfPlayer::embeddedEmf(bytes, *wmf)) {
        picture->m_layered = EmfPlayer::readsDestination(*emf);
        picture->m_bytes = std::move(*emf);
        picture->m_enhanced = true;
    }
    return picture;
}

QSize MetafilePicture::naturalSize() const
{
    return m_size;
}

void MetafilePicture::play(Canvas& canvas, const QRectF& target, const std::atomic<bool>* stop) const
{
    if (target.isEmpty())
        return;
    if (m_enhanced) {
        const auto header = readEmfHeader(m_bytes);
        EmfPlayer player(canvas, target, *header);
        player.play(m_bytes, stop);
        return;
    }
    const auto header = readWmfHeader(m_bytes);
    WmfPlayer player(canvas, target, *header, m_window);
    player.play(m_bytes, stop);
}

void MetafilePicture::draw(QPainter& painter, const QRectF& target, const std::atomic<bool>* stop) const
{
    if (!m_layered) {
        drawInPoolThread(painter.device(), [&] {
            PainterCanvas canvas(painter, target);
            play(canvas, target, stop);
        });
        return;
    }
    // Blits that combine their pixels with what is there see only this picture's own drawing,
    // on whatever device it is drawn: the visible part is drawn onto a transparent layer first.
    const QRectF deviceTarget = painter.transform().mapRect(target);
    QRect visible = deviceTarget.toAlignedRect() & QRect(0, 0, painter.device()->width(), painter.device()->height());
    if (painter.hasClipping())
        visible &= painter.transform().mapRect(painter.clipBoundingRect()).toAlignedRect();
    if (visible.isEmpty())
        return;
    QImage layer(visible.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    drawInPoolThread(&layer, [&] {
        QPainter layerPainter(&layer);
        const QRectF onLayer = deviceTarget.translated(-visible.topLeft());
        PainterCanvas canvas(layerPainter, onLayer);
        play(canvas, onLayer, stop);
    });
    painter.save();
    painter.resetTransform();
    painter.drawImage(visible.topLeft(), layer);
    painter.restore();
}
