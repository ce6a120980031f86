#include "display/VolleAufloesung.h"

#include "platform/JpegDecoder.h"

#include <cmath>

QSize VolleAufloesung::Zielgroesse(QSize natuerlich, qint64 grenze)
{
    auto pixel = [](QSize s) { return qint64(s.width()) * s.height(); };
    if (pixel(natuerlich) <= grenze)
        return natuerlich;
    for (int nenner : {2, 4, 8}) {
        const QSize teil = JpegDecoder::scaledSize(natuerlich, nenner);
        if (pixel(teil) <= grenze)
            return teil;
    }
    const double f = std::sqrt(double(grenze) / double(pixel(natuerlich)));
    return QSize(qMax(1, int(natuerlich.width() * f)), qMax(1, int(natuerlich.height() * f)));
}

std::optional<VolleAufloesung::Paar> VolleAufloesung::Fuer(PictureLoader& lader, const LoadedPicture& angezeigt, QSize geraet,
                                                           const QString& datei, const Helligkeit::Tabelle* tabelle)
{
    if (!angezeigt.ok || angezeigt.image.isNull())
        return std::nullopt;  // nothing decoded (a metafile is drawn as vectors at any size)
    const QSize ziel = Zielgroesse(angezeigt.naturalSize, m_grenze);
    const QSize jetzt = angezeigt.image.size();
    // The placement rounds the shown size on its own: one pixel more than the copy is that rounding,
    // not an enlargement worth a decode of the whole file on the way to the screen.
    if (jetzt.width() >= ziel.width() || (geraet.width() <= jetzt.width() + 1 && geraet.height() <= jetzt.height() + 1))
        return std::nullopt;
    const bool gleicheTabelle = tabelle ? (m_tabelle && *m_tabelle == *tabelle) : !m_tabelle;
    if (m_paar && m_datei == datei && gleicheTabelle && m_paar->quelle.naturalSize == angezeigt.naturalSize)
        return m_paar;

    Vergessen();  // the old result's memory goes before the new decode takes its own
    // The decode puts the whole picture through the table before a picture above the cap is reduced.
    LoadedPicture voll = lader.load(datei, ziel == angezeigt.naturalSize ? QSize() : ziel, tabelle);
    if (!voll.ok || voll.naturalSize != angezeigt.naturalSize || voll.image.isNull())
        return std::nullopt;  // the file changed or vanished: keep what is shown
    m_paar = Paar{voll, voll};
    m_datei = datei;
    if (tabelle)
        m_tabelle = *tabelle;
    return m_paar;
}

void VolleAufloesung::Vergessen()
{
    m_paar.reset();
    m_datei.clear();
    m_tabelle.reset();
}
