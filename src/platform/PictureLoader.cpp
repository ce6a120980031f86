// The picture loader: format by content, size checks before decoding, JPEG through libturbojpeg,
// the other raster formats through Qt's readers, and the final smooth scale into kept memory.
#include "platform/PictureLoader.h"

#include "metadata/clsEXIF.h"
#include "platform/BmpRows.h"
#include "platform/CancelFlag.h"
#include "platform/FileSystem.h"
#include "metafile/MetafilePicture.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <new>
#include <optional>

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

struct PaintingGate {
    std::mutex mutex;
    std::condition_variable opened;
    bool held = false;
};

PaintingGate& paintingGate()
{
    static PaintingGate gate;
    return gate;
}

void waitForPainting()
{
    PaintingGate& gate = paintingGate();
    std::unique_lock lock(gate.mutex);
    gate.opened.wait(lock, [&] { return !gate.held; });
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

// The file as Qt's readers see it: a read fails once the cancel flag is raised, so that a reader
// stops at its next row (the BMP reader reads row by row, the GIF reader in small chunks).
class CancellableFile : public QIODevice {
public:
    CancellableFile(QFile& file, const CancelFlag& cancel)
        : m_file(file)
        , m_cancel(cancel)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_file.size(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_cancel.raised() || (m_file.pos() != pos() && !m_file.seek(pos())))
            return -1;
        return m_file.read(data, maxSize);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QFile& m_file;
    const CancelFlag& m_cancel;
};

bool cancelled(const CancelFlag* cancel)
{
    return cancel && cancel->raised();
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

void PictureLoader::holdPainting(bool hold)
{
    PaintingGate& gate = paintingGate();
    {
        const std::lock_guard lock(gate.mutex);
        gate.held = hold;
    }
    gate.opened.notify_all();
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

LoadedPicture PictureLoader::load(const QString& path, QSize coverSize, const ByteTable* byteTable, const CancelFlag* cancel)
{
    return load(path, coverSize, byteTable, cancel, false);
}

LoadedPicture PictureLoader::loadJpegOnly(const QString& path, QSize coverSize, const CancelFlag* cancel)
{
    return load(path, coverSize, nullptr, cancel, true);
}

LoadedPicture PictureLoader::load(const QString& path, QSize coverSize, const ByteTable* byteTable, const CancelFlag* cancel,
                                  bool jpegOnly)
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
    if (jpegOnly && result.format != PictureFormat::Jpeg)
        return result;
    switch (result.format) {
    case PictureFormat::Jpeg:
        result = loadJpeg(file, coverSize, byteTable, result, cancel);
        break;
    case PictureFormat::Bmp:
    case PictureFormat::Dib:
    case PictureFormat::Gif:
    case PictureFormat::Ico:
    case PictureFormat::Cur:
        result = loadWithQt(file, head, coverSize, byteTable, result, cancel);
        break;
    case PictureFormat::Wmf:
    case PictureFormat::Emf:
        result = loadMetafile(file, result);
        break;
    default:
        break;
    }
    return cancelled(cancel) ? LoadedPicture{} : result;
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

LoadedPicture PictureLoader::loadJpeg(QFile& file, QSize coverSize, const ByteTable* byteTable, LoadedPicture result,
                                      const CancelFlag* cancel)
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
    const QSize decoded = JpegDecoder::scaledSize(stored, byteTable ? 1 : JpegDecoder::scaleDenominator(stored, fitted));
    // The smooth scale reads 32-bit pixels fastest, so a picture that is scaled afterwards is
    // decoded to them; one that is not, or one reduced through the table, goes straight to 24 bits.
    const bool rgb32 = decoded != fitted && !byteTable;
    QImage target = m_pool.acquire(decoded, rgb32 ? QImage::Format_RGB32 : QImage::Format_RGB888);
    if (target.isNull() || !m_jpeg.decode(data, size, target, cancel) || cancelled(cancel))
        return result;
    result = finish24Bit(target, fitted, stored, byteTable, false, result);
    if (!result.ok || orientation == 1)
        return result;
    result.image = upright(result.image, orientation).convertToFormat(QImage::Format_RGB888);
    result.naturalSize = natural;
    result.ok = !result.image.isNull();
    return result;
}

LoadedPicture PictureLoader::loadBmpRows(QFile& file, const BmpHeaderInfo& bmp, QSize coverSize, const ByteTable* byteTable,
                                         LoadedPicture result, const CancelFlag* cancel)
{
    // Whole blocks are averaged while the rows are read, down to the smallest size that still
    // covers the size shown; the rest of the way is a smooth scale of less than a factor of two.
    const QSize natural(int(bmp.width), int(bmp.height));
    const QSize fitted = fittedSize(natural, coverSize);
    int factor = std::max(1, std::min(natural.width() / fitted.width(), natural.height() / fitted.height()));
    auto covers = [&](int f) {
        const QSize r = BmpRows::reducedSize(natural, f);
        return r.width() >= fitted.width() && r.height() >= fitted.height();
    };
    // A cut-off last block may still leave enough pixels.
    while (factor < std::max(natural.width(), natural.height()) && covers(factor + 1))
        ++factor;
    // Through a table the rest of the way is an area mean, which would cut the blocks' averages
    // other than the file's pixels: the rows stay whole unless they would take too much memory.
    if (byteTable)
        for (int f = 1; f < factor; ++f) {
            const QSize r = BmpRows::reducedSize(natural, f);
            if (qint64(r.width()) * r.height() <= kMaxWholeRowsThroughTable) {
                factor = f;
                break;
            }
        }
    const QSize reduced = BmpRows::reducedSize(natural, factor);
    const bool rgb32 = reduced != fitted && !byteTable;
    QImage target = m_pool.acquire(reduced, rgb32 ? QImage::Format_RGB32 : QImage::Format_RGB888);
    if (target.isNull() || !BmpRows::read(file, bmp, factor, byteTable, target, cancel))
        return result;
    return finish24Bit(target, fitted, natural, byteTable, true, result);
}

LoadedPicture PictureLoader::finish24Bit(QImage& decoded, QSize fitted, QSize natural, const ByteTable* byteTable,
                                         bool tableDone, LoadedPicture result)
{
    if (byteTable)
        result.image = throughTable(decoded, fitted, tableDone ? ByteTables::identity() : *byteTable);
    else
        result.image = decoded.size() != fitted ? scaleTo(decoded, fitted, QImage::Format_RGB888) : decoded;
    if (result.image.isNull())
        return result;
    result.naturalSize = natural;
    result.is24Bit = true;
    if (byteTable)
        result.byteTable = *byteTable;
    result.ok = true;
    return result;
}

LoadedPicture PictureLoader::loadWithQt(QFile& file, QByteArrayView head, QSize coverSize, const ByteTable* byteTable,
                                        LoadedPicture result, const CancelFlag* cancel)
{
    if (result.format == PictureFormat::Bmp || result.format == PictureFormat::Dib) {
        const BmpHeaderInfo bmp = readBmpHeader(head, result.format);
        if (!bmp.valid || qint64(bmp.width) * bmp.height > kMaxPixels)
            return result;
        // Qt reads the rows of a short file as far as they go; a truncated picture is not loadable.
        if (bmp.uncompressed() &&
            (bmp.pixelDataOffset > file.size() || file.size() - bmp.pixelDataOffset < bmp.pixelDataBytes))
            return result;
        if (bmp.is24Bit())
            return loadBmpRows(file, bmp, coverSize, byteTable, result, cancel);
    }

    if (result.format == PictureFormat::Gif) {
        qsizetype size = 0;
        if (file.size() > kMaxJpegFileBytes || !readWhole(file, size) ||
            !gifFirstFrameComplete(QByteArrayView(m_fileBytes.get(), size)) || !file.seek(0))
            return result;
    }
    std::optional<CancellableFile> stoppable;
    if (cancel)
        stoppable.emplace(file, *cancel);
    QImageReader reader(stoppable ? static_cast<QIODevice*>(&*stoppable) : &file, qtFormatName(result.format));
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
    if (!reader.read(&image) || image.isNull() || tooManyPixels(image.size()) || cancelled(cancel))
        return result;

    const QSize natural = image.size();
    const QSize fitted = fittedSize(natural, coverSize);
    if (natural != fitted)
        image = scaleTo(image, fitted, image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull())
        return result;
    // Plain 24-bit BMPs, the only pictures of these formats that are 24-bit, were read by loadBmpRows.
    result.image = image;
    result.naturalSize = natural;
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
        waitForPainting();
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
