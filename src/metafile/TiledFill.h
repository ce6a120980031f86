// Filling large device-space paths piece by piece. QPainter's antialiasing rasterizer works in a
// small fixed pool of cells; a path with many edges overflows it and is rasterized again for
// every band it is split into, so its cost grows with the square of its size. Cut into pieces
// of the picture whose edges fit, the same path costs time in proportion to its size.
#pragma once

#include "Budget.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>

namespace metafile {

// Fills path (device pixels, untransformed painter) with brush, cutting it along whole pixel
// lines into pieces that are each filled with the path's own fill rule. The pieces meet
// exactly, so the result is the same as one fill. The fill is charged to the budget before it
// starts and left out when it does not fit.
void fillInPieces(QPainter& painter, const QPainterPath& path, const QBrush& brush, Budget& budget);

// What of a fill's path (device pixels) lies in area, as closed polygons with the path's fill
// rule: inside area it fills exactly the same pixels (curves a tenth of a pixel close).
QPainterPath cutToArea(const QPainterPath& path, const QRectF& area);

}  // namespace metafile
