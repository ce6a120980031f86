// Recognises a picture file's format from its first bytes, and reads the facts of a BMP/DIB header
// that the picture loader needs before it decodes anything.
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

enum class PictureFormat { Unknown, Bmp, Dib, Jpeg, Gif, Ico, Cur, Wmf, Emf };

// Number of leading bytes detectPictureFormat looks at (the EMF signature sits at offset 40).
inline constexpr qsizetype kFormatProbeBytes = 64;

// The format by content alone; the file name plays no part. Dib is a device-independent bitmap
// without the "BM" file header (as the clipboard stores it); a .dib file with the header is Bmp.
PictureFormat detectPictureFormat(QByteArrayView head);

// The header of a BMP (with its 14-byte file header) or a header-less DIB.
struct BmpHeaderInfo {
    bool valid = false;       // the header could be read and its numbers make sense
    qint64 width = 0;         // pixels
    qint64 height = 0;        // pixels, positive also for top-down pictures
    bool topDown = false;     // the first row stored is the top one (a negative height in the header)
    int bitsPerPixel = 0;
    quint32 compression = 0;  // 0 uncompressed, 1 RLE8, 2 RLE4, 3 bit fields, ...
    // Bytes the pixel rows need when stored uncompressed: for such a picture the file must be at
    // least pixelDataOffset + pixelDataBytes long, or it is truncated.
    qint64 pixelDataOffset = 0;
    qint64 pixelDataBytes = 0;
    bool uncompressed() const { return compression == 0 || compression == 3 || compression == 6; }
    // Plain 24 bits per pixel, the one layout whose pixel memory the brightness pass may rewrite.
    bool is24Bit() const { return valid && bitsPerPixel == 24 && compression == 0; }
};
BmpHeaderInfo readBmpHeader(QByteArrayView bytes, PictureFormat format);

// False when the data of a GIF's first picture runs past the end of the file (Qt's reader would
// show the part that is there). Blocks it does not know leave the verdict to the reader.
bool gifFirstFrameComplete(QByteArrayView bytes);
