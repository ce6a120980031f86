#include "display/VolleAufloesung.h"

#include "display/BildVorlader.h"
#include "platform/CancelFlag.h"
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

VolleAufloesung::VolleAufloesung(BildVorlader& vorlader, std::function<void()> angekommen, qint64 grenze)
    : m_vorlader(vorlader)
    , m_angekommen(std::move(angekommen))
    , m_grenze(grenze)
{
}

VolleAufloesung::~VolleAufloesung()
{
    m_vorlader.zusatzAbbrechen(this);
}

std::optional<VolleAufloesung::Paar> VolleAufloesung::Fuer(const LoadedPicture& angezeigt, QSize geraet, const QString& datei,
                                                           const Dateistempel& stempel, const Helligkeit::Tabelle* tabelle)
{
    if (!angezeigt.ok || angezeigt.image.isNull() || angezeigt.metafile)
        return std::nullopt;  // nothing decoded (a metafile is drawn anew for every size it is shown at)
    const QSize ziel = Zielgroesse(angezeigt.naturalSize, m_grenze);
    const QSize jetzt = angezeigt.image.size();
    // The placement rounds the shown size on its own: one pixel more than the copy is that rounding,
    // not an enlargement worth a decode of the whole file on the way to the screen.
    if (jetzt.width() >= ziel.width() || (geraet.width() <= jetzt.width() + 1 && geraet.height() <= jetzt.height() + 1))
        return std::nullopt;
    const Wunsch wunsch{datei, stempel, angezeigt.naturalSize, tabelle ? std::optional(*tabelle) : std::nullopt};
    if (m_gewuenscht && *m_gewuenscht == wunsch)
        return m_paar;  // kept, or still under way
    Vergessen();  // the old result's memory goes before the new decode takes its own
    m_gewuenscht = wunsch;
    if (!stempel.vorhanden)
        return std::nullopt;  // the file changed while it was decoded for the screen: it stays stretched
    m_vorlader.zusatz(this, [this, wunsch, ziel](const BildVorlader::Ladefunktion& laden, const CancelFlag& abbruch) {
        std::optional<Paar> paar = dekodieren(wunsch, ziel, laden, abbruch);
        return std::function<void()>([this, wunsch, paar = std::move(paar)] { ankunft(wunsch, paar); });
    });
    return std::nullopt;
}

std::optional<VolleAufloesung::Paar> VolleAufloesung::dekodieren(const Wunsch& wunsch, QSize ziel,
                                                                 const BildVorlader::Ladefunktion& laden, const CancelFlag& abbruch)
{
    // Only the file that was shown: its stamp the same before the decode and after it.
    if (!(Dateistempel::von(wunsch.datei) == wunsch.stempel))
        return std::nullopt;
    // The decode puts the whole picture through the table before a picture above the cap is reduced.
    LoadedPicture voll =
        laden(wunsch.datei, ziel == wunsch.natuerlich ? QSize() : ziel, wunsch.tabelle ? &*wunsch.tabelle : nullptr, abbruch);
    if (!voll.ok || voll.naturalSize != wunsch.natuerlich || voll.image.isNull() ||
        !(Dateistempel::von(wunsch.datei) == wunsch.stempel))
        return std::nullopt;
    return Paar{voll, voll};
}

void VolleAufloesung::ankunft(const Wunsch& wunsch, std::optional<Paar> paar)
{
    // A decode that gave nothing is not asked for again: the picture stays stretched.
    if (!m_gewuenscht || !(*m_gewuenscht == wunsch) || !paar)
        return;
    m_paar = std::move(paar);
    if (m_angekommen)
        m_angekommen();
}

void VolleAufloesung::Vergessen()
{
    m_vorlader.zusatzAbbrechen(this);
    m_gewuenscht.reset();
    m_paar.reset();
}
