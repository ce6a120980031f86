// The picture loader: format by content, size checks before decoding, JPEG through libturbojpeg,
// the other raster formats through Qt's readers, and the final smooth scale into kept memory.
#include "platform/PictureLoader.h"

#include "metadata/clsEXIF.h"
#include "platform/FileSystem.h"
#include "metafile/MetafilePicture.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Qt's own allocation limit (128 MB by default) would refuse pictures our pixel limit allows; it is
// set to match that limit once, and stays as a second guard for headers Qt reads but we do not
// (an icon's bitmap may claim another size than its directory entry).
void raiseQtAllocationLimit()
{
    static const bool done = [] {
        QImageReader::setAllocationLimit(int(PictureLoader::kMaxPixels * 4 / (1024 * 1024)));
        return true;
    }();
    Q_UNUSED(done);
}

bool tooManyPixels(QSize size)
{
    return qint64(size.width()) * qint64(size.height()) > PictureLoader::kMaxPixels;
}

const char* qtFormatName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Dib: return "dib";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Ico: return "ico";
    case PictureFormat::Cur: return "cur";
    default: return nullptr;
    }
}

// Exif orientations 5 to 8 store the picture lying on its side.
bool liesOnItsSide(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

// The stored pixels turned and mirrored to stand upright (orientation 1 leaves them as they are).
QImage upright(const QImage& stored, int orientation)
{
    const QTransform quarterTurn = QTransform().rotate(90);
    switch (orientation) {
    case 2: return stored.mirrored(true, false);
    case 3: return stored.mirrored(true, true);
    case 4: return stored.mirrored(false, true);
    case 5: return stored.mirrored(false, true).transformed(quarterTurn);
    case 6: return stored.transformed(quarterTurn);
    case 7: return stored.mirrored(true, false).transformed(quarterTurn);
    case 8: return stored.transformed(QTransform().rotate(270));
    default: return stored;
    }
}

}  // namespace

PictureLoader::PictureLoader()
{
    raiseQtAllocationLimit();
}

QSize PictureLoader::fittedSize(QSize natural, QSize coverSize)
{
    if (coverSize.isEmpty() || natural.isEmpty())
        return natural;
    if (natural.width() <= coverSize.width() && natural.height() <= coverSize.height())
        return natural;
    // The side that binds takes the cover's length, the other is rounded to the nearest pixel as
    // the placement on screen rounds it, so that the copy is drawn as it is, not scaled once more.
    const double a = double(natural.width()) / natural.height();
    if (a <= double(coverSize.width()) / coverSize.height())
        return QSize(std::max(1, int(std::nearbyint(coverSize.height() * a))), coverSize.height());
    return QSize(coverSize.width(), std::max(1, int(std::nearbyint(coverSize.width() / a))));
}

qsizetype PictureLoader::keptBufferBytes() const
{
    return m_pool.keptBytes() + m_fileCapacity;
}

LoadedPicture PictureLoader::load(const QString& path, QSize coverSize, const ByteTable* byteTable)
{
    LoadedPicture result;
    // Opened like every file the program reads: a FIFO or a device named like a picture is refused
    // at once instead of blocking, and so is a file larger than any picture we decode.
    FileSystem::ReadableFile opened = FileSystem::openForReading(path, FileSystem::Limit::kPicture);
    if (!opened.isOpen())
        return result;
    QFile file;
    if (!file.open(opened.takeHandle(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return result;
    const QByteArray head = file.peek(kFormatProbeBytes);
    result.format = detectPictureFormat(head);
    switch (result.format) {
    case PictureFormat::Jpeg:
        return loadJpeg(file, coverSize, byteTable, result);
    case PictureFormat::Bmp:
    case PictureFormat::Dib:
    case PictureFormat::Gif:
    case PictureFormat::Ico:
    case PictureFormat::Cur:
        return loadWithQt(file, head, coverSize, byteTable, result);
    case PictureFormat::Wmf:
    case PictureFormat::Emf:
        return loadMetafile(file, result);
    default:
        return result;
    }
}

LoadedPicture PictureLoader::loadMetafile(QFile& file, LoadedPicture result)
{
    if (file.size() <= 0 || file.size() > kMaxMetafileBytes)
        return result;
    auto picture = MetafilePicture::load(file.readAll());
    if (!picture || picture->naturalSize().isEmpty())
        return result;
    const QSize size = picture->naturalSize();
    if (qint64(size.width()) * size.height() > kMaxPixels)
        return result;
    result.metafile = std::move(picture);
    result.naturalSize = size;
    result.ok = true;
    return result;
}

bool PictureLoader::readWhole(QFile& file, qsizetype& size)
{
    const qint64 fileSize = file.size();
    if (fileSize <= 0 || fileSize > kMaxJpegFileBytes)
        return false;
    if (fileSize > m_fileCapacity) {
        m_fileBytes.reset();
        m_fileCapacity = 0;
        m_fileBytes.reset(new (std::nothrow) uchar[size_t(fileSize)]);
        if (!m_fileBytes)
            return false;
        m_fileCapacity = fileSize;
    }
    // The file may have shrunk since its size was taken: what was read is what counts.
    size = file.read(reinterpret_cast<char*>(m_fileBytes.get()), fileSize);
    return size > 0;
}

LoadedPicture PictureLoader::loadJpeg(QFile& file, QSize coverSize, const ByteTable* byteTable, LoadedPicture result)
{
    qsizetype size = 0;
    const bool read = readWhole(file, size);
    // A file buffer of a rare huge JPEG is not kept for the next picture.
    struct ReleaseLarge {
        PictureLoader* self;
        ~ReleaseLarge()
        {
            if (self->m_fileCapacity > (qsizetype(64) << 20)) {
                self->m_fileBytes.reset();
                self->m_fileCapacity = 0;
            }
        }
    } releaseLarge{this};
    if (!read)
        return result;
    const uchar* data = m_fileBytes.get();
    const QSize stored = m_jpeg.readSize(data, size);
    if (stored.isEmpty() || tooManyPixels(stored))
        return result;

    // Fitting is a matter of the upright picture; the decode and the scale work on the stored one,
    // and only the reduced copy is turned.
    const int orientation = clsEXIF::Ausrichtung(JpegDecoder::exifData(data, size));
    const bool sideways = liesOnItsSide(orientation);
    const QSize natural = sideways ? stored.transposed() : stored;
    const QSize fittedUpright = fittedSize(natural, coverSize);
    const QSize fitted = sideways ? fittedUpright.transposed() : fittedUpright;
    // A reduced decode averages the pixels; the table has to see them first.
    const int denominator = byteTable ? 1 : JpegDecoder::scaleDenominator(stored, fitted);
    const QSize decoded = JpegDecoder::scaledSize(stored, denominator);
    const bool scaleAfter = decoded != fitted;
    // The smooth scale reads 32-bit pixels fastest, so a picture that is scaled afterwards is
    // decoded to them; one that is not, or one reduced through the table, goes straight to 24 bits.
    const bool rgb32 = scaleAfter && !byteTable;
    QImage target = m_pool.acquire(decoded, rgb32 ? QImage::Format_RGB32 : QImage::Format_RGB888);
    if (target.isNull() || !m_jpeg.decode(data, size, target))
        return result;
    QImage image = byteTable ? throughTable(target, fitted, *byteTable)
                   : scaleAfter ? scaleTo(target, fitted, QImage::Format_RGB888)
                                : target;
    if (!image.isNull() && orientation != 1)
        image = upright(image, orientation).convertToFormat(QImage::Format_RGB888);
    if (image.isNull())
        return result;
    result.image = image;
    result.naturalSize = natural;
    result.is24Bit = true;
    if (byteTable)
        result.byteTable = *byteTable;
    result.ok = true;
    return result;
}

LoadedPicture PictureLoader::loadWithQt(QFile& file, QByteArrayView head, QSize coverSize, const ByteTable* byteTable,
                                        LoadedPicture result)
{
    bool is24Bit = false;
    if (result.format == PictureFormat::Bmp || result.format == PictureFormat::Dib) {
        const BmpHeaderInfo bmp = readBmpHeader(head, result.format);
        if (!bmp.valid || qint64(bmp.width) * bmp.height > kMaxPixels)
            return result;
        // Qt reads the rows of a short file as far as they go; a truncated picture is not loadable.
        if (bmp.uncompressed() &&
            (bmp.pixelDataOffset > file.size() || file.size() - bmp.pixelDataOffset < bmp.pixelDataBytes))
            return result;
        is24Bit = bmp.is24Bit();
    }

    if (result.format == PictureFormat::Gif) {
        qsizetype size = 0;
        if (file.size() > kMaxJpegFileBytes || !readWhole(file, size) ||
            !gifFirstFrameComplete(QByteArrayView(m_fileBytes.get(), size)) || !file.seek(0))
            return result;
    }
    QImageReader reader(&file, qtFormatName(result.format));
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    const QSize claimed = reader.size();
    if (claimed.isValid() && tooManyPixels(claimed))
        return result;
    // Each LZW code of a GIF gives at most 4096 pixels: a large canvas from a few bytes is a header
    // that lies, and Qt would allocate the whole canvas before finding out.
    const qint64 claimedPixels = qint64(claimed.width()) * claimed.height();
    if (result.format == PictureFormat::Gif && claimed.isValid() && claimedPixels > (qint64(16) << 20) &&
        claimedPixels / 4096 > file.size())
        return result;
    QImage image;
    if (!reader.read(&image) || image.isNull() || tooManyPixels(image.size()))
        return result;

    const QSize natural = image.size();
    const QSize fitted = fittedSize(natural, coverSize);
    if (is24Bit && byteTable) {
        if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_RGB888)
            image.convertTo(QImage::Format_RGB32);
        image = throughTable(image, fitted, *byteTable);
        result.byteTable = *byteTable;
    } else if (natural != fitted) {
        const QImage::Format format = is24Bit                ? QImage::Format_RGB888
                                      : image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                : QImage::Format_RGB32;
        image = scaleTo(image, fitted, format);
    } else if (is24Bit && image.format() != QImage::Format_RGB888) {
        image.convertTo(QImage::Format_RGB888);
    }
    if (image.isNull())
        return result;
    result.image = image;
    result.naturalSize = natural;
    result.is24Bit = is24Bit;
    result.ok = true;
    return result;
}

QImage PictureLoader::throughTable(QImage& picture, QSize size, const ByteTable& table)
{
    if (picture.size() == size) {
        ByteTables::mapColours(picture, table);
        return picture.convertToFormat(QImage::Format_RGB888);
    }
    QImage reduced = m_pool.acquire(size, QImage::Format_RGB888);
    if (reduced.isNull() || !ByteTables::mapWhileReducing(picture, reduced, table))
        return {};
    return reduced;
}

QImage PictureLoader::scaleTo(const QImage& source, QSize size, QImage::Format format)
{
    const double ratio = qMax(double(source.width()) / size.width(), double(source.height()) / size.height());
    if (ratio < 2.0) {
        // Below a factor of two the bilinear filter still takes in every source pixel, and QPainter
        // writes the result straight into kept memory in the final format.
        QImage target = m_pool.acquire(size, format);
        if (target.isNull())
            return {};
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), source, QRectF(source.rect()));
        painter.end();
        return target;
    }
    // Larger reductions average whole areas, or fine detail would alias.
    QImage scaled = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!scaled.isNull() && scaled.format() != format)
        scaled.convertTo(format);
    return scaled;
}
