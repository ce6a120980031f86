// The picture loader of the platform layer: reads a BMP, DIB, ICO, CUR, GIF or JPEG file into a
// raster picture, decoded straight to the size it is shown at, and a WMF or EMF file into a
// metafile picture that is drawn as vectors.
#pragma once

#include "platform/ByteTable.h"
#include "platform/JpegDecoder.h"
#include "platform/PictureFormat.h"
#include "platform/PixelBufferPool.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

class CancelFlag;
class MetafilePicture;
class QFile;

struct LoadedPicture {
    bool ok = false;
    QSize naturalSize;  // the file's true size in pixels, whatever was decoded
    // Decoded raster, possibly reduced (see PictureLoader::load); 24-bit pictures come as
    // QImage::Format_RGB888 with rows padded to 4 bytes, like a Windows bitmap.
    QImage image;
    // JPEG and plain 24-bit BMP/DIB are; palette, 16-bit and 32-bit BMPs, GIF, ICO and CUR are not.
    bool is24Bit = false;
    // The format found in the content.
    PictureFormat format = PictureFormat::Unknown;
    // A WMF or EMF picture: drawn as vectors at whatever size it is shown (image stays null).
    std::shared_ptr<const MetafilePicture> metafile;
    // The table every colour byte went through at full resolution, before the picture was reduced
    // (see PictureLoader::load); none when the pixels are as the file holds them.
    std::optional<ByteTable> byteTable;
    bool reduced() const { return ok && !image.isNull() && image.size() != naturalSize; }
};

// A function of the file alone: no widget access, safe on a worker thread with one loader object
// per thread. Keeps and reuses its decode buffers between calls, because the first touch of fresh
// memory costs more than the decode itself.
//
// Final scaling: a picture larger than coverSize comes back at exactly fittedSize(natural, coverSize),
// smoothly scaled in the loader. So the picture is ready to paint 1:1 at the size it is shown at: repaints are plain
// copies, the brightness pass touches no more pixels than are shown, and the work runs on the
// loading thread rather than in every paint. The widget scales only when the user zooms.
class PictureLoader {
public:
    PictureLoader();

    // A GIF gives its first frame, an icon or cursor file its first image. A JPEG photo comes
    // upright: turned and mirrored as its Exif orientation says, and its natural size is the
    // upright one.
    //
    // coverSize: the size (device pixels) the picture will at most be shown at. The picture is
    // decoded straight to the smallest size that still covers the picture fitted into coverSize
    // (keeping proportions) - JPEG through libjpeg-turbo's 1/2, 1/4, 1/8 scaled decoding, other
    // formats at full size - and smoothly scaled the rest of the way. An empty coverSize means full
    // resolution. A picture that fits into coverSize is never enlarged.
    //
    // byteTable: every colour byte of a 24-bit picture (JPEG, 24-bit BMP/DIB) goes through it at
    // full resolution, before anything averages the pixels, so a reduced copy shows what the
    // table makes of the whole picture (a JPEG is then decoded whole, not scaled). Other pictures
    // ignore it and come without a byteTable.
    //
    // cancel: once raised (from any thread), the decode stops at its next row and nothing is
    // loaded.
    LoadedPicture load(const QString& path, QSize coverSize = {}, const ByteTable* byteTable = nullptr,
                       const CancelFlag* cancel = nullptr);
    // As load(), for JPEG content only, which is decoded here without the toolkit's help: it may
    // run before the application object exists. Anything else comes back not loaded, with its
    // format named.
    LoadedPicture loadJpegOnly(const QString& path, QSize coverSize, const CancelFlag* cancel);
    // A painter takes the application's font, so painting needs the application object: while
    // held, a decode that scales by painting waits at that point until it is let go (by the start,
    // once the application object is made). Not held unless someone holds it.
    static void holdPainting(bool hold);

    // Decoded-size limit: a picture of more pixels is not loadable, and is refused from its header
    // before any pixel memory is taken. 128 Mi pixels (16384 x 8192) keep large stitched panoramas
    // loadable while the largest full-resolution decode stays at 512 MiB (4 bytes a pixel).
    static constexpr qint64 kMaxPixels = 128LL * 1024 * 1024;
    // A plain 24-bit BMP shown through a brightness table is read without averaging blocks up to
    // this many pixels (144 MiB), so that its one reduction comes after the table.
    static constexpr qint64 kMaxWholeRowsThroughTable = 48LL * 1024 * 1024;
    // JPEG data is read whole; a larger file is refused.
    static constexpr qint64 kMaxJpegFileBytes = 512LL * 1024 * 1024;
    // Metafiles are read whole and played from memory.
    static constexpr qint64 kMaxMetafileBytes = 256LL * 1024 * 1024;

    // The size a picture of the given natural size is shown at when fitted into coverSize keeping
    // its proportions (the other side rounded to the nearest pixel); the natural size when it fits
    // or coverSize is empty.
    static QSize fittedSize(QSize natural, QSize coverSize);

    // Bytes of pixel and file memory the loader keeps for the next picture.
    qsizetype keptBufferBytes() const;
    // How many pixel buffers were taken fresh from the system since the loader was made.
    int pixelBuffersCreated() const { return m_pool.blocksCreated(); }

private:
    LoadedPicture load(const QString& path, QSize coverSize, const ByteTable* byteTable, const CancelFlag* cancel,
                       bool jpegOnly);
    LoadedPicture loadJpeg(QFile& file, QSize coverSize, const ByteTable* byteTable, LoadedPicture result,
                           const CancelFlag* cancel);
    LoadedPicture loadMetafile(QFile& file, LoadedPicture result);
    LoadedPicture loadWithQt(QFile& file, QByteArrayView head, QSize coverSize, const ByteTable* byteTable,
                             LoadedPicture result, const CancelFlag* cancel);
    LoadedPicture loadBmpRows(QFile& file, const BmpHeaderInfo& bmp, QSize coverSize, const ByteTable* byteTable,
                              LoadedPicture result, const CancelFlag* cancel);
    // A 24-bit picture decoded at a reduced size, reduced the rest of the way to `fitted`. With a
    // table, what is left of the reduction averages areas, so that no pixel is averaged before it
    // went through the table: `decoded` went through it already (tableDone) or goes now.
    LoadedPicture finish24Bit(QImage& decoded, QSize fitted, QSize natural, const ByteTable* byteTable, bool tableDone,
                              LoadedPicture result);
    QImage scaleTo(const QImage& source, QSize size, QImage::Format format);
    // The picture's colours through the table, then reduced to size by area means, in kept memory.
    QImage throughTable(QImage& picture, QSize size, const ByteTable& table);
    bool readWhole(QFile& file, qsizetype& size);

    PixelBufferPool m_pool;
    JpegDecoder m_jpeg;
    std::unique_ptr<uchar[]> m_fileBytes;
    qsizetype m_fileCapacity = 0;
};
