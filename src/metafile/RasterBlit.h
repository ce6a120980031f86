// Blits with ternary raster operations, worked out pixel by pixel in device space.
#pragma once

#include "Canvas.h"

namespace metafile {

// True when the operation's result depends on the source, the pattern or the destination.
constexpr bool ropUsesSource(uint8_t code) { return (code & 0x33) != ((code >> 2) & 0x33); }
constexpr bool ropUsesPattern(uint8_t code) { return (code & 0x0F) != (code >> 4); }
constexpr bool ropUsesDestination(uint8_t code) { return (code & 0x55) != ((code >> 1) & 0x55); }

// Draws image's source rectangle onto target (logical units, mapped by paint.transform) through
// paint.rop. painter has no transform of its own. What is already drawn is read back where the
// painter paints on an image; where nothing is drawn yet, the operation finds the white page a
// metafile is made for if that shows its source, else black, and leaves the pixel transparent
// where it would leave any colour as it was.
void rasterBlit(QPainter& painter, const QRectF& target, const QImage& image, const QRectF& source, const Paint& paint);

}  // namespace metafile
