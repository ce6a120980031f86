// Playback of Windows Metafiles (with or without the Aldus placeable header), one handler per
// record type.
#pragma once

#include "ByteReader.h"
#include "GdiPlayer.h"

#include <atomic>
#include <optional>
#include <span>

namespace metafile {

struct WmfHeader {
    bool placeable = false;
    QRect box;                      // placeable bounding box, logical units
    int unitsPerInch = 0;
    qsizetype recordsStart = 0;
    int objectCount = 0;
    std::optional<QRectF> window;   // first window origin and extent the records set
};

// nullopt when the bytes are no WMF or the header is broken.
std::optional<WmfHeader> readWmfHeader(QByteArrayView bytes);

class WmfPlayer final : private GdiPlayer {
public:
    // Plays the records so that `window` (logical units) fills `target`.
    WmfPlayer(Canvas& canvas, const QRectF& target, const WmfHeader& header, const QRectF& window);
    // stop: when given and set (from any thread), playing ends before the next record.
    void play(QByteArrayView bytes, const std::atomic<bool>* stop = nullptr);
    // True when a blit of the file combines its pixels with what is already drawn.
    static bool readsDestination(QByteArrayView bytes, const WmfHeader& header);
    // The EMF that a WMF made from it carries in its comment records, when all of it is there.
    static std::optional<QByteArray> embeddedEmf(QByteArrayView bytes, const WmfHeader& header);

    using Handler = void (WmfPlayer::*)(ByteReader&);
    struct Entry {
        uint16_t function;
        Handler handler;            // records left out on purpose are listed in NotDrawn.h
        const char* name;
    };
    static std::span<const Entry> records();

private:
    QPointF point(ByteReader& r);   // y then x, as WMF stores them
    QRectF box(ByteReader& r);      // bottom, right, top, left
    QPolygonF points(ByteReader& r, int count);
    void addObject(GdiObject object);
    // A device-dependent bitmap: its header, skipBeforeBits bytes, its rows. One-bit pixels take
    // the colours zero and one.
    QImage bitmap16(ByteReader& r, qsizetype skipBeforeBits, QRgb zero, QRgb one, int* bitsPixel = nullptr);
    void blitRecord(ByteReader& r, bool stretch, bool dib);

    void metaSetBkColor(ByteReader& r);
    void metaSetBkMode(ByteReader& r);
    void metaSetMapMode(ByteReader& r);
    void metaSetRop2(ByteReader& r);
    void metaSetPolyFillMode(ByteReader& r);
    void metaSetTextColor(ByteReader& r);
    void metaSetTextAlign(ByteReader& r);
    void metaSetWindowOrg(ByteReader& r);
    void metaSetWindowExt(ByteReader& r);
    void metaSetViewportOrg(ByteReader& r);
    void metaSetViewportExt(ByteReader& r);
    void metaOffsetWindowOrg(ByteReader& r);
    void metaScaleWindowExt(ByteReader& r);
    void metaLineTo(ByteReader& r);
    void metaMoveTo(ByteReader& r);
    void metaExcludeClipRect(ByteReader& r);
    void metaIntersectClipRect(ByteReader& r);
    void metaArc(ByteReader& r);
    void metaPie(ByteReader& r);
    void metaChord(ByteReader& r);
    void metaEllipse(ByteReader& r);
    void metaRectangle(ByteReader& r);
    void metaRoundRect(ByteReader& r);
    void metaPatBlt(ByteReader& r);
    void metaSaveDc(ByteReader& r);
    void metaRestoreDc(ByteReader& r);
    void metaSetPixel(ByteReader& r);
    void metaTextOut(ByteReader& r);
    void metaExtTextOut(ByteReader& r);
    void metaPolygon(ByteReader& r);
    void metaPolyline(ByteReader& r);
    void metaPolyPolygon(ByteReader& r);
    void metaSelectObject(ByteReader& r);
    void metaDeleteObject(ByteReader& r);
    void metaSelectClipRegion(ByteReader& r);
    void metaFillRegion(ByteReader& r);
    void metaPaintRegion(ByteReader& r);
    void metaFrameRegion(ByteReader& r);
    void metaInvertRegion(ByteReader& r);
    void metaOffsetClipRgn(ByteReader& r);
    const QPainterPath* region(uint16_t index) const;
    void metaCreatePenIndirect(ByteReader& r);
    void metaCreateBrushIndirect(ByteReader& r);
    void metaCreateFontIndirect(ByteReader& r);
    void metaDibCreatePatternBrush(ByteReader& r);
    void metaCreatePatternBrush(ByteReader& r);
    void metaCreatePalette(ByteReader& r);
    void metaCreateRegion(ByteReader& r);
    void metaBitBlt(ByteReader& r);
    void metaStretchBlt(ByteReader& r);
    void metaDibBitBlt(ByteReader& r);
    void metaDibStretchBlt(ByteReader& r);
    void metaStretchDib(ByteReader& r);
    void metaSetDibToDev(ByteReader& r);

    uint16_t m_function = 0;
    qsizetype m_recordWords = 0;
};

}  // namespace metafile
