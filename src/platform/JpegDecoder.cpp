// libjpeg-turbo wrapper of the picture loader: header, scale choice, decode with the end-of-data check.
#include "platform/JpegDecoder.h"

#include "platform/CancelFlag.h"

#include <turbojpeg.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include <jpeglib.h>

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

// libjpeg reports errors through a function that must not return: it jumps back to the decode.
// Warnings do not stop it; the first one is kept, as it says whether the data ended early.
struct ErrorManager {
    jpeg_error_mgr pub;  // first, so that libjpeg's pointer to it is a pointer to this
    std::jmp_buf jump;
    char error[JMSG_LENGTH_MAX];
    char firstWarning[JMSG_LENGTH_MAX];
    bool warned;
};

struct ProgressManager {
    jpeg_progress_mgr pub;  // first, as above
    const CancelFlag* cancel;
};

[[noreturn]] void jumpOnError(j_common_ptr cinfo)
{
    auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->error);
    std::longjmp(errors->jump, 1);
}

void keepFirstWarning(j_common_ptr cinfo, int level)
{
    auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level < 0 && !errors->warned) {
        (*cinfo->err->format_message)(cinfo, errors->firstWarning);
        errors->warned = true;
    }
}

// Called by libjpeg between row groups and while it reads the scans of a progressive picture.
// Every scan of a progressive picture passes over all of its coefficients, so a file with many
// scans is stopped here as well.
void stopWhenAsked(j_common_ptr cinfo)
{
    const auto* progress = reinterpret_cast<ProgressManager*>(cinfo->progress);
    const bool cancelled = progress->cancel && progress->cancel->raised();
    const bool tooManyScans = reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > JpegDecoder::kMaxScans;
    if (!cancelled && !tooManyScans)
        return;
    auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(errors->error, sizeof errors->error, "%s", cancelled ? "Decode stopped" : "Too many scans");
    std::longjmp(errors->jump, 1);
}

// Rows handed to libjpeg at most at a time: its row groups are at most 16 rows high.
constexpr int kRowsPerCall = 16;

// The decode proper; an error or a stop leaves it by a jump, so it holds nothing that needs
// destroying. inks: a row buffer for kRowsPerCall rows of CMYK, or null for a picture in RGB.
bool readPicture(j_decompress_ptr cinfo, jpeg_progress_mgr* progress, const uchar* data, qsizetype size, QImage& target,
                 uchar* inks)
{
    jpeg_create_decompress(cinfo);
    cinfo->progress = progress;
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    const bool rgb888 = target.format() == QImage::Format_RGB888;
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    cinfo->out_color_space = inks ? JCS_CMYK : rgb888 ? JCS_RGB : littleEndian ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    cinfo->scale_num = 1;
    cinfo->scale_denom = 1;
    const QSize natural(int(cinfo->image_width), int(cinfo->image_height));
    while (cinfo->scale_denom < 8 && JpegDecoder::scaledSize(natural, int(cinfo->scale_denom)) != target.size())
        cinfo->scale_denom *= 2;
    jpeg_calc_output_dimensions(cinfo);
    if (int(cinfo->output_width) != target.width() || int(cinfo->output_height) != target.height())
        return false;
    jpeg_start_decompress(cinfo);
    JSAMPROW rows[kRowsPerCall];
    while (cinfo->output_scanline < cinfo->output_height) {
        const int first = int(cinfo->output_scanline);
        // One row group at a time: the progress hook, which may stop the decode, runs per call.
        const int count = std::min({kRowsPerCall, std::max(1, cinfo->rec_outbuf_height), target.height() - first});
        for (int i = 0; i < count; ++i)
            rows[i] = inks ? inks + size_t(i) * size_t(target.width()) * 4 : target.scanLine(first + i);
        const int read = int(jpeg_read_scanlines(cinfo, rows, JDIMENSION(count)));
        if (!inks)
            continue;
        // Adobe programs, which write such files, store the inks inverted (255 = no ink), so
        // R = C' * K' / 255.
        for (int i = 0; i < read; ++i) {
            const uchar* in = rows[i];
            uchar* out = target.scanLine(first + i);
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
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

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

bool JpegDecoder::decode(const uchar* data, qsizetype size, QImage& target, const CancelFlag* cancel)
{
    m_error.clear();
    if (!m_handle || target.isNull() || size <= 0 || quint64(size) > quint64(std::numeric_limits<unsigned long>::max()))
        return false;
    if (target.format() != QImage::Format_RGB888 && target.format() != QImage::Format_RGB32)
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
    if (!decodeRows(data, size, target, colourspace == TJCS_CMYK || colourspace == TJCS_YCCK, cancel))
        return false;
    // libjpeg reports a missing end ("Premature end of JPEG file", "Corrupt JPEG data: premature end
    // of data segment") as a warning and pads the picture with grey; other warnings (stray bytes
    // between segments) leave the picture whole. Only the first warning of a picture counts.
    return !m_error.contains(QLatin1String("premature end"), Qt::CaseInsensitive);
}

bool JpegDecoder::decodeRows(const uchar* data, qsizetype size, QImage& target, bool cmyk, const CancelFlag* cancel)
{
    // libjpeg does not convert CMYK to RGB: the inks are decoded into a row buffer and combined.
    std::vector<uchar> inks;
    if (cmyk) {
        try {
            inks.resize(size_t(target.width()) * 4 * kRowsPerCall);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    // Everything here is made before the jump target and not changed after it (setjmp rules); the
    // work is done in readPicture, whose frame the jump leaves.
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    ProgressManager progress{};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jumpOnError;
    errors.pub.emit_message = keepFirstWarning;
    progress.pub.progress_monitor = stopWhenAsked;
    progress.cancel = cancel;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        m_error = QString::fromUtf8(errors.error);
        return false;
    }
    const bool read = readPicture(&cinfo, &progress.pub, data, size, target, cmyk ? inks.data() : nullptr);
    jpeg_destroy_decompress(&cinfo);
    if (read && errors.warned)
        m_error = QString::fromUtf8(errors.firstWarning);
    return read;
}
