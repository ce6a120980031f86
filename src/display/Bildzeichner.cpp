#include "display/Bildzeichner.h"

#include "metafile/MetafilePicture.h"

#include <QPainter>
#include <QWidget>

namespace {
// Whether `ziel` is `quelle` enlarged by one whole factor in both directions (1 included).
bool ganzzahligVergroessert(const QSize& quelle, const QSize& ziel)
{
    if (quelle.isEmpty() || ziel.width() % quelle.width() != 0 || ziel.height() % quelle.height() != 0)
        return false;
    return ziel.width() / quelle.width() == ziel.height() / quelle.height();
}
}  // namespace

QRect Bildzeichner::Geraetefenster(const QWidget& fenster)
{
    const qreal dpr = fenster.devicePixelRatioF();
    return QRect(0, 0, qRound(fenster.width() * dpr), qRound(fenster.height() * dpr));
}

void Bildzeichner::Zeichnen(QPainter& p, const LoadedPicture& bild, const QRect& ziel, const QRect& fenster, qreal dpr)
{
    if (!bild.ok || ziel.isEmpty())
        return;
    const QRect sichtbar = ziel.intersected(fenster);
    if (sichtbar.isEmpty())
        return;
    p.save();
    // Device pixels from here on: a picture pixel lands on exactly one of them.
    p.scale(1.0 / dpr, 1.0 / dpr);
    if (bild.metafile) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        metafileZeichnen(p, bild, ziel, sichtbar);
    } else if (!bild.image.isNull()) {
        const QImage& quelle = bild.image;
        const QSize geraet = ziel.size();
        if (ganzzahligVergroessert(quelle.size(), geraet)) {
            // Each picture pixel becomes a square of whole device pixels, with no blending.
            const int faktor = geraet.width() / quelle.width();
            const QRect teil((sichtbar.x() - ziel.x()) / faktor, (sichtbar.y() - ziel.y()) / faktor,
                             (sichtbar.right() - ziel.x()) / faktor - (sichtbar.x() - ziel.x()) / faktor + 1,
                             (sichtbar.bottom() - ziel.y()) / faktor - (sichtbar.y() - ziel.y()) / faktor + 1);
            const QRect flaeche(ziel.x() + teil.x() * faktor, ziel.y() + teil.y() * faktor, teil.width() * faktor,
                                teil.height() * faktor);
            p.setRenderHint(QPainter::SmoothPixmapTransform, false);
            p.setClipRect(sichtbar);
            p.drawImage(flaeche, quelle, teil);
        } else if (geraet.width() <= quelle.width() && geraet.height() <= quelle.height()) {
            if (m_skaliert.size() != geraet || m_skaliertVonMetafile || m_skaliertVon != quelle.cacheKey()) {
                m_skaliert = quelle.scaled(geraet, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                m_skaliertVon = quelle.cacheKey();
                m_skaliertVonMetafile.reset();
            }
            p.drawImage(sichtbar, m_skaliert, sichtbar.translated(-ziel.topLeft()));
        } else {
            // Enlarged by a fraction: interpolated while drawing, from the visible part of the source only.
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            const double sx = quelle.width() / static_cast<double>(ziel.width());
            const double sy = quelle.height() / static_cast<double>(ziel.height());
            const QRectF teil((sichtbar.x() - ziel.x()) * sx, (sichtbar.y() - ziel.y()) * sy, sichtbar.width() * sx,
                              sichtbar.height() * sy);
            p.drawImage(QRectF(sichtbar), quelle, teil);
        }
    }
    p.restore();
}

void Bildzeichner::metafileZeichnen(QPainter& p, const LoadedPicture& bild, const QRect& ziel, const QRect& sichtbar)
{
    // Vectors at the size shown: kept as a picture while that size stays, drawn directly (only the
    // visible part) when zoomed so far in that such a picture would be too large.
    const QSize geraet = ziel.size();
    if (qint64(geraet.width()) * geraet.height() > 64LL * 1024 * 1024) {
        p.setClipRect(sichtbar);
        p.setRenderHint(QPainter::Antialiasing);
        bild.metafile->draw(p, QRectF(ziel));
        return;
    }
    if (m_skaliert.size() != geraet || m_skaliertVonMetafile != bild.metafile) {
        m_skaliert = QImage(geraet, QImage::Format_ARGB32_Premultiplied);
        m_skaliert.fill(Qt::transparent);
        QPainter leinwand(&m_skaliert);
        leinwand.setRenderHint(QPainter::Antialiasing);
        bild.metafile->draw(leinwand, QRectF(QPointF(0, 0), QSizeF(geraet)));
        m_skaliertVonMetafile = bild.metafile;
        m_skaliertVon = 0;
    }
    p.drawImage(sichtbar, m_skaliert, sichtbar.translated(-ziel.topLeft()));
}
