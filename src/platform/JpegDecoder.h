// JPEG decoding through libjpeg-turbo, at full size or at 1/2, 1/4 and 1/8, the scales for which
// it has fast reduced inverse transforms. The header is read through its TurboJPEG interface, the
// pixels row by row through its libjpeg interface, so that a decode can be stopped between rows.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

class CancelFlag;

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
    // fill the missing part with grey. Grey-scale and CMYK pictures come out as RGB too. A raised
    // cancel flag stops the decode between rows (and between the scans of a progressive picture);
    // it then fails.
    bool decode(const uchar* data, qsizetype size, QImage& target, const CancelFlag* cancel = nullptr);

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
    bool decodeRows(const uchar* data, qsizetype size, QImage& target, bool cmyk, const CancelFlag* cancel);
    bool readHeader(const uchar* data, qsizetype size, int& width, int& height, int& colourspace);
    void reset();

    void* m_handle = nullptr;  // tjhandle, reused from one picture to the next
    QString m_error;
};
