// Drawing operations shared by the WMF and EMF players: they turn the device context's
// state into canvas calls, and collect figures into the open path instead while a path
// bracket is open.
#pragma once

#include "Budget.h"
#include "ByteReader.h"
#include "Canvas.h"
#include "DeviceContext.h"

#include <QPolygonF>
#include <functional>

namespace metafile {

enum ArcKind { ArcOnly, ArcPie, ArcChord };

// Raster operations of blits that records name.
enum : uint32_t { SRCCOPY = 0x00CC0020 };

class GdiPlayer {
public:
    static constexpr int kMaxRecords = 4'000'000;
    // Points of one figure or path beyond which it is left undrawn: each costs some tens of
    // bytes on its way to the screen.
    static constexpr int kMaxPoints = 1 << 20;

    GdiPlayer(Canvas& canvas, const QRectF& target, Budget& budget);

protected:
    Paint paint(bool stroke, bool fill) const;
    QBrush toBrush(const BrushSpec& brush) const;

    // Fills and strokes a closed shape (or adds it to the open path).
    void drawShape(QPainterPath shape, bool fill = true, bool stroke = true);
    void polyline(QPolygonF points);
    void polygon(QPolygonF points);
    void polyPolygon(const std::vector<QPolygonF>& polygons);
    // continuing: from the current position, in the open figure (PolyBezierTo)
    void polyBezier(const QPolygonF& points, bool continuing);
    void polylineTo(const QPolygonF& points);
    void polyDraw(const QPolygonF& points, QByteArrayView types);
    void moveTo(const QPointF& p);
    void lineTo(const QPointF& p);
    void rectangle(const QRectF& box);
    void roundRect(const QRectF& box, const QSizeF& corner);
    void ellipse(const QRectF& box);
    void arc(const QRectF& box, const QPointF& start, const QPointF& end, ArcKind kind, bool toCurrent = false);
    void angleArc(const QPointF& centre, qreal radius, qreal startDegrees, qreal sweepDegrees);
    void fillRect(const QRectF& box, const QBrush& brush, QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver);

    // Text at a logical point, drawn with the selected font, colours and alignment.
    void text(QPointF anchor, const QString& text, std::vector<qreal> advances, uint32_t options, const QRectF* rect);
    // Copies a bitmap onto a logical rectangle using a ternary raster operation; where a mask is
    // given, its black pixels take the operation maskedCode.
    void blit(const QRectF& dest, const QImage& image, const QRectF& source, uint32_t rop, const QImage& mask = {},
              uint8_t maskedCode = 0xAA);
    // A bitmap just decoded, its pixels charged to the budget.
    QImage charged(QImage image);
    // The selected brush as an opaque tile of device pixels.
    QImage brushTile() const;

    // A bitmap mapped onto any parallelogram of logical space.
    void drawMapped(const QImage& image, const QRectF& source, const QTransform& sourceToLogical);
    // Colours running across the logical rectangle between two corners (horizontally or
    // vertically), or over a triangle.
    void gradientRect(const QPointF& from, const QPointF& to, const QColor& fromColor, const QColor& toColor, bool vertical);
    void gradientTriangle(const QPolygonF& corners, const QColor colors[3]);

    // Region operations; toTarget maps the region's units (logical for WMF, device for EMF).
    enum RegionOp { RegionFill, RegionFrame, RegionInvert };
    void regionOp(const QPainterPath& region, const QTransform& toTarget, RegionOp op, const QBrush& brush = {},
                  const QSizeF& frame = {});

    void offsetClip(const QPointF& logicalOffset);
    void intersectClipRect(const QRectF& logical);
    void excludeClipRect(const QRectF& logical);
    // region in metafile device units
    void selectClipRegion(const QPainterPath& region, int mode);

    void beginPath();
    void endPath() { m_inPath = false; }
    void abortPath();
    void closeFigure();
    void fillPath(bool fill, bool stroke);
    void selectClipPath(int mode);
    void widenPath();

    static QRectF normalizedBox(qreal left, qreal top, qreal right, qreal bottom);
    // A COLORREF: red, green, blue and a byte that is not used.
    static QColor colorRef(ByteReader& r);
    static GdiObject stockObject(uint32_t index);
    // The object as the table keeps it. Its bitmaps and region count against the bytes a drawing
    // may keep; without room a brush keeps only its colour, and a region shows nothing.
    GdiObject kept(GdiObject object);
    void select(const GdiObject& object);

    // Reading a record of this many bytes and handing it on, in work units.
    static qint64 recordWork(qsizetype bytes) { return work::kElement + bytes / 16; }

    DeviceContext dc;
    Canvas& m_canvas;
    Budget& m_budget;
    QRectF m_target;
    qreal m_devicePixel = 1;        // target pixels per metafile device pixel
    bool m_inPath = false;
    bool m_figureOpen = false;      // the path's last figure goes on from the current position
    QPainterPath m_path;            // logical units of the open or last closed path
    int m_records = 0;

private:
    // Lines and curves that go on from the current position: inside a path bracket they extend
    // the open figure (or start one at the current position); outside it they are drawn at once.
    // extend adds at most this many elements and returns whether the figure is still open afterwards.
    void fromCurrent(qsizetype elements, const std::function<bool(QPainterPath&)>& extend);
    // Elements of an arc of a turn at most, and a line to its start.
    static constexpr qsizetype kArcElements = 16;
    QPainterPath takePath(bool closeFigures);
    // Whether the open path may grow by this many elements; what does not fit is left out.
    bool pathHasRoom(qsizetype elements);
    QPen toPen(const PenSpec& pen) const;
    QFont makeFont(const FontSpec& font, qreal& emHeight) const;
};

}  // namespace metafile
