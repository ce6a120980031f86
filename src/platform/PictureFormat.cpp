// Format recognition by signature and the BMP/DIB header reader of the picture loader.
#include "platform/PictureFormat.h"

#include <limits>

namespace {

quint16 u16(QByteArrayView b, qsizetype at)
{
    if (at < 0 || at + 2 > b.size())
        return 0;
    return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8);
}

quint32 u32(QByteArrayView b, qsizetype at)
{
    if (at < 0 || at + 4 > b.size())
        return 0;
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
           quint32(uchar(b[at + 3])) << 24;
}

bool startsWith(QByteArrayView b, QByteArrayView prefix)
{
    return b.size() >= prefix.size() && b.first(prefix.size()) == prefix;
}

// Sizes of the info headers Windows writes (40 and up); the 12-byte OS/2 core header is only
// accepted behind a "BM" file header, where it cannot be mistaken for other data.
bool isInfoHeaderSize(quint32 size)
{
    return size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

bool isBitCount(int bits)
{
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32 || bits == 64;
}

}  // namespace

PictureFormat detectPictureFormat(QByteArrayView head)
{
    if (startsWith(head, "\xFF\xD8\xFF"))
        return PictureFormat::Jpeg;
    if (startsWith(head, "GIF87a") || startsWith(head, "GIF89a"))
        return PictureFormat::Gif;
    if (startsWith(head, "BM"))
        return PictureFormat::Bmp;
    if (head.size() >= 6 && u16(head, 0) == 0 && (u16(head, 2) == 1 || u16(head, 2) == 2))
        return u16(head, 2) == 1 ? PictureFormat::Ico : PictureFormat::Cur;
    // Placeable metafile key, or the plain header: type 1 (memory) or 2 (disk), 9 words long.
    if (u32(head, 0) == 0x9AC6CDD7u)
        return PictureFormat::Wmf;
    if ((u16(head, 0) == 1 || u16(head, 0) == 2) && u16(head, 2) == 9 && (u16(head, 4) == 0x0100 || u16(head, 4) == 0x0300))
        return PictureFormat::Wmf;
    if (u32(head, 0) == 1 && u32(head, 40) == 0x464D4520u)  // " EMF"
        return PictureFormat::Emf;
    if (isInfoHeaderSize(u32(head, 0)) && u16(head, 12) == 1 && isBitCount(u16(head, 14)))
        return PictureFormat::Dib;
    return PictureFormat::Unknown;
}

BmpHeaderInfo readBmpHeader(QByteArrayView bytes, PictureFormat format)
{
    BmpHeaderInfo info;
    const qsizetype base = format == PictureFormat::Bmp ? 14 : 0;
    if (format != PictureFormat::Bmp && format != PictureFormat::Dib)
        return info;
    const quint32 headerSize = u32(bytes, base);
    if (bytes.size() < base + qsizetype(qMin<quint32>(headerSize, 40)) || headerSize < 12)
        return info;
    int planes = 0;
    quint32 colours = 0;
    int paletteEntryBytes = 4;
    if (headerSize == 12) {
        info.width = u16(bytes, base + 4);
        info.height = qint16(u16(bytes, base + 6));
        planes = u16(bytes, base + 8);
        info.bitsPerPixel = u16(bytes, base + 10);
        paletteEntryBytes = 3;
    } else if (headerSize >= 16) {
        info.width = qint32(u32(bytes, base + 4));
        info.height = qint32(u32(bytes, base + 8));
        planes = u16(bytes, base + 12);
        info.bitsPerPixel = u16(bytes, base + 14);
        info.compression = headerSize >= 20 ? u32(bytes, base + 16) : 0;
        colours = headerSize >= 36 ? u32(bytes, base + 32) : 0;
    } else {
        return info;
    }
    info.topDown = info.height < 0;
    info.height = qAbs(info.height);
    if (info.width <= 0 || info.height <= 0 || planes != 1 || !isBitCount(info.bitsPerPixel))
        return info;

    if (format == PictureFormat::Bmp) {
        info.pixelDataOffset = u32(bytes, 10);
    } else {
        // Behind a header-less DIB come the colour masks (only with the 40-byte header) and the palette.
        const qint64 masks = (headerSize == 40 && (info.compression == 3 || info.compression == 6)) ? (info.compression == 3 ? 12 : 16) : 0;
        qint64 entries = colours;
        if (entries == 0 && info.bitsPerPixel <= 8)
            entries = qint64(1) << info.bitsPerPixel;
        entries = qMin<qint64>(entries, 256);
        info.pixelDataOffset = headerSize + masks + entries * paletteEntryBytes;
    }
    const qint64 rowBytes = (info.width * info.bitsPerPixel + 31) / 32 * 4;
    info.pixelDataBytes = info.height > std::numeric_limits<qint64>::max() / rowBytes
                              ? std::numeric_limits<qint64>::max()
                              : rowBytes * info.height;
    info.valid = true;
    return info;
}

bool gifFirstFrameComplete(QByteArrayView b)
{
    const qsizetype size = b.size();
    auto colourTable = [](uchar flags) { return (flags & 0x80) ? qsizetype(3) << ((flags & 7) + 1) : 0; };
    // Sub-blocks: a length byte and that many bytes, up to a zero length.
    auto skipSubBlocks = [&](qsizetype& at) {
        while (at < size) {
            const int n = uchar(b[at]);
            at += 1 + n;
            if (n == 0)
                return true;
        }
        return false;
    };
    if (size < 13)
        return false;
    qsizetype at = 13 + colourTable(uchar(b[10]));
    while (at < size) {
        const uchar kind = uchar(b[at]);
        if (kind == 0x21) {
            at += 2;
            if (!skipSubBlocks(at))
                return false;
        } else if (kind == 0x2C) {
            if (at + 10 > size)
                return false;
            at += 10 + colourTable(uchar(b[at + 9])) + 1;  // descriptor, local table, LZW code size
            return skipSubBlocks(at) && at <= size;
        } else {
            return kind != 0x3B;  // a trailer before any picture: there is none
        }
    }
    return false;
}
