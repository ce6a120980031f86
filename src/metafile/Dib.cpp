// DIB decoding: uncompressed and bit-field rows are read here, RLE rows through Qt's BMP
// reader (given a file header we put in front), JPEG and PNG payloads through QImage.
#include "Dib.h"

#include "ByteReader.h"
#include "PixelLoop.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <bit>
#include <iterator>

namespace metafile {

namespace {

constexpr int kMaxSide = 1 << 15;
// 64 MiB at four bytes a pixel, which together with its copies on the way to the screen keeps
// a drawing within its memory.
constexpr qint64 kMaxPixels = qint64(1) << 24;
constexpr int kMaxMegabytes = int(kMaxPixels * 4 >> 20);

enum { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5 };

struct Header {
    uint32_t size = 0;
    int width = 0;
    int height = 0;                 // negative: rows top-down
    int bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t colorsUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0};
    int colorEntrySize = 4;
};

bool readHeader(ByteReader& r, Header& h)
{
    h.size = r.u32();
    if (h.size == 12) {
        h.width = r.u16();
        h.height = r.u16();
        r.u16();
        h.bitCount = r.u16();
        h.colorEntrySize = 3;
    } else if (h.size >= 40 && h.size <= 1024) {
        h.width = r.i32();
        h.height = r.i32();
        r.u16();
        h.bitCount = r.u16();
        h.compression = r.u32();
        r.skip(12);
        h.colorsUsed = r.u32();
        r.u32();
        if (h.size >= 52) {
            for (int i = 0; i < (h.size >= 56 ? 4 : 3); ++i)
                h.masks[i] = r.u32();
        }
        if (!r.seek(h.size))
            return false;
        if (h.compression == BI_BITFIELDS && h.size == 40) {
            for (int i = 0; i < 3; ++i)
                h.masks[i] = r.u32();
        }
    } else {
        return false;
    }
    if (!r.ok() || h.width <= 0 || h.height == 0 || h.height == INT32_MIN)
        return false;
    const qint64 rows = std::abs(qint64(h.height));
    if (h.width > kMaxSide || rows > kMaxSide || qint64(h.width) * rows > kMaxPixels)
        return false;
    switch (h.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: return true;
    case 0: return h.compression == BI_JPEG || h.compression == BI_PNG;
    default: return false;
    }
}

int colorTableEntries(const Header& h)
{
    if (h.bitCount <= 8 && h.bitCount > 0)
        return h.colorsUsed ? int(std::min<uint32_t>(h.colorsUsed, 256)) : (1 << h.bitCount);
    return int(std::min<uint32_t>(h.colorsUsed, 256));
}

struct MaskField {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    explicit MaskField(uint32_t m) : mask(m)
    {
        if (m) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    int value(uint32_t pixel, int fallback = 255) const
    {
        if (!max)
            return fallback;
        return int(((pixel & mask) >> shift) * 255 / max);
    }
};

// The rows of a DIB (bottom-up when its height is positive) as pixels of image.
PIXEL_LOOP void convertRows(const Header& h, const QRgb* table, const std::array<MaskField, 3>& fields, bool plain24or32,
                            bool keepAlpha, QByteArrayView bits, qint64 stride, QImage& image)
{
    const MaskField &red = fields[0], &green = fields[1], &blue = fields[2];
    const int rows = std::abs(h.height);
    const auto* data = reinterpret_cast<const uchar*>(bits.data());
    const int bitCount = h.bitCount, width = h.width;
    for (int row = 0; row < rows; ++row) {
        const qint64 offset = stride * row;
        if (offset + stride > bits.size())
            break;
        const uchar* src = data + offset;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(h.height > 0 ? rows - 1 - row : row));
        switch (bitCount) {
        case 1: case 4: case 8:
            for (int x = 0; x < width; ++x) {
                const int bitPos = x * bitCount;
                dst[x] = table[(src[bitPos / 8] >> (8 - bitCount - bitPos % 8)) & ((1 << bitCount) - 1)];
            }
            break;
        case 16:
            for (int x = 0; x < width; ++x) {
                const uint32_t p = src[2 * x] | (src[2 * x + 1] << 8);
                dst[x] = qRgb(red.value(p), green.value(p), blue.value(p));
            }
            break;
        case 24:
            for (int x = 0; x < width; ++x)
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            break;
        case 32:
            for (int x = 0; x < width; ++x) {
                const uchar* p = src + 4 * x;
                if (plain24or32) {
                    dst[x] = qRgba(p[2], p[1], p[0], keepAlpha ? p[3] : 255);
                } else {
                    const uint32_t v = qFromLittleEndian<uint32_t>(p);
                    dst[x] = qRgb(red.value(v), green.value(v), blue.value(v));
                }
            }
            break;
        default: break;
        }
    }
}

// No colour of a premultiplied pixel may exceed its alpha.
PIXEL_LOOP void clampToAlpha(QImage& image)
{
    QRgb* p = reinterpret_cast<QRgb*>(image.bits());
    for (qsizetype i = 0, n = qsizetype(image.width()) * image.height(); i < n; ++i) {
        const int a = qAlpha(p[i]);
        p[i] = qRgba(std::min(qRed(p[i]), a), std::min(qGreen(p[i]), a), std::min(qBlue(p[i]), a), a);
    }
}

// stride 0: DIB rows, each padded to whole 32-bit words.
QImage decodeRows(const Header& h, const QList<QRgb>& palette, QByteArrayView bits, bool keepAlpha, qint64 stride = 0)
{
    const int rows = std::abs(h.height);
    if (stride <= 0)
        stride = ((qint64(h.width) * h.bitCount + 31) / 32) * 4;
    // Like GDI, rows that the record does not hold make no picture.
    if (bits.size() < stride * rows)
        return {};
    QImage image(h.width, rows, keepAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::black);
    uint32_t masks[3] = {h.masks[0], h.masks[1], h.masks[2]};
    if (h.compression != BI_BITFIELDS) {
        if (h.bitCount == 16) {
            masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
        }
    }
    const MaskField red(masks[0]), green(masks[1]), blue(masks[2]);
    const bool plain24or32 = h.compression != BI_BITFIELDS || (masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF);
    // Indices beyond the colour table are black, as the table is filled up to every index.
    QRgb table[256];
    std::fill(std::begin(table), std::end(table), qRgb(0, 0, 0));
    std::copy_n(palette.begin(), std::min<qsizetype>(palette.size(), 256), table);
    convertRows(h, table, {red, green, blue}, plain24or32, keepAlpha, bits, stride, image);
    if (keepAlpha) {
        // AlphaBlend's source is premultiplied; Qt's premultiplied format holds exactly that.
        image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        clampToAlpha(image);
    }
    return image;
}

// Compressed rows: Qt's BMP reader is given the file header that a .bmp file would have.
QImage decodeThroughBmpReader(QByteArrayView info, qsizetype headerAndTable, QByteArrayView bits)
{
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<uint32_t>(uint32_t(14 + info.size() + bits.size()), file.data() + 2);
    qToLittleEndian<uint32_t>(uint32_t(14 + headerAndTable), file.data() + 10);
    file.append(info.first(std::min(info.size(), headerAndTable)));
    file.append(QByteArray(int(std::max<qsizetype>(0, headerAndTable - info.size())), '\0'));
    file.append(bits.data(), bits.size());
    QBuffer buffer(&file);
    QImageReader reader(&buffer, "bmp");
    reader.setAllocationLimit(kMaxMegabytes);  // run-length data is small, but it may claim a huge picture
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QImage decodeDib(QByteArrayView info, QByteArrayView bits, const DibOptions& options)
{
    ByteReader r(info);
    Header h;
    if (!readHeader(r, h))
        return {};
    if (h.compression == BI_JPEG || h.compression == BI_PNG) {
        QByteArray data = bits.toByteArray();
        QBuffer buffer(&data);
        QImageReader reader(&buffer);
        reader.setAllocationLimit(kMaxMegabytes);
        const QImage image = reader.read();
        return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
    }
    const qsizetype tableStart = r.pos();
    const int entries = colorTableEntries(h);
    const int entrySize = options.paletteIndices ? 2 : h.colorEntrySize;
    QList<QRgb> palette;
    palette.reserve(entries);
    for (int i = 0; i < entries; ++i) {
        if (options.paletteIndices) {
            // Without the logical palette at hand, a grey ramp keeps indexed pictures readable.
            const int v = std::clamp(int(r.u16()), 0, 255);
            palette.append(qRgb(v, v, v));
            continue;
        }
        const uint8_t b = r.u8(), g = r.u8(), rd = r.u8();
        if (entrySize == 4)
            r.u8();
        palette.append(qRgb(rd, g, b));
    }
    if (!r.ok()) {
        // Some writers leave out the colour table of 1-bit masks; a black and white ramp stands in.
        palette.clear();
        if (h.bitCount != 1)
            return {};
        palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    }
    if (h.compression == BI_RLE8 || h.compression == BI_RLE4)
        return decodeThroughBmpReader(info, tableStart + qsizetype(entries) * entrySize, bits);
    if (h.compression != BI_RGB && h.compression != BI_BITFIELDS)
        return {};
    return decodeRows(h, palette, bits, options.keepAlpha && h.bitCount == 32);
}

QImage decodePackedDib(QByteArrayView dib, const DibOptions& options)
{
    ByteReader r(dib);
    Header h;
    if (!readHeader(r, h))
        return {};
    const int entrySize = options.paletteIndices ? 2 : h.colorEntrySize;
    qsizetype offset = r.pos() + qsizetype(colorTableEntries(h)) * entrySize;
    const qint64 rowsSize = ((qint64(h.width) * h.bitCount + 31) / 32) * 4 * std::abs(qint64(h.height));
    if (h.size >= 40 && h.bitCount <= 8 && h.bitCount > 0 && h.compression == BI_RGB && h.colorsUsed == 0 && offset + rowsSize > dib.size()) {
        // Some writers put fewer colours in the table than the depth allows without saying so;
        // the rows are at the end, and what lies between them and the header is the table.
        const qint64 table = dib.size() - rowsSize - r.pos();
        if (table >= 0 && table % entrySize == 0) {
            offset = r.pos() + table;
            QByteArray info = dib.first(offset).toByteArray();
            qToLittleEndian<uint32_t>(uint32_t(table / entrySize), info.data() + 32);
            return decodeDib(info, dib.sliced(offset), options);
        }
    }
    if (offset > dib.size())
        return {};
    return decodeDib(dib.first(offset), dib.sliced(offset), options);
}

QImage decodeBitmap16(int width, int height, int widthBytes, int bitsPixel, QByteArrayView bits, QRgb zero, QRgb one)
{
    Header h;
    h.width = width;
    h.height = -height;  // device bitmaps are stored from the top row down
    h.bitCount = bitsPixel;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || qint64(width) * height > kMaxPixels)
        return {};
    if (bitsPixel != 1 && bitsPixel != 4 && bitsPixel != 8 && bitsPixel != 16 && bitsPixel != 24 && bitsPixel != 32)
        return {};
    if (widthBytes < (qint64(width) * bitsPixel + 7) / 8)
        return {};
    QList<QRgb> palette;
    if (bitsPixel == 1) {
        palette = {zero, one};
    } else if (bitsPixel == 4) {
        // The sixteen colours of the standard VGA palette.
        palette = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
                   0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
    } else if (bitsPixel == 8) {
        // A device palette is not in the file; a grey ramp keeps the picture readable.
        for (int i = 0; i < 256; ++i)
            palette.append(qRgb(i, i, i));
    }
    return decodeRows(h, palette, bits, false, widthBytes);
}

bool dibIsBottomUp(QByteArrayView info)
{
    ByteReader r(info);
    Header h;
    return readHeader(r, h) && h.height > 0;
}

}  // namespace metafile
