// libturbojpeg wrapper of the picture loader: header, scale choice, decode with the end-of-data check.
#include "platform/JpegDecoder.h"

#include <turbojpeg.h>

#include <limits>
#include <new>
#include <vector>

namespace {

tjhandle handleOf(void* h)
{
    return static_cast<tjhandle>(h);
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

QSize JpegDecoder::readSize(const uchar* data, qsizetype size)
{
    if (!m_handle || size <= 0 || quint64(size) > quint64(std::numeric_limits<unsigned long>::max()))
        return {};
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(handleOf(m_handle), data, static_cast<unsigned long>(size), &width, &height, &subsampling,
                            &colourspace) != 0) {
        m_error = QString::fromUtf8(tjGetErrorStr2(handleOf(m_handle)));
        return {};
    }
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

bool JpegDecoder::finish(int result)
{
    if (result == 0)
        return true;
    m_error = QString::fromUtf8(tjGetErrorStr2(handleOf(m_handle)));
    if (tjGetErrorCode(handleOf(m_handle)) != TJERR_WARNING)
        return false;
    // libjpeg reports a missing end ("Premature end of JPEG file", "Corrupt JPEG data: premature end
    // of data segment") as a warning and pads the picture with grey; other warnings (stray bytes
    // between segments) leave the picture whole. Only the first warning of a picture is reported.
    return !m_error.contains(QLatin1String("premature end"), Qt::CaseInsensitive);
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

    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(handleOf(m_handle), data, static_cast<unsigned long>(size), &width, &height, &subsampling,
                            &colourspace) != 0) {
        m_error = QString::fromUtf8(tjGetErrorStr2(handleOf(m_handle)));
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
