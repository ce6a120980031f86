// Playback of Enhanced Metafiles, one handler per record type. EMF+ records ride in
// comments and are skipped, so dual files draw their GDI records.
#pragma once

#include "ByteReader.h"
#include "GdiPlayer.h"

#include <atomic>
#include <optional>
#include <span>

namespace metafile {

struct EmfHeader {
    QRect bounds;                   // device units, inclusive
    QRect frame;                    // 0.01 mm, inclusive
    QSize device;                   // reference device, pixels
    QSizeF millimeters;             // reference device, mm
    int handles = 0;
};

std::optional<EmfHeader> readEmfHeader(QByteArrayView bytes);

class EmfPlayer final : private GdiPlayer {
public:
    EmfPlayer(Canvas& canvas, const QRectF& target, const EmfHeader& header);
    // stop: when given and set (from any thread), playing ends before the next record.
    void play(QByteArrayView bytes, const std::atomic<bool>* stop = nullptr);
    // True when a blit of the file combines its pixels with what is already drawn.
    static bool readsDestination(QByteArrayView bytes);

    using Handler = void (EmfPlayer::*)(ByteReader&);
    struct Entry {
        uint32_t type;
        Handler handler;            // records left out on purpose are listed in NotDrawn.h
        const char* name;
    };
    static std::span<const Entry> records();

private:
    // The handler's reader spans the whole record and starts after type and size, so the
    // offsets that records give (counted from the record start) can be used as they are.
    QPolygonF readPoints(ByteReader& r, uint32_t count, bool shortPoints);
    QRectF rectL(ByteReader& r);
    QPointF pointL(ByteReader& r);
    QImage bitmap(ByteReader& r, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits, uint32_t usage, bool alpha = false);
    std::optional<QPainterPath> regionData(ByteReader& r, uint32_t size);
    std::optional<QTransform> xform(ByteReader& r);
    void poly(ByteReader& r, bool shortPoints, int kind);
    void polyPoly(ByteReader& r, bool shortPoints, bool closed);
    void polyDraw(ByteReader& r, bool shortPoints);

    void emrPolyBezier(ByteReader& r);
    void emrPolygon(ByteReader& r);
    void emrPolyline(ByteReader& r);
    void emrPolyBezierTo(ByteReader& r);
    void emrPolylineTo(ByteReader& r);
    void emrPolyPolyline(ByteReader& r);
    void emrPolyPolygon(ByteReader& r);
    void emrPolyBezier16(ByteReader& r);
    void emrPolygon16(ByteReader& r);
    void emrPolyline16(ByteReader& r);
    void emrPolyBezierTo16(ByteReader& r);
    void emrPolylineTo16(ByteReader& r);
    void emrPolyPolyline16(ByteReader& r);
    void emrPolyPolygon16(ByteReader& r);
    void emrPolyDraw(ByteReader& r);
    void emrPolyDraw16(ByteReader& r);
    void emrSetWindowExtEx(ByteReader& r);
    void emrSetWindowOrgEx(ByteReader& r);
    void emrSetViewportExtEx(ByteReader& r);
    void emrSetViewportOrgEx(ByteReader& r);
    void emrScaleViewportExtEx(ByteReader& r);
    void emrScaleWindowExtEx(ByteReader& r);
    void emrSetPixelV(ByteReader& r);
    void emrSetMapMode(ByteReader& r);
    void emrSetBkMode(ByteReader& r);
    void emrSetPolyFillMode(ByteReader& r);
    void emrSetRop2(ByteReader& r);
    void emrSetTextAlign(ByteReader& r);
    void emrSetTextColor(ByteReader& r);
    void emrSetBkColor(ByteReader& r);
    void emrMoveToEx(ByteReader& r);
    void emrLineTo(ByteReader& r);
    void emrExcludeClipRect(ByteReader& r);
    void emrIntersectClipRect(ByteReader& r);
    void emrExtSelectClipRgn(ByteReader& r);
    void emrSaveDc(ByteReader& r);
    void emrRestoreDc(ByteReader& r);
    void emrSetWorldTransform(ByteReader& r);
    void emrModifyWorldTransform(ByteReader& r);
    void emrSelectObject(ByteReader& r);
    void emrDeleteObject(ByteReader& r);
    void emrCreatePen(ByteReader& r);
    void emrExtCreatePen(ByteReader& r);
    void emrCreateBrushIndirect(ByteReader& r);
    void emrCreateDibPatternBrushPt(ByteReader& r);
    void emrCreateMonoBrush(ByteReader& r);
    void emrCreatePalette(ByteReader& r);
    void emrExtCreateFontIndirectW(ByteReader& r);
    void emrAngleArc(ByteReader& r);
    void emrEllipse(ByteReader& r);
    void emrRectangle(ByteReader& r);
    void emrRoundRect(ByteReader& r);
    void emrArc(ByteReader& r);
    void emrChord(ByteReader& r);
    void emrPie(ByteReader& r);
    void emrArcTo(ByteReader& r);
    void emrSetArcDirection(ByteReader& r);
    void emrBeginPath(ByteReader& r);
    void emrEndPath(ByteReader& r);
    void emrCloseFigure(ByteReader& r);
    void emrFillPath(ByteReader& r);
    void emrStrokeAndFillPath(ByteReader& r);
    void emrStrokePath(ByteReader& r);
    void emrWidenPath(ByteReader& r);
    void emrSelectClipPath(ByteReader& r);
    void emrAbortPath(ByteReader& r);
    void emrFillRgn(ByteReader& r);
    void emrPaintRgn(ByteReader& r);
    void emrBitBlt(ByteReader& r);
    void emrStretchBlt(ByteReader& r);
    void emrSetDiBitsToDevice(ByteReader& r);
    void emrStretchDiBits(ByteReader& r);
    void emrAlphaBlend(ByteReader& r);
    void emrTransparentBlt(ByteReader& r);
    void emrMaskBlt(ByteReader& r);
    void emrPlgBlt(ByteReader& r);
    void emrGradientFill(ByteReader& r);
    void emrFrameRgn(ByteReader& r);
    void emrInvertRgn(ByteReader& r);
    void emrOffsetClipRgn(ByteReader& r);
    // A brush of the object table or a stock one.
    std::optional<BrushSpec> brushObject(uint32_t index) const;
    struct MaskedSource;
    MaskedSource maskedSource(ByteReader& r, QPointF source);
    void emrExtTextOutA(ByteReader& r);
    void emrExtTextOutW(ByteReader& r);
    void extTextOut(ByteReader& r, bool wide);
    void emrSmallTextOut(ByteReader& r);
};

}  // namespace metafile
