// Draws the visible part of a picture stretched into its rectangle, for every window that shows
// one: however far a picture is enlarged, only the part inside the window is touched. A metafile
// is never played here: it comes drawn for the screen, and for any other size it is drawn anew on
// the worker (see Vektorraster) while its copy for the screen is stretched in the meantime.
#pragma once

#include "platform/PictureLoader.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class BildVorlader;
class CancelFlag;
class QPainter;

class Bildzeichner {
public:
    // fenster: repainted when a metafile drawn for its size arrives; arbeiter: whose worker draws it.
    Bildzeichner(QWidget& fenster, std::function<BildVorlader&()> arbeiter);
    ~Bildzeichner();
    Bildzeichner(const Bildzeichner&) = delete;
    Bildzeichner& operator=(const Bildzeichner&) = delete;

    // Draws `bild` stretched into `ziel`, clipped to `fenster`, both in device pixels of the window
    // (dpr device pixels per logical pixel). Shown at its own size or enlarged by a whole factor, a
    // picture keeps every pixel sharp; other sizes are smoothed.
    void Zeichnen(QPainter& painter, const LoadedPicture& bild, const QRect& ziel, const QRect& fenster, qreal dpr);

    // The window's own area in device pixels.
    static QRect Geraetefenster(const QWidget& fenster);

private:
    void rasterZeichnen(QPainter& painter, const QImage& quelle, const QRect& ziel, const QRect& sichtbar);
    void metafileZeichnen(QPainter& painter, const LoadedPicture& bild, const QRect& ziel, const QRect& sichtbar);
    void anfragen(const std::shared_ptr<const MetafilePicture>& bild, QSize groesse, const QRect& teil);

    QPointer<QWidget> m_fenster;
    std::function<BildVorlader&()> m_arbeiter;
    BildVorlader* m_gefragt = nullptr;  // whom a drawing is asked of, while it is under way
    // A reduced picture is averaged once to the size shown, so that it is not sampled; the copy is
    // kept while picture and size stay the same.
    QImage m_skaliert;
    qint64 m_skaliertVon = 0;  // the raster's cache key
    // A metafile drawn `groesse` device pixels large: the part `teil` of it, or what is asked for.
    struct Vektorteil {
        std::shared_ptr<const MetafilePicture> bild;
        QSize groesse;
        QRect teil;
        QImage raster;
    };
    std::optional<Vektorteil> m_scharf;
    std::optional<Vektorteil> m_angefragt;
    std::shared_ptr<const CancelFlag> m_angefragtAbbruch;  // raised when that drawing was given up
};
