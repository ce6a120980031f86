#include "display/Bildzeichner.h"

#include "metafile/MetafilePicture.h"

#include <QPainter>

namespace {
// Device pixels of a window rectangle.
QRect geraeteRechteck(const QRect& r, qreal dpr)
{
    return QRect(qRound(r.x() * dpr), qRound(r.y() * dpr), qRound(r.width() * dpr), qRound(r.height() * dpr));
}
}  // namespace

void Bildzeichner::Zeichnen(QPainter& p, const LoadedPicture& bild, const QRect& ziel, const QRect& fenster, qreal dpr)
{
    if (!bild.ok || ziel.isEmpty())
        return;
    const QRect sichtbar = ziel.intersected(fenster);
    if (sichtbar.isEmpty())
        return;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (bild.metafile) {
        metafileZeichnen(p, bild, ziel, sichtbar, dpr);
    } else if (!bild.image.isNull()) {
        const QImage& quelle = bild.image;
        const QSize geraet(qRound(ziel.width() * dpr), qRound(ziel.height() * dpr));
        if (geraet.width() <= quelle.width() && geraet.height() <= quelle.height()) {
            if (m_skaliert.size() != geraet || m_skaliertVonMetafile || m_skaliertVon != quelle.cacheKey()) {
                m_skaliert = quelle.scaled(geraet, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                m_skaliertVon = quelle.cacheKey();
                m_skaliertVonMetafile.reset();
            }
            p.drawImage(sichtbar, m_skaliert, geraeteRechteck(sichtbar.translated(-ziel.topLeft()), dpr));
        } else {
            // Enlarged: interpolated while drawing, from the visible part of the source only.
            const double sx = quelle.width() / static_cast<double>(ziel.width());
            const double sy = quelle.height() / static_cast<double>(ziel.height());
            const QRectF teil((sichtbar.x() - ziel.x()) * sx, (sichtbar.y() - ziel.y()) * sy, sichtbar.width() * sx,
                              sichtbar.height() * sy);
            p.drawImage(QRectF(sichtbar), quelle, teil);
        }
    }
    p.restore();
}

void Bildzeichner::metafileZeichnen(QPainter& p, const LoadedPicture& bild, const QRect& ziel, const QRect& sichtbar, qreal dpr)
{
    // Vectors at the size shown: kept as a picture while that size stays, drawn directly (only the
    // visible part) when zoomed so far in that such a picture would be too large.
    const QSize geraet(qRound(ziel.width() * dpr), qRound(ziel.height() * dpr));
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
    p.drawImage(sichtbar, m_skaliert, geraeteRechteck(sichtbar.translated(-ziel.topLeft()), dpr));
}
