// Draws the visible part of a picture stretched into its rectangle, for every window that shows
// one: however far a picture is enlarged, only the part inside the window is touched.
#pragma once

#include "platform/PictureLoader.h"

#include <QImage>
#include <QRect>

#include <memory>

class QPainter;
class QWidget;

class Bildzeichner {
public:
    // Draws `bild` stretched into `ziel`, clipped to `fenster`, both in device pixels of the window
    // (dpr device pixels per logical pixel). Shown at its own size or enlarged by a whole factor, a
    // picture keeps every pixel sharp; other sizes are smoothed.
    void Zeichnen(QPainter& painter, const LoadedPicture& bild, const QRect& ziel, const QRect& fenster, qreal dpr);

    // The window's own area in device pixels.
    static QRect Geraetefenster(const QWidget& fenster);

private:
    void metafileZeichnen(QPainter& painter, const LoadedPicture& bild, const QRect& ziel, const QRect& sichtbar);
    // A reduced picture is averaged once to the size shown, so that it is not sampled; the copy is
    // kept while picture and size stay the same.
    QImage m_skaliert;
    qint64 m_skaliertVon = 0;                                      // the raster's cache key
    std::shared_ptr<const MetafilePicture> m_skaliertVonMetafile;  // or the metafile drawn
};
