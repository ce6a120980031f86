// JPEG decoding through libturbojpeg, at full size or at 1/2, 1/4 and 1/8, the scales for which
// libjpeg-turbo has fast reduced inverse transforms.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

class JpegDecoder {
public:
    JpegDecoder();
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // The picture's size from its frame header; an invalid size when the data is not a JPEG
    // libjpeg-turbo can decode (for example 12-bit samples).
    QSize readSize(const uchar* data, qsizetype size);

    // The largest denominator of 1, 2, 4, 8 whose reduced picture still covers target in both
    // directions (1 when target is empty or the picture is not larger).
    static int scaleDenominator(QSize natural, QSize target);
    // The size libjpeg-turbo produces at 1/denominator: each side rounded up.
    static QSize scaledSize(QSize natural, int denominator);

    // Decodes into target, whose size must be scaledSize(natural, d) for one of the denominators and
    // whose format is Format_RGB888 or Format_RGB32. A file that ends early fails: libjpeg would
    // fill the missing part with grey. Grey-scale and CMYK pictures come out as RGB too.
    bool decode(const uchar* data, qsizetype size, QImage& target);

    // False when the data reaches its first scan but ends without the end-of-picture marker.
    static bool endsAfterScan(const uchar* data, qsizetype size);
    // The TIFF data of the Exif segment (APP1 starting with "Exif" and two NULs) before the first
    // scan; empty when there is none.
    static QByteArrayView exifData(const uchar* data, qsizetype size);

    // Every scan of a progressive picture passes over all of its coefficients, so a small file with
    // hundreds of scans keeps the decoder busy for a minute. libjpeg's own progression writes at most
    // 18 scans (four-colour pictures), the scan optimisers of mozjpeg and jpegrescan stay under 30.
    static constexpr int kMaxScans = 40;
    // The scans in the data, counted the way libjpeg walks it (segments by their length, entropy-coded
    // data up to the next marker, stray bytes skipped); stops counting above stopAbove.
    static int countScans(const uchar* data, qsizetype size, int stopAbove = kMaxScans);

    QString lastError() const { return m_error; }

private:
    bool decodeCmyk(const uchar* data, qsizetype size, QImage& target, int flags);
    bool readHeader(const uchar* data, qsizetype size, int& width, int& height, int& colourspace);
    bool finish(int result);
    void reset();

    void* m_handle = nullptr;  // tjhandle, reused from one picture to the next
    QString m_error;
};
