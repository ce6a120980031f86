// A loaded WMF or EMF picture: its natural size and its drawing as vectors at any size.
#pragma once

#include <QByteArray>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <atomic>
#include <memory>

namespace metafile {
class Canvas;
}

class MetafilePicture {
public:
    // nullptr when the bytes are not a WMF (placeable or plain) or EMF, or the header is broken.
    static std::shared_ptr<const MetafilePicture> load(const QByteArray& bytes);
    // Pixels at 96 per inch: the EMF frame, the placeable box, or a plain WMF's window extent.
    QSize naturalSize() const;
    // Vectors drawn into target (any size, sharp); the background is left as it is. stop: when
    // given and set (from any thread), drawing ends before the next record.
    void draw(QPainter& painter, const QRectF& target, const std::atomic<bool>* stop = nullptr) const;

    bool isEnhanced() const { return m_enhanced; }
    // Plays the records onto any canvas, e.g. a recording one.
    void play(metafile::Canvas& canvas, const QRectF& target, const std::atomic<bool>* stop = nullptr) const;

private:
    MetafilePicture() = default;

    QByteArray m_bytes;
    bool m_enhanced = false;
    QSize m_size;
    QRectF m_window;                // WMF: the logical rectangle that fills the picture
    bool m_layered = false;         // drawn on a layer of its own first (see draw())
};
