#include "display/Bildzeichner.h"

#include "display/BildVorlader.h"
#include "display/Vektorraster.h"
#include "platform/CancelFlag.h"

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

Bildzeichner::Bildzeichner(QWidget& fenster, std::function<BildVorlader&()> arbeiter)
    : m_fenster(&fenster)
    , m_arbeiter(std::move(arbeiter))
{
}

Bildzeichner::~Bildzeichner()
{
    if (m_gefragt)
        m_gefragt->zusatzAbbrechen(this);
}

QRect Bildzeichner::Geraetefenster(const QWidget& fenster)
{
    const qreal dpr = fenster.devicePixelRatioF();
    return QRect(0, 0, qRound(fenster.width() * dpr), qRound(fenster.height() * dpr));
}

void Bildzeichner::Zeichnen(QPainter& p, const LoadedPicture& bild, const QRect& ziel, const QRect& fenster, qreal dpr)
{
    if (!bild.metafile || (m_scharf && m_scharf->bild != bild.metafile))
        m_scharf.reset();  // drawn for another picture
    if (!bild.ok || ziel.isEmpty())
        return;
    const QRect sichtbar = ziel.intersected(fenster);
    if (sichtbar.isEmpty())
        return;
    p.save();
    // Device pixels from here on: a picture pixel lands on exactly one of them.
    p.scale(1.0 / dpr, 1.0 / dpr);
    if (bild.metafile)
        metafileZeichnen(p, bild, ziel, sichtbar);
    else if (!bild.image.isNull())
        rasterZeichnen(p, bild.image, ziel, sichtbar);
    p.restore();
}

void Bildzeichner::rasterZeichnen(QPainter& p, const QImage& quelle, const QRect& ziel, const QRect& sichtbar)
{
    const QSize geraet = ziel.size();
    if (ganzzahligVergroessert(quelle.size(), geraet)) {
        // Each picture pixel becomes a square of whole device pixels, with no blending.
        const int faktor = geraet.width() / quelle.width();
        const QRect teil((sichtbar.x() - ziel.x()) / faktor, (sichtbar.y() - ziel.y()) / faktor,
                         (sichtbar.right() - ziel.x()) / faktor - (sichtbar.x() - ziel.x()) / faktor + 1,
                         (sichtbar.bottom() - ziel.y()) / faktor - (sichtbar.y() - ziel.y()) / faktor + 1);
        const QRect flaeche(ziel.x() + teil.x() * faktor, ziel.y() + teil.y() * faktor, teil.width() * faktor,
                            teil.height() * faktor);
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.setClipRect(sichtbar);
        p.drawImage(flaeche, quelle, teil);
        p.restore();
    } else if (geraet.width() <= quelle.width() && geraet.height() <= quelle.height()) {
        if (m_skaliert.size() != geraet || m_skaliertVon != quelle.cacheKey()) {
            m_skaliert = quelle.scaled(geraet, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            m_skaliertVon = quelle.cacheKey();
        }
        p.drawImage(sichtbar, m_skaliert, sichtbar.translated(-ziel.topLeft()));
    } else {
        // Enlarged by a fraction: interpolated while drawing, from the visible part of the source only.
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const double sx = quelle.width() / static_cast<double>(ziel.width());
        const double sy = quelle.height() / static_cast<double>(ziel.height());
        const QRectF teil((sichtbar.x() - ziel.x()) * sx, (sichtbar.y() - ziel.y()) * sy, sichtbar.width() * sx,
                          sichtbar.height() * sy);
        p.drawImage(QRectF(sichtbar), quelle, teil);
        p.restore();
    }
}

void Bildzeichner::metafileZeichnen(QPainter& p, const LoadedPicture& bild, const QRect& ziel, const QRect& sichtbar)
{
    const QSize geraet = ziel.size();
    const QRect imBild = sichtbar.translated(-ziel.topLeft());
    if (m_scharf && m_scharf->groesse == geraet && m_scharf->teil.contains(imBild)) {
        p.drawImage(sichtbar, m_scharf->raster, imBild.translated(-m_scharf->teil.topLeft()));
        return;
    }
    // The drawing for the screen, stretched until the one for this size is there.
    if (!bild.image.isNull())
        rasterZeichnen(p, bild.image, ziel, sichtbar);
    if (bild.image.size() == geraet)
        return;
    const bool angefragt = m_angefragt && !m_angefragtAbbruch->raised() && m_angefragt->bild == bild.metafile &&
                           m_angefragt->groesse == geraet && m_angefragt->teil.contains(imBild);
    if (!angefragt)
        anfragen(bild.metafile, geraet, Vektorraster::Teil(geraet, imBild));
}

void Bildzeichner::anfragen(const std::shared_ptr<const MetafilePicture>& bild, QSize groesse, const QRect& teil)
{
    if (!m_arbeiter)
        return;
    m_angefragt = Vektorteil{bild, groesse, teil, {}};
    m_gefragt = &m_arbeiter();
    QPointer<QWidget> fenster = m_fenster;
    m_angefragtAbbruch = m_gefragt->zusatz(this, [this, fenster, bild, groesse, teil](const BildVorlader::Ladefunktion&, const CancelFlag& abbruch) {
        QImage raster = Vektorraster::Zeichnen(*bild, groesse, teil, abbruch);
        return std::function<void()>([this, fenster, bild, groesse, teil, raster] {
            if (!fenster || raster.isNull())
                return;
            m_gefragt = nullptr;
            m_scharf = Vektorteil{bild, groesse, teil, raster};
            fenster->update();
        });
    });
}
