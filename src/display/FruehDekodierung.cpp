#include "display/FruehDekodierung.h"

#include "display/Helligkeit.h"
#include "platform/CancelFlag.h"
#include "platform/PictureLoader.h"

FruehDekodierung::FruehDekodierung(const QString& pfad, QSize abdeckung)
    : m_pfad(pfad)
    , m_abdeckung(abdeckung)
    , m_abbruch(std::make_shared<CancelFlag>())
{
    std::promise<std::optional<BildVorlader::Dekodiert>> versprechen;
    m_ergebnis = versprechen.get_future();
    m_faden = std::thread([pfad, abdeckung, abbruch = m_abbruch, versprechen = std::move(versprechen)]() mutable {
        std::optional<BildVorlader::Dekodiert> ergebnis;
        try {
            bool jpeg = false;
            PictureLoader lader;
            const BildVorlader::Ladefunktion nurJpeg = [&](const QString& p, QSize a, const ByteTable*, const CancelFlag& c) {
                LoadedPicture bild = lader.loadJpegOnly(p, a, &c);
                jpeg = bild.format == PictureFormat::Jpeg;
                return bild;
            };
            BildVorlader::Dekodiert d = BildVorlader::dekodieren(nurJpeg, pfad, abdeckung, Helligkeit::kNeutral, *abbruch);
            if (jpeg)
                ergebnis = std::move(d);
        } catch (...) {
            ergebnis.reset();  // left to the prefetcher
        }
        versprechen.set_value(std::move(ergebnis));
    });
}

FruehDekodierung::~FruehDekodierung()
{
    m_abbruch->raise();
    if (m_faden.joinable())
        m_faden.join();
}

std::optional<BildVorlader::Dekodiert> FruehDekodierung::abholen()
{
    if (!m_ergebnis.valid())
        return std::nullopt;
    return m_ergebnis.get();
}

bool FruehDekodierung::fertig() const
{
    return !m_ergebnis.valid() || m_ergebnis.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}
