// libturbojpeg wrapper of the picture loader: header, scale choice, decode with the end-of-data check.
#include "platform/JpegDecoder.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace {

tjhandle handleOf(void* h)
{
    return static_cast<tjhandle>(h);
}

// Walks the segments from SOI up to and including the first scan header, handing each marker with
// its payload (cut at the end of the data) to f, which returns false to stop there. The position
// after the last segment walked; -1 when the walk lost step (damaged headers).
template <typename F>
qsizetype walkSegments(const uchar* data, qsizetype size, F&& f)
{
    qsizetype at = 2;  // past SOI
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return -1;
        const uchar marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const qsizetype length = qsizetype(data[at + 2]) << 8 | data[at + 3];
        if (length < 2)
            return -1;
        const qsizetype payload = at + 4;
        at += 2 + length;
        if (!f(marker, data + payload, std::min(length - 2, size - payload)) || marker == 0xDA)
            break;
    }
    return at;
}

// Limits the scans of a progressive file, so a crafted file with thousands of scans cannot keep
// the decoder busy for minutes.
constexpr int kDecodeFlags = TJFLAG_LIMITSCANS;

}  // namespace

JpegDecoder::JpegDecoder() : m_handle(tjInitDecompress()) {}

JpegDecoder::~JpegDecoder()
{
    if (m_handle)
        tjDestroy(handleOf(m_handle));
}

bool JpegDecoder::readHeader(const uchar* data, qsizetype size, int& width, int& height, int& colourspace)
{
    int subsampling = 0;
    if (tjDecompressHeader3(handleOf(m_handle), data, static_cast<unsigned long>(size), &width, &height, &subsampling,
                            &colourspace) == 0)
        return true;
    // A warning (stray bytes before a marker) still leaves a readable header.
    m_error = QString::fromUtf8(tjGetErrorStr2(handleOf(m_handle)));
    const bool usable = tjGetErrorCode(handleOf(m_handle)) == TJERR_WARNING && width > 0 && height > 0 &&
                        !m_error.contains(QLatin1String("premature end"), Qt::CaseInsensitive);
    reset();
    return usable;
}

QSize JpegDecoder::readSize(const uchar* data, qsizetype size)
{
    if (!m_handle || size <= 0 || quint64(size) > quint64(std::numeric_limits<unsigned long>::max()))
        return {};
    int width = 0, height = 0, colourspace = 0;
    if (!readHeader(data, size, width, height, colourspace))
        return {};
    if (width <= 0 || height <= 0)
        return {};
    return {width, height};
}

int JpegDecoder::scaleDenominator(QSize natural, QSize target)
{
    if (target.isEmpty() || natural.isEmpty())
        return 1;
    int denominator = 1;
    while (denominator < 8) {
        const QSize next = scaledSize(natural, denominator * 2);
        if (next.width() < target.width() || next.height() < target.height())
            break;
        denominator *= 2;
    }
    return denominator;
}

QSize JpegDecoder::scaledSize(QSize natural, int denominator)
{
    const tjscalingfactor factor{1, denominator};
    return {TJSCALED(natural.width(), factor), TJSCALED(natural.height(), factor)};
}

void JpegDecoder::reset()
{
    // libturbojpeg 2.1 leaves the handle mid-way after a failed header read, and every later call
    // on it fails; a fresh handle costs next to nothing.
    if (m_handle)
        tjDestroy(handleOf(m_handle));
    m_handle = tjInitDecompress();
}

bool JpegDecoder::finish(int result)
{
    if (result == 0)
        return true;
    m_error = QString::fromUtf8(tjGetErrorStr2(handleOf(m_handle)));
    if (tjGetErrorCode(handleOf(m_handle)) != TJERR_WARNING) {
        reset();
        return false;
    }
    // libjpeg reports a missing end ("Premature end of JPEG file", "Corrupt JPEG data: premature end
    // of data segment") as a warning and pads the picture with grey; other warnings (stray bytes
    // between segments) leave the picture whole. Only the first warning of a picture is reported.
    if (!m_error.contains(QLatin1String("premature end"), Qt::CaseInsensitive))
        return true;
    reset();
    return false;
}

bool JpegDecoder::endsAfterScan(const uchar* data, qsizetype size)
{
    // Entropy-coded data stuffs every 0xFF with 0x00, so FF D9 past the scan header is the real end
    // marker. A walk that loses step (damaged headers) leaves the verdict to libjpeg.
    const qsizetype at = walkSegments(data, size, [](uchar, const uchar*, qsizetype) { return true; });
    if (at < 0)
        return true;
    // From the back: the marker is normally there, after at most some trailing bytes.
    for (qsizetype i = size - 2; i >= at; --i)
        if (data[i] == 0xFF && data[i + 1] == 0xD9)
            return true;
    return false;
}

QByteArrayView JpegDecoder::exifData(const uchar* data, qsizetype size)
{
    QByteArrayView tiff;
    walkSegments(data, size, [&tiff](uchar marker, const uchar* payload, qsizetype length) {
        if (marker != 0xE1 || length < 6 || std::memcmp(payload, "Exif\0\0", 6) != 0)
            return true;
        tiff = QByteArrayView(payload + 6, length - 6);
        return false;
    });
    return tiff;
}

int JpegDecoder::countScans(const uchar* data, qsizetype size, int stopAbove)
{
    int scans = 0;
    qsizetype at = 2;  // past SOI
    while (at + 1 < size && scans <= stopAbove) {
        if (data[at] != 0xFF) {  // stray bytes: libjpeg skips to the next marker, so do we
            const void* ff = std::memchr(data + at, 0xFF, size_t(size - at));
            if (!ff)
                break;
            at = static_cast<const uchar*>(ff) - data;
            continue;
        }
        const uchar marker = data[at + 1];
        if (marker == 0xFF || marker == 0x00) {  // fill byte, or a stuffed byte outside a scan
            ++at;
            continue;
        }
        if (marker == 0xD9)
            break;
        if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a length
            at += 2;
            continue;
        }
        if (at + 4 > size)
            break;
        at += 2 + (qsizetype(data[at + 2]) << 8 | data[at + 3]);
        if (marker != 0xDA)
            continue;
        ++scans;
        // Entropy-coded data: every 0xFF in it is followed by 0x00 or a restart marker.
        while (at + 1 < size) {
            const void* ff = std::memchr(data + at, 0xFF, size_t(size - at));
            if (!ff) {
                at = size;
                break;
            }
            at = static_cast<const uchar*>(ff) - data;
            const uchar next = at + 1 < size ? data[at + 1] : 0;
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF)
                ++at;
            else
                break;
        }
    }
    return scans;
}

bool JpegDecoder::decode(const uchar* data, qsizetype size, QImage& target)
{
    m_error.clear();
    if (!m_handle || target.isNull() || size <= 0 || quint64(size) > quint64(std::numeric_limits<unsigned long>::max()))
        return false;
    int pixelFormat = 0;
    if (target.format() == QImage::Format_RGB888)
        pixelFormat = TJPF_RGB;
    else if (target.format() == QImage::Format_RGB32)
        pixelFormat = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TJPF_BGRX : TJPF_XRGB;
    else
        return false;

    int width = 0, height = 0, colourspace = 0;
    if (!readHeader(data, size, width, height, colourspace))
        return false;
    if (!endsAfterScan(data, size)) {
        m_error = QStringLiteral("Premature end of JPEG file");
        return false;
    }
    if (countScans(data, size) > kMaxScans) {
        m_error = QStringLiteral("More than %1 scans").arg(kMaxScans);
        return false;
    }
    if (colourspace == TJCS_CMYK || colourspace == TJCS_YCCK)
        return decodeCmyk(data, size, target, kDecodeFlags);
    const int result = tjDecompress2(handleOf(m_handle), data, static_cast<unsigned long>(size), target.bits(),
                                     target.width(), int(target.bytesPerLine()), target.height(), pixelFormat,
                                     kDecodeFlags);
    return finish(result);
}

bool JpegDecoder::decodeCmyk(const uchar* data, qsizetype size, QImage& target, int flags)
{
    // libjpeg does not convert CMYK to RGB; decode the inks and combine them here. Such files come
    // from Adobe programs, which store the inks inverted (255 = no ink), so R = C' * K' / 255.
    const qsizetype rowBytes = qsizetype(target.width()) * 4;
    std::vector<uchar> cmyk;
    try {
        cmyk.resize(size_t(rowBytes) * size_t(target.height()));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const int result = tjDecompress2(handleOf(m_handle), data, static_cast<unsigned long>(size), cmyk.data(),
                                     target.width(), int(rowBytes), target.height(), TJPF_CMYK, flags);
    if (!finish(result))
        return false;
    const bool rgb888 = target.format() == QImage::Format_RGB888;
    for (int y = 0; y < target.height(); ++y) {
        const uchar* in = cmyk.data() + y * rowBytes;
        uchar* out = target.scanLine(y);
        for (int x = 0; x < target.width(); ++x, in += 4) {
            const int k = in[3];
            const uchar r = uchar(in[0] * k / 255), g = uchar(in[1] * k / 255), b = uchar(in[2] * k / 255);
            if (rgb888) {
                *out++ = r;
                *out++ = g;
                *out++ = b;
            } else {
                reinterpret_cast<QRgb*>(out)[x] = qRgb(r, g, b);
            }
        }
    }
    return true;
}
