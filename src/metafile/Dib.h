// Device-independent bitmaps as metafiles embed them: a BITMAPINFO (header and colour table)
// followed by the pixel rows, either packed together (WMF) or at separate offsets (EMF).
#pragma once

#include <QByteArrayView>
#include <QImage>

namespace metafile {

struct DibOptions {
    bool keepAlpha = false;         // 32-bit rows carry alpha (AlphaBlend with source alpha)
    bool paletteIndices = false;    // DIB_PAL_COLORS: the colour table holds palette indexes
};

// A null image when the header is broken, the size is unreasonable or the bits are missing.
QImage decodeDib(QByteArrayView info, QByteArrayView bits, const DibOptions& options = {});
// info and bits in one block; the bits start after the colour table.
QImage decodePackedDib(QByteArrayView dib, const DibOptions& options = {});
// An old device-dependent bitmap: rows of widthBytes bytes from the top down. One-bit pixels
// take the colours zero and one (the text and background colours where it is drawn).
QImage decodeBitmap16(int width, int height, int widthBytes, int bitsPixel, QByteArrayView bits, QRgb zero, QRgb one);
// True when the rows are stored bottom-up (positive height), which turns DIB source rectangles around.
bool dibIsBottomUp(QByteArrayView info);

}  // namespace metafile
