// Plain 24-bit BMP pictures read row by row straight into the picture's memory, reduced on the way
// by averaging whole blocks of pixels when the picture is shown smaller: the largest picture
// allowed never takes its full size in memory, and a read can stop between two rows.
#pragma once

#include "platform/ByteTable.h"
#include "platform/PictureFormat.h"

#include <QImage>

class CancelFlag;
class QIODevice;

namespace BmpRows {

// The size the rows come out at when `factor` × `factor` blocks are averaged (a last block that
// is cut off at the right or bottom edge averages the pixels it has).
QSize reducedSize(QSize natural, int factor);

// Reads the rows of the picture `info` describes (is24Bit()) from `file` into `target`, whose size
// must be reducedSize(natural, factor) and whose format is Format_RGB888 or Format_RGB32. With a
// table, every byte of a row goes through it before the row is averaged into its blocks. False when
// the file ends early, a read fails or `cancel` is raised.
bool read(QIODevice& file, const BmpHeaderInfo& info, int factor, const ByteTable* table, QImage& target,
          const CancelFlag* cancel);

}  // namespace BmpRows
