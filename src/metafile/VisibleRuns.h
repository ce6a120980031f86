// The parts of a device-space path that can show in an area. Strokes and fills are cut to it
// before Qt's stroker, dasher and rasterizer see them, so that what they cost follows what is
// visible, not how far a mapping throws the drawing beyond the picture.
#pragma once

#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>
#include <vector>

namespace metafile {

struct Run {
    QPainterPath path;              // device pixels: one figure, or a stretch of one
    qreal lengthBefore = 0;         // how far along its figure the run starts, in the length space
};

// The length of what of path's lines (and, about, curves) lies in area (device pixels): what
// a rasterizer works along when it fills or strokes the path there. closed: each figure has
// its closing line too, as a fill has.
qreal lengthWithin(const QPainterPath& path, const QRectF& area, bool closed);

// The runs of path that come into area (device pixels). Lines and curves outside it are left
// out; curves that cross its edge are split so that only the parts near it remain. A figure
// that lies wholly inside stays one run, closed if it was. A run of more than maxElements is
// cut into several, which follow each other. dashed: where each run starts along its figure is
// measured, after mapping by lengthSpace (the space in which the dashes are laid out); else a
// closed figure that is cut open is joined again where it started, so that its corner there
// stays a corner. steps: how many lines and parts of curves were looked at.
std::vector<Run> visibleRuns(const QPainterPath& path, const QRectF& area, const QTransform& lengthSpace, bool dashed,
                             int maxElements, qint64& steps);

// Appends the cubic curve from the polygon's last point, flattened to within tolerance where it
// comes near area. Elsewhere the line between the ends of the part stands in for it, which
// changes nothing inside area: a curve stays within the hull of its control points.
void appendCurve(QPolygonF& polygon, const QPointF& c1, const QPointF& c2, const QPointF& end, const QRectF& area,
                 qreal tolerance);

}  // namespace metafile
