// The shown picture at the resolution a display size needs. Pictures are decoded for the screen;
// whatever is drawn larger than that copy (zoomed in, a restored zoomed section, the zoom window)
// comes from the file decoded again at full resolution, with the current brightness applied.
// That decode has its own memory cap: a larger picture gives the largest size within it. The
// result is kept until the next picture is shown, so further zooming costs no second decode.
#pragma once

#include "display/Helligkeit.h"
#include "platform/PictureLoader.h"

#include <QString>

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

    // The picture to draw `geraet` device pixels large in place of `angezeigt` (the decode for the
    // screen of `datei`): nothing when `angezeigt` is at least that large or already the largest
    // there is, or when the file changed its size or vanished (what is shown stays). With a
    // brightness table, a 24-bit picture goes through it in the decode; other pictures stay as
    // decoded, as on screen.
    std::optional<Paar> Fuer(PictureLoader& lader, const LoadedPicture& angezeigt, QSize geraet, const QString& datei,
                             const Helligkeit::Tabelle* tabelle);

    // A new picture is shown: the kept result no longer applies.
    void Vergessen();

    explicit VolleAufloesung(qint64 grenze = kGroesstePixel)
        : m_grenze(grenze)
    {
    }

private:
    qint64 m_grenze;
    std::optional<Paar> m_paar;
    QString m_datei;
    std::optional<Helligkeit::Tabelle> m_tabelle;
};
