// The shown picture at the resolution a display size needs. Pictures are decoded for the screen;
// whatever is drawn larger than that copy (zoomed in, a restored zoomed section, the zoom window)
// comes from the file decoded again at full resolution, with the current brightness applied, on
// the worker that decodes every picture. Until it is there, the copy on screen is stretched. The
// file is read again only while it is provably the one shown (its stamp unchanged before and after
// the decode); a file changed since stays stretched. That decode has its own memory cap: a larger
// picture gives the largest size within it. The result is kept until the next picture is shown,
// so further zooming costs no second decode.
#pragma once

#include "display/BildVorlader.h"
#include "display/Dateistempel.h"
#include "display/Helligkeit.h"
#include "platform/PictureLoader.h"

#include <QString>

#include <functional>
#include <optional>

class VolleAufloesung {
public:
    // Pixels of the largest decode for zoom: 48 Mi pixels (144 MiB as a 24-bit picture) take a
    // 50-megapixel camera's picture whole.
    static constexpr qint64 kGroesstePixel = 48LL * 1024 * 1024;

    // The size a picture of the natural size is decoded at for zoom: the natural size within the
    // cap; above it the largest half, quarter or eighth within it (a JPEG decodes straight to those,
    // without first taking the memory of the full size).
    static QSize Zielgroesse(QSize natuerlich, qint64 grenze = kGroesstePixel);

    // A picture as decoded and as shown: the same picture, since the decode applies the
    // brightness (the working copy and its source of the brightness operation).
    struct Paar {
        LoadedPicture quelle;
        LoadedPicture bild;
    };

    // angekommen: called on the GUI thread when a decode asked for by Fuer() is there.
    explicit VolleAufloesung(BildVorlader& vorlader, std::function<void()> angekommen, qint64 grenze = kGroesstePixel);
    ~VolleAufloesung();
    VolleAufloesung(const VolleAufloesung&) = delete;
    VolleAufloesung& operator=(const VolleAufloesung&) = delete;

    // The picture to draw `geraet` device pixels large in place of `angezeigt` (the decode for the
    // screen of `datei`, made while the file had `stempel`): the kept result when there is one.
    // Otherwise nothing, and the decode is asked for unless it is under way (`angekommen` follows).
    // Nothing is decoded when `angezeigt` is at least that large or already the largest there is.
    // With a brightness table, a 24-bit picture goes through it in the decode, before a picture
    // above the cap is reduced; other pictures stay as decoded, as on screen.
    std::optional<Paar> Fuer(const LoadedPicture& angezeigt, QSize geraet, const QString& datei, const Dateistempel& stempel,
                             const Helligkeit::Tabelle* tabelle);

    // A new picture is shown: the kept result no longer applies, and a decode under way stops.
    void Vergessen();

private:
    // What a decode was asked for.
    struct Wunsch {
        QString datei;
        Dateistempel stempel;
        QSize natuerlich;
        std::optional<Helligkeit::Tabelle> tabelle;
        bool operator==(const Wunsch&) const = default;
    };
    // On the worker.
    static std::optional<Paar> dekodieren(const Wunsch& wunsch, QSize ziel, const BildVorlader::Ladefunktion& laden,
                                          const CancelFlag& abbruch);
    void ankunft(const Wunsch& wunsch, std::optional<Paar> paar);

    BildVorlader& m_vorlader;
    std::function<void()> m_angekommen;
    qint64 m_grenze;
    std::optional<Wunsch> m_gewuenscht;  // under way or done
    std::optional<Paar> m_paar;
};
