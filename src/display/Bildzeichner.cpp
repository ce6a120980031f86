#include "display/Bildzeichner.h"

#include "display/BildVorlader.h"
#include "display/Vektorraster.h"
#include "platform/CancelFlag.h"

#include <QPainter>

namespace {
// Device pixels of a window rectangle.
QRect geraeteRechteck(const QRect& r, qreal dpr)
{
    return QRect(qRound(r.x() * dpr), qRound(r.y() * dpr), qRound(r.width() * dpr), qRound(r.height() * dpr));
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
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (bild.metafile)
        metafileZeichnen(p, bild, ziel, sichtbar, dpr);
    else if (!bild.image.isNull())
        rasterZeichnen(p, bild.image, ziel, sichtbar, dpr);
    p.restore();
}

void Bildzeichner::rasterZeichnen(QPainter& p, const QImage& quelle, const QRect& ziel, const QRect& sichtbar, qreal dpr)
{
    const QSize geraet(qRound(ziel.width() * dpr), qRound(ziel.height() * dpr));
    if (geraet.width() <= quelle.width() && geraet.height() <= quelle.height()) {
        if (m_skaliert.size() != geraet || m_skaliertVon != quelle.cacheKey()) {
            m_skaliert = quelle.scaled(geraet, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            m_skaliertVon = quelle.cacheKey();
        }
        p.drawImage(sichtbar, m_skaliert, geraeteRechteck(sichtbar.translated(-ziel.topLeft()), dpr));
        return;
    }
    // Enlarged: interpolated while drawing, from the visible part of the source only.
    const double sx = quelle.width() / static_cast<double>(ziel.width());
    const double sy = quelle.height() / static_cast<double>(ziel.height());
    const QRectF teil((sichtbar.x() - ziel.x()) * sx, (sichtbar.y() - ziel.y()) * sy, sichtbar.width() * sx,
                      sichtbar.height() * sy);
    p.drawImage(QRectF(sichtbar), quelle, teil);
}

void Bildzeichner::metafileZeichnen(QPainter& p, const LoadedPicture& bild, const QRect& ziel, const QRect& sichtbar, qreal dpr)
{
    const QSize geraet(qRound(ziel.width() * dpr), qRound(ziel.height() * dpr));
    const QRect sichtbarGeraet = geraeteRechteck(sichtbar.translated(-ziel.topLeft()), dpr) & QRect(QPoint(0, 0), geraet);
    if (m_scharf && m_scharf->groesse == geraet && m_scharf->teil.contains(sichtbarGeraet)) {
        p.drawImage(sichtbar, m_scharf->raster, sichtbarGeraet.translated(-m_scharf->teil.topLeft()));
        return;
    }
    // The drawing for the screen, stretched until the one for this size is there.
    if (!bild.image.isNull())
        rasterZeichnen(p, bild.image, ziel, sichtbar, dpr);
    if (bild.image.size() == geraet)
        return;
    const bool angefragt = m_angefragt && !m_angefragtAbbruch->raised() && m_angefragt->bild == bild.metafile &&
                           m_angefragt->groesse == geraet && m_angefragt->teil.contains(sichtbarGeraet);
    if (!angefragt)
        anfragen(bild.metafile, geraet, Vektorraster::Teil(geraet, sichtbarGeraet));
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
