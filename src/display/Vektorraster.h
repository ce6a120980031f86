// Metafiles are drawn into rasters on the worker thread, at the size they are shown, so that no
// metafile is ever played on the GUI thread: however long a file takes, the program keeps taking
// keys, and a newer request stops the drawing between two of its records.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

class CancelFlag;
class MetafilePicture;

namespace Vektorraster {

// Above this many pixels only the part of a picture around the window is drawn, not the whole.
constexpr qint64 kGanzBisPixel = 16LL * 1024 * 1024;

// The picture drawn `groesse` device pixels large, only its part `teil` (in those pixels) into a
// raster of that part's size, on a transparent ground. Null when stopped or out of memory.
QImage Zeichnen(const MetafilePicture& bild, QSize groesse, const QRect& teil, const CancelFlag& abbruch);

// The part worth drawing when the picture is `groesse` large and `sichtbar` of it is in the window:
// all of it when it is small enough, else the visible part with half its size to spare on each side.
QRect Teil(QSize groesse, const QRect& sichtbar);

}  // namespace Vektorraster
