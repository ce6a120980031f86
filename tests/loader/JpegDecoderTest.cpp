// The JPEG decoder against libjpeg-turbo's own complete decode (TurboJPEG), pixel for pixel, for
// files of several scans, whose coefficients the decoder keeps in memory of its own.
#include "platform/CancelFlag.h"
#include "platform/JpegDecoder.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <turbojpeg.h>

namespace {

enum class Scans { One, Progressive, OnePerComponent };

struct Kind {
    int components;  // 1 (grey) or 3
    int h, v;        // sampling factors of the first component (the others have 1, 1)
    Scans scans;
};

// Detail in every 8 x 8 block (so every scan carries coefficients) over a gradient.
QImage texture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    quint32 noise = 12345;
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x) {
            noise = noise * 1103515245u + 12345u;
            row[x] = uchar((x * 7 + y * 3) % 256 / 2 + (noise >> 25));
        }
    }
    return image;
}

QByteArray compress(const QImage& image, const Kind& kind)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    if (kind.components == 1)
        jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    cinfo.comp_info[0].h_samp_factor = kind.h;
    cinfo.comp_info[0].v_samp_factor = kind.v;
    jpeg_scan_info perComponent[3];
    if (kind.scans == Scans::Progressive) {
        jpeg_simple_progression(&cinfo);
    } else if (kind.scans == Scans::OnePerComponent) {
        for (int c = 0; c < kind.components; ++c)
            perComponent[c] = {1, {c, 0, 0, 0}, 0, 63, 0, 0};
        cinfo.scan_info = perComponent;
        cinfo.num_scans = kind.components;
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uchar*>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(outSize));
    std::free(out);
    return bytes;
}

// TurboJPEG's decode at 1/denominator, in the same pixel layout as the decoder's Format_RGB32.
QImage reference(const QByteArray& jpeg, int denominator)
{
    tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    tjDecompressHeader3(handle, data, static_cast<unsigned long>(jpeg.size()), &width, &height, &subsampling, &colourspace);
    const QSize size = JpegDecoder::scaledSize({width, height}, denominator);
    QImage image(size, QImage::Format_RGB32);
    const int format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TJPF_BGRX : TJPF_XRGB;
    if (tjDecompress2(handle, data, static_cast<unsigned long>(jpeg.size()), image.bits(), size.width(),
                      int(image.bytesPerLine()), size.height(), format, 0) != 0)
        image = QImage();
    tjDestroy(handle);
    return image;
}

TEST(JpegDecoder, FilesOfSeveralScansComeOutAsLibjpegTurbosOwnDecodeAtEveryScale)
{
    const Kind kinds[] = {
        {3, 2, 2, Scans::Progressive},     {3, 2, 1, Scans::Progressive}, {3, 1, 1, Scans::Progressive},
        {3, 1, 2, Scans::Progressive},     {1, 1, 1, Scans::Progressive}, {3, 2, 2, Scans::OnePerComponent},
        {1, 1, 1, Scans::OnePerComponent}, {3, 2, 2, Scans::One},
    };
    // Sizes that are no multiple of a block or of a row group, a single pixel, long thin stripes.
    const QSize sizes[] = {{1, 1}, {17, 9}, {1999, 7}, {7, 1001}, {333, 250}, {64, 48}};
    JpegDecoder decoder;
    int compared = 0;
    for (const Kind& kind : kinds)
        for (const QSize size : sizes) {
            const QByteArray jpeg = compress(texture(size.width(), size.height()), kind);
            const auto* data = reinterpret_cast<const uchar*>(jpeg.constData());
            const int scans = JpegDecoder::countScans(data, jpeg.size());
            if (kind.scans == Scans::Progressive)
                ASSERT_EQ(scans, kind.components == 1 ? 6 : 10);
            else
                ASSERT_EQ(scans, kind.scans == Scans::One ? 1 : kind.components);
            for (int denominator : {1, 2, 4, 8}) {
                SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << " components "
                                                << kind.components << " sampling " << kind.h << "x" << kind.v
                                                << " scans " << scans << " at 1/" << denominator);
                const QImage expected = reference(jpeg, denominator);
                ASSERT_FALSE(expected.isNull());
                QImage decoded(expected.size(), QImage::Format_RGB32);
                ASSERT_TRUE(decoder.decode(data, jpeg.size(), decoded)) << decoder.lastError().toStdString();
                ASSERT_EQ(decoded, expected);
                ++compared;
            }
        }
    EXPECT_EQ(compared, 8 * 6 * 4);
}

TEST(JpegDecoder, ProgressiveDecodesStoppedOrCutShortLeaveTheNextOneWhole)
{
    const QImage picture = texture(640, 480);
    const QByteArray jpeg = compress(picture, {3, 2, 2, Scans::Progressive});
    const auto* data = reinterpret_cast<const uchar*>(jpeg.constData());
    const QImage expected = reference(jpeg, 2);
    JpegDecoder decoder;
    QImage target(expected.size(), QImage::Format_RGB32);

    CancelFlag stop;
    stop.raise();
    EXPECT_FALSE(decoder.decode(data, jpeg.size(), target, &stop));

    // Cut inside each scan in turn, with the end marker put back so that the data reaches libjpeg:
    // it then meets the next marker (or the end) where a scan's data should go on.
    const QByteArray sos("\xFF\xDA", 2);
    for (qsizetype at = jpeg.indexOf(sos); at >= 0; at = jpeg.indexOf(sos, at + 2)) {
        const QByteArray cut = jpeg.left(at + 40) + QByteArray("\xFF\xD9", 2);
        target.fill(0);
        decoder.decode(reinterpret_cast<const uchar*>(cut.constData()), cut.size(), target);
        target.fill(0);
        ASSERT_TRUE(decoder.decode(data, jpeg.size(), target)) << decoder.lastError().toStdString();
        ASSERT_EQ(target, expected) << "after the file cut at " << at;
    }
}

}  // namespace
