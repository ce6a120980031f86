// Format recognition by content and the BMP/DIB header facts the loader decides with.
#include "platform/PictureFormat.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

QByteArray le16(int v)
{
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF);
}

QByteArray le32(qint64 v)
{
    return le16(int(v & 0xFFFF)) + le16(int((v >> 16) & 0xFFFF));
}

// A 40-byte info header, optionally behind the 14-byte "BM" file header.
QByteArray bmpHeader(qint64 width, qint64 height, int bits, int compression, bool fileHeader, int colours = 0)
{
    QByteArray info = le32(40) + le32(width) + le32(height) + le16(1) + le16(bits) + le32(compression) + le32(0) +
                      le32(2835) + le32(2835) + le32(colours) + le32(0);
    if (!fileHeader)
        return info;
    return "BM" + le32(0) + le32(0) + le32(54) + info;
}

}  // namespace

TEST(PictureFormat, RecognisesEachFormatByItsSignatureAlone)
{
    QByteArray emf = le32(1) + QByteArray(36, '\0') + " EMF" + QByteArray(20, '\0');
    const struct {
        const char* name;
        QByteArray head;
        PictureFormat expected;
    } rows[] = {
        {"jpeg", QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF", 10), PictureFormat::Jpeg},
        {"gif87", "GIF87a\x01\0\x01\0", PictureFormat::Gif},
        {"gif89", "GIF89a\x01\0\x01\0", PictureFormat::Gif},
        {"bmp", bmpHeader(4, 4, 24, 0, true), PictureFormat::Bmp},
        {"dib without file header", bmpHeader(4, 4, 32, 3, false), PictureFormat::Dib},
        {"ico", QByteArray("\0\0\x01\0\x01\0", 6), PictureFormat::Ico},
        {"cur", QByteArray("\0\0\x02\0\x01\0", 6), PictureFormat::Cur},
        {"placeable wmf", QByteArray("\xD7\xCD\xC6\x9A\0\0", 6), PictureFormat::Wmf},
        {"plain wmf", QByteArray("\x01\0\x09\0\0\x03", 6), PictureFormat::Wmf},
        {"emf", emf, PictureFormat::Emf},
        {"png is not ours", QByteArray("\x89PNG\r\n\x1a\n", 8), PictureFormat::Unknown},
        {"text", "hello, this is text", PictureFormat::Unknown},
        {"empty", QByteArray(), PictureFormat::Unknown},
        {"two bytes of a jpeg", QByteArray("\xFF\xD8", 2), PictureFormat::Unknown},
        {"os/2 bitmap array", "BA" + QByteArray(20, '\0'), PictureFormat::Unknown},
        {"dib-like with two planes", bmpHeader(4, 4, 24, 0, false).replace(12, 2, le16(2)), PictureFormat::Unknown},
    };
    for (const auto& row : rows)
        EXPECT_EQ(detectPictureFormat(row.head), row.expected) << row.name;
}

TEST(PictureFormat, BmpHeaderGivesSizeDepthAndTheBytesTheRowsNeed)
{
    const QByteArray core = "BM" + le32(0) + le32(0) + le32(26) + le32(12) + le16(7) + le16(3) + le16(1) + le16(24);
    const struct {
        const char* name;
        QByteArray bytes;
        PictureFormat format;
        bool valid;
        qint64 width, height;
        bool is24Bit;
        qint64 offset, dataBytes;
    } rows[] = {
        // 24 bits: 5 pixels = 15 bytes, padded to 16 per row.
        {"24-bit", bmpHeader(5, 3, 24, 0, true), PictureFormat::Bmp, true, 5, 3, true, 54, 48},
        {"top-down 24-bit", bmpHeader(5, -3, 24, 0, true), PictureFormat::Bmp, true, 5, 3, true, 54, 48},
        {"32-bit", bmpHeader(5, 3, 32, 0, true), PictureFormat::Bmp, true, 5, 3, false, 54, 60},
        {"16-bit", bmpHeader(5, 3, 16, 0, true), PictureFormat::Bmp, true, 5, 3, false, 54, 36},
        {"8-bit palette", bmpHeader(5, 3, 8, 0, true), PictureFormat::Bmp, true, 5, 3, false, 54, 24},
        {"24-bit but compressed", bmpHeader(5, 3, 24, 4, true), PictureFormat::Bmp, true, 5, 3, false, 54, 48},
        {"os/2 core header", core, PictureFormat::Bmp, true, 7, 3, true, 26, 72},
        // Raw DIB: 40-byte header, three masks, no palette.
        {"raw dib with masks", bmpHeader(2, 2, 32, 3, false), PictureFormat::Dib, true, 2, 2, false, 52, 16},
        // Raw DIB with a palette of 2^8 entries.
        {"raw dib with palette", bmpHeader(2, 2, 8, 0, false), PictureFormat::Dib, true, 2, 2, false, 40 + 1024, 8},
        {"zero width", bmpHeader(0, 3, 24, 0, true), PictureFormat::Bmp, false, 0, 0, false, 0, 0},
        {"negative width", bmpHeader(-5, 3, 24, 0, true), PictureFormat::Bmp, false, 0, 0, false, 0, 0},
        {"30000 bits", bmpHeader(5, 3, 30000, 0, true), PictureFormat::Bmp, false, 0, 0, false, 0, 0},
        {"header cut short", bmpHeader(5, 3, 24, 0, true).left(30), PictureFormat::Bmp, false, 0, 0, false, 0, 0},
    };
    for (const auto& row : rows) {
        const BmpHeaderInfo info = readBmpHeader(row.bytes, row.format);
        EXPECT_EQ(info.valid, row.valid) << row.name;
        if (!row.valid)
            continue;
        EXPECT_EQ(info.width, row.width) << row.name;
        EXPECT_EQ(info.height, row.height) << row.name;
        EXPECT_EQ(info.is24Bit(), row.is24Bit) << row.name;
        EXPECT_EQ(info.pixelDataOffset, row.offset) << row.name;
        EXPECT_EQ(info.pixelDataBytes, row.dataBytes) << row.name;
    }
}

TEST(PictureFormat, HugeBmpDimensionsDoNotOverflowTheRowArithmetic)
{
    const BmpHeaderInfo info = readBmpHeader(bmpHeader(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, true), PictureFormat::Bmp);
    ASSERT_TRUE(info.valid);
    EXPECT_GT(info.pixelDataBytes, qint64(1) << 62);
}
