// The picture a start will show first, decoded from the first moment of the program on a thread of
// its own, while the toolkit, the settings and the windows get ready (they take as long as decoding
// a photo of a few megapixels). The start-up hands it to the prefetcher, which takes it as its own
// decode of that picture only when file, size and brightness are the ones the start-up asks for
// and the file is unchanged since (see BildVorlader::startbild). Only JPEG content is decoded this
// early: the other formats need the toolkit's readers or its fonts, so they are left to the
// prefetcher.
#pragma once

#include "display/BildVorlader.h"

#include <QSize>
#include <QString>

#include <future>
#include <memory>
#include <optional>
#include <thread>

class CancelFlag;

class FruehDekodierung {
public:
    // Begins at once. abdeckung: the size (device pixels) the picture will be shown at most at.
    FruehDekodierung(const QString& pfad, QSize abdeckung);
    // Stops the decode and waits for it to notice.
    ~FruehDekodierung();
    FruehDekodierung(const FruehDekodierung&) = delete;
    FruehDekodierung& operator=(const FruehDekodierung&) = delete;

    const QString& pfad() const { return m_pfad; }
    QSize abdeckung() const { return m_abdeckung; }
    // Raised (from any thread), the decode stops at its next row and gives nothing loaded.
    const std::shared_ptr<CancelFlag>& abbruch() const { return m_abbruch; }

    // The decode has ended (done or stopped).
    bool fertig() const;
    // Waits for the decode and hands it over, once: nothing when the file is no JPEG (or it was
    // handed over already). For one thread at a time.
    std::optional<BildVorlader::Dekodiert> abholen();

private:
    QString m_pfad;
    QSize m_abdeckung;
    std::shared_ptr<CancelFlag> m_abbruch;
    std::future<std::optional<BildVorlader::Dekodiert>> m_ergebnis;
    std::thread m_faden;
};
