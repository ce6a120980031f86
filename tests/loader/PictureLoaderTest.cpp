// The picture loader on generated and real sample files: formats by content, the 24-bit rule,
// reduced decoding with the true natural size, photos turned upright by their Exif orientation,
// plain BMP rows averaged by blocks, stopped loads, broken and hostile files, kept buffers.
#include "platform/CancelFlag.h"
#include "platform/PictureLoader.h"
#include "support/ExifAusrichtung.h"
#include "support/Fixtures.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <gtest/gtest.h>

#include <sys/resource.h>

namespace {

const QString kSamples = QStringLiteral(FOTOLAUF_SAMPLES_DIR);

QString sample(const char* relative)
{
    return kSamples + QLatin1Char('/') + QLatin1String(relative);
}

QByteArray encode(const QImage& image, const char* format, int quality = 95)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

// Left half red, right half blue: a reduced or scaled picture must keep both where they were.
QImage halves(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, format);
    image.fill(Qt::red);
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x)
            image.setPixelColor(x, y, Qt::blue);
    return image;
}

bool near(QColor a, QColor b, int tolerance = 24)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// JPEG bytes whose frame header claims another size (the SOF0 marker written by Qt's encoder).
QByteArray withJpegSize(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0)
        return {};
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

// A progressive JPEG whose last scan is repeated until it has the given number of scans, with junk
// bytes before each repetition (libjpeg skips them); libjpeg decodes such a file with a warning.
QByteArray withScans(const QByteArray& progressive, int scans)
{
    const QByteArray sos("\xFF\xDA", 2);
    const qsizetype last = progressive.lastIndexOf(sos);
    const qsizetype end = progressive.lastIndexOf(QByteArray("\xFF\xD9", 2));
    const int present = int(progressive.count(sos));
    if (last < 0 || end < last || present > scans)
        return {};
    QByteArray out = progressive.left(end);
    for (int i = present; i < scans; ++i)
        out += QByteArray("junk") + progressive.mid(last, end - last);
    return out + progressive.mid(end);
}

class PictureLoaderTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) { return Fixtures::writeFile(dir.filePath(name), bytes); }
    QTemporaryDir dir;
    PictureLoader loader;
};

}  // namespace

TEST_F(PictureLoaderTest, GeneratedPicturesAreKnownByContentAndFollowTheTwentyFourBitRule)
{
    const QByteArray jpeg = encode(halves(40, 30), "jpeg"), bmp = encode(halves(40, 30), "bmp");
    const struct {
        const char* name;
        QByteArray bytes;
        PictureFormat format;
        bool is24Bit;
    } rows[] = {
        {"a.jpg", jpeg, PictureFormat::Jpeg, true},
        {"b.bmp", bmp, PictureFormat::Bmp, true},  // Qt writes RGB32 as 24 bits
        {"c.bmp", encode(halves(40, 30, QImage::Format_ARGB32), "bmp"), PictureFormat::Bmp, true},  // and ARGB32 too
        {"d.bmp", encode(halves(40, 30).convertToFormat(QImage::Format_Indexed8), "bmp"), PictureFormat::Bmp, false},
        {"e.ico", encode(halves(40, 30), "ico"), PictureFormat::Ico, false},
        // The name says nothing.
        {"picture.dib", bmp, PictureFormat::Bmp, true},
        {"jpeg.bmp", jpeg, PictureFormat::Jpeg, true},
        {"bitmap.gif", bmp, PictureFormat::Bmp, true},
        {"jpeg_without_extension", jpeg, PictureFormat::Jpeg, true},
        {"bitmap.JPG", bmp, PictureFormat::Bmp, true},
        {"clipboard.dib", bmp.mid(14), PictureFormat::Dib, true},  // the bitmap without its file header
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const LoadedPicture p = loader.load(write(row.name, row.bytes));
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.format, row.format);
        EXPECT_EQ(p.is24Bit, row.is24Bit);
        EXPECT_EQ(p.naturalSize, QSize(40, 30));
        EXPECT_EQ(p.image.size(), QSize(40, 30));
        EXPECT_FALSE(p.reduced());
        EXPECT_EQ(p.image.format() == QImage::Format_RGB888, row.is24Bit);
        EXPECT_TRUE(near(p.image.pixelColor(5, 15), Qt::red));
        EXPECT_TRUE(near(p.image.pixelColor(34, 15), Qt::blue));
    }
}

TEST_F(PictureLoaderTest, RealSamplesLoadWithTheirSizeAndDepth)
{
    const struct {
        const char* path;
        QSize size;
        bool is24Bit;
    } rows[] = {
        {"jpg/libjpeg-turbo__testorig.jpg", {227, 149}, true},
        {"jpg/libjpeg-turbo__testimgari.jpg", {227, 149}, true},  // arithmetic coding
        {"jpg/exiv2__exiv2-bug1137_progressive-icc.jpg", {180, 180}, true},
        {"jpg/pillow__hopper_gray.jpg", {128, 128}, true},         // grey-scale comes as RGB
        {"jpg/pillow__hopper_16bit_qtables.jpg", {128, 128}, true},
        {"jpg/pillow__jpeg_ff00_header.jpg", {300, 225}, true},    // stray bytes between segments
        {"exif/pillow__pil_sample_cmyk.jpg", {100, 100}, true},
        {"exif/ianare-orient__landscape_6.jpg", {600, 450}, true},  // stored on its side, turned upright
        {"bmp/bmpsuite/g/rgb24.bmp", {127, 64}, true},
        {"bmp/image-rs__Info_R8_G8_B8_Top_Down.bmp", {6, 6}, true},
        {"bmp/bmpsuite/g/pal8os2.bmp", {127, 64}, false},
        {"bmp/bmpsuite/g/pal1.bmp", {127, 64}, false},
        {"bmp/bmpsuite/g/pal4rle.bmp", {127, 64}, false},
        {"bmp/bmpsuite/g/pal8rle.bmp", {127, 64}, false},
        {"bmp/bmpsuite/g/rgb16-565.bmp", {127, 64}, false},
        {"bmp/bmpsuite/g/rgb32.bmp", {127, 64}, false},
        {"bmp/bmpsuite/g/rgb32bf.bmp", {127, 64}, false},
        {"bmp/poi__clock.dib", {192, 176}, true},                  // .dib with a file header
        {"bmp/pillow__clipboard.dib", {296, 176}, false},          // .dib without one, 32 bits
        {"gif/pillow__hopper.gif", {128, 128}, false},
        {"gif/image-gif__interlaced.gif", {540, 330}, false},
        {"gif/runtime-assets__animated-timer-1fps-repeat-infinite.gif", {137, 127}, false},
        {"ico/runtime-assets__256x256_one_entry_32bit.ico", {256, 256}, false},
        {"ico/runtime-assets__48x48_one_entry_1bit.ico", {48, 48}, false},
        {"ico/image-rs__png-32bpp-alpha.ico", {}, false},
        {"cur/winforms__east.cur", {32, 32}, false},
        {"cur/pillow__deerstalker.cur", {}, false},
    };
    for (const auto& row : rows) {
        const LoadedPicture p = loader.load(sample(row.path));
        ASSERT_TRUE(p.ok) << row.path;
        if (row.size.isValid()) {
            EXPECT_EQ(p.naturalSize, row.size) << row.path;
        }
        EXPECT_EQ(p.image.size(), p.naturalSize) << row.path;
        EXPECT_EQ(p.is24Bit, row.is24Bit) << row.path;
        EXPECT_EQ(p.is24Bit, p.image.format() == QImage::Format_RGB888) << row.path;
    }
}

TEST_F(PictureLoaderTest, CmykJpegComesOutInItsColoursNotInverted)
{
    // The reference rendering of the BMP Suite shows the same picture as rgb24.bmp.
    const LoadedPicture jpeg = loader.load(sample("bmp/bmpsuite/ref/rgb24.jpg"));
    const LoadedPicture bmp = loader.load(sample("bmp/bmpsuite/g/rgb24.bmp"));
    ASSERT_TRUE(jpeg.ok && bmp.ok);
    for (QPoint at : {QPoint(5, 5), QPoint(60, 30), QPoint(120, 60)})
        EXPECT_TRUE(near(jpeg.image.pixelColor(at), bmp.image.pixelColor(at), 40)) << at.x() << "," << at.y();
    // Qt's own JPEG reader, which combines the inks the same way, is the reference for CMYK.
    const QString cmykPath = sample("exif/pillow__pil_sample_cmyk.jpg");
    const LoadedPicture cmyk = loader.load(cmykPath);
    const QImage reference = QImage(cmykPath).convertToFormat(QImage::Format_RGB888);
    ASSERT_TRUE(cmyk.ok);
    ASSERT_EQ(cmyk.image.size(), reference.size());
    for (QPoint at : {QPoint(10, 10), QPoint(50, 50), QPoint(90, 30)})
        EXPECT_TRUE(near(cmyk.image.pixelColor(at), reference.pixelColor(at), 8)) << at.x() << "," << at.y();
}

TEST_F(PictureLoaderTest, ReducedPicturesKeepTheTrueNaturalSizeAndAreFittedExactly)
{
    const QString jpeg = write(QStringLiteral("big.jpg"), encode(halves(1600, 1200), "jpeg"));
    const QString bmp = write(QStringLiteral("big.bmp"), encode(halves(900, 600), "bmp"));
    const QString odd = write(QStringLiteral("odd.jpg"), encode(halves(66, 48), "jpeg"));
    const struct {
        const QString& path;
        QSize natural, cover, image;
    } rows[] = {
        {jpeg, {1600, 1200}, {}, {1600, 1200}},              // empty cover: full resolution
        {jpeg, {1600, 1200}, {2000, 2000}, {1600, 1200}},    // fits: never enlarged
        {jpeg, {1600, 1200}, {1600, 1200}, {1600, 1200}},    // exactly as large
        {jpeg, {1600, 1200}, {800, 600}, {800, 600}},        // 1/2 lands exactly
        {jpeg, {1600, 1200}, {200, 150}, {200, 150}},        // 1/8 lands exactly
        {jpeg, {1600, 1200}, {700, 700}, {700, 525}},        // 1/2 then scaled the rest of the way
        {jpeg, {1600, 1200}, {1920, 1080}, {1440, 1080}},    // height decides
        {jpeg, {1600, 1200}, {100, 100}, {100, 75}},         // beyond 1/8: area-averaged
        {jpeg, {1600, 1200}, {401, 301}, {401, 301}},        // 1/4 is a pixel short: 1/2, then scaled
        {bmp, {900, 600}, {600, 600}, {600, 400}},           // no reduced decoding: scaled, still 24 bits
        {odd, {66, 48}, {}, {66, 48}},                       // rows of 198 bytes, padded
        {odd, {66, 48}, {50, 50}, {50, 36}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(QStringLiteral("%1 into %2x%3").arg(row.path).arg(row.cover.width()).arg(row.cover.height()).toStdString());
        LoadedPicture p = loader.load(row.path, row.cover);
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.naturalSize, row.natural);
        EXPECT_EQ(p.image.size(), row.image);
        EXPECT_EQ(p.reduced(), row.image != row.natural);
        EXPECT_EQ(p.image.format(), QImage::Format_RGB888);
        EXPECT_TRUE(p.is24Bit);
        const int w = p.image.width(), h = p.image.height();
        EXPECT_TRUE(near(p.image.pixelColor(w / 4, h / 2), Qt::red));
        EXPECT_TRUE(near(p.image.pixelColor(3 * w / 4, h / 2), Qt::blue));
        EXPECT_TRUE(near(p.image.pixelColor(0, 0), Qt::red));
        EXPECT_TRUE(near(p.image.pixelColor(w - 1, h - 1), Qt::blue));
        // The brightness pass writes through the bits, in rows padded to 4 bytes like a Windows
        // bitmap's; reaching them must not copy the picture.
        const uchar* before = p.image.constBits();
        EXPECT_EQ(p.image.bits(), before);
        EXPECT_EQ(p.image.bytesPerLine() % 4, 0);
        EXPECT_GE(p.image.bytesPerLine(), p.image.width() * 3);
    }
}

TEST_F(PictureLoaderTest, PlainBmpRowsAreExactAtFullSizeAndAveragedByWholeBlocksWhenReduced)
{
    // Every pixel different, so a row or column out of place shows.
    auto muster = [](int w, int h) {
        QImage i(w, h, QImage::Format_RGB888);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                i.setPixelColor(x, y, QColor((x * 37 + y * 11) % 256, (x * 5 + y * 53) % 256, (x * y + 7 * x) % 256));
        return i;
    };
    // Stored top row first: the height negative and the rows the other way round.
    auto vonOben = [](QByteArray bmp, int w, int h) {
        const qsizetype zeile = (qsizetype(w) * 3 + 3) / 4 * 4, anfang = 54;
        QByteArray umgedreht = bmp.left(anfang);
        for (int y = h - 1; y >= 0; --y)
            umgedreht += bmp.mid(anfang + y * zeile, zeile);
        const qint32 minus = -h;
        umgedreht.replace(22, 4, reinterpret_cast<const char*>(&minus), 4);
        return umgedreht;
    };
    // The average of a block, over the pixels the picture has there.
    auto block = [](const QImage& i, int bx, int by, int k) {
        int r = 0, g = 0, b = 0, n = 0;
        for (int y = by * k; y < std::min(i.height(), by * k + k); ++y)
            for (int x = bx * k; x < std::min(i.width(), bx * k + k); ++x, ++n) {
                const QColor c = i.pixelColor(x, y);
                r += c.red(), g += c.green(), b += c.blue();
            }
        return QColor((r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n);
    };
    for (const QSize natur : {QSize(96, 60), QSize(97, 61)}) {
        const QImage quelle = muster(natur.width(), natur.height());
        const QByteArray bmp = encode(quelle, "bmp");
        const struct {
            const char* name;
            QByteArray bytes;
        } dateien[] = {{"unten.bmp", bmp}, {"oben.bmp", vonOben(bmp, natur.width(), natur.height())}, {"ohne.dib", bmp.mid(14)}};
        for (const auto& datei : dateien) {
            const QString pfad = write(datei.name, datei.bytes);
            // Full size: every pixel as stored.
            const LoadedPicture ganz = loader.load(pfad);
            SCOPED_TRACE(QStringLiteral("%1 %2x%3").arg(datei.name).arg(natur.width()).arg(natur.height()).toStdString());
            ASSERT_TRUE(ganz.ok && ganz.is24Bit);
            ASSERT_EQ(ganz.image.format(), QImage::Format_RGB888);
            EXPECT_EQ(ganz.image.convertToFormat(QImage::Format_RGB32), quelle.convertToFormat(QImage::Format_RGB32));
            // A third: 3 x 3 blocks (cut off at the right and bottom edge of 97 x 61), exactly.
            const QSize drittel((natur.width() + 2) / 3, (natur.height() + 2) / 3);
            const LoadedPicture klein = loader.load(pfad, drittel);
            ASSERT_TRUE(klein.ok && klein.is24Bit);
            ASSERT_EQ(klein.image.size(), drittel);
            EXPECT_EQ(klein.naturalSize, natur);
            int falsch = 0;
            for (int y = 0; y < drittel.height(); ++y)
                for (int x = 0; x < drittel.width(); ++x)
                    falsch += klein.image.pixelColor(x, y) != block(quelle, x, y, 3);
            EXPECT_EQ(falsch, 0);
        }
    }
    // Between the block sizes the rest of the way is smooth: a gradient stays the gradient.
    QImage verlauf(900, 600, QImage::Format_RGB888);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 900; ++x)
            verlauf.setPixelColor(x, y, QColor(x * 255 / 899, y * 255 / 599, 128));
    const LoadedPicture p = loader.load(write(QStringLiteral("verlauf.bmp"), encode(verlauf, "bmp")), QSize(250, 250));
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.image.size(), QSize(250, 167));  // 166.7 rounded, as the placement rounds it
    const QImage soll = verlauf.scaled(250, 167, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (QPoint at : {QPoint(0, 0), QPoint(125, 80), QPoint(249, 166), QPoint(30, 150)})
        EXPECT_TRUE(near(p.image.pixelColor(at), soll.pixelColor(at), 4)) << at.x() << "," << at.y();
}

TEST_F(PictureLoaderTest, AStoppedLoadGivesNothingAndTheLoaderGoesOnAfterIt)
{
    const QString jpeg = write(QStringLiteral("a.jpg"), encode(halves(640, 480), "jpeg"));
    const QString bmp24 = write(QStringLiteral("b.bmp"), encode(halves(640, 480), "bmp"));
    const QString bmp8 = write(QStringLiteral("c.bmp"), encode(halves(640, 480).convertToFormat(QImage::Format_Indexed8), "bmp"));
    const QString gif = sample("gif/image-gif__interlaced.gif"), emf = sample("emf/libemf2svg__EA-test-file-001.emf");
    CancelFlag gestoppt;
    gestoppt.raise();
    for (const QString& datei : {jpeg, bmp24, bmp8, gif, emf}) {
        SCOPED_TRACE(datei.toStdString());
        const bool haelften = datei.startsWith(dir.path());
        for (const QSize abdeckung : {QSize(), QSize(100, 100)}) {
            const LoadedPicture nichts = loader.load(datei, abdeckung, nullptr, &gestoppt);
            EXPECT_FALSE(nichts.ok);
            EXPECT_TRUE(nichts.image.isNull() && !nichts.metafile);
            const CancelFlag weiter;
            const LoadedPicture bild = loader.load(datei, abdeckung, nullptr, &weiter);
            ASSERT_TRUE(bild.ok);
            EXPECT_EQ(bild.image.isNull(), bool(bild.metafile));
            if (haelften) {
                const int w = bild.image.width(), h = bild.image.height();
                EXPECT_TRUE(near(bild.image.pixelColor(w / 4, h / 2), Qt::red));
                EXPECT_TRUE(near(bild.image.pixelColor(3 * w / 4, h / 2), Qt::blue));
            }
        }
    }
}

TEST_F(PictureLoaderTest, BrokenAndForeignFilesFailCleanly)
{
    const QByteArray jpeg = encode(halves(200, 150), "jpeg");
    const QByteArray bmp = encode(halves(200, 150), "bmp");
    const QByteArray gif = Fixtures::content(sample("gif/image-gif__interlaced.gif"));
    ASSERT_FALSE(gif.isEmpty());
    const struct {
        const char* name;
        QByteArray bytes;
    } rows[] = {
        {"zero.jpg", QByteArray()},
        {"zero.bmp", QByteArray()},
        {"text.jpg", "This is not a picture.\n"},
        {"png.jpg", encode(halves(40, 30), "png")},
        {"half.jpg", jpeg.left(jpeg.size() / 2)},
        {"noscan.jpg", jpeg.left(jpeg.indexOf(QByteArray("\xFF\xDA", 2)))},
        {"soi.jpg", jpeg.left(3)},
        {"half.bmp", bmp.left(bmp.size() / 2)},
        {"headeronly.bmp", bmp.left(54)},
        {"half.gif", gif.left(gif.size() / 2)},
        {"header.gif", gif.left(13)},
    };
    for (const auto& row : rows) {
        const LoadedPicture p = loader.load(write(row.name, row.bytes));
        EXPECT_FALSE(p.ok) << row.name;
        EXPECT_TRUE(p.image.isNull()) << row.name;
        EXPECT_FALSE(p.reduced()) << row.name;
    }
    // Missing files, folders and FIFOs named like pictures: see the hostile-input tests.
    EXPECT_FALSE(loader.load(dir.filePath(QStringLiteral("missing.jpg"))).ok);
}

TEST_F(PictureLoaderTest, ProgressiveJpegWithMoreScansThanEncodersWriteIsRefused)
{
    QByteArray progressive;
    QBuffer buffer(&progressive);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(halves(640, 480)));
    const int written = int(progressive.count(QByteArray("\xFF\xDA", 2)));
    ASSERT_GT(written, 1);
    for (int scans : {written, JpegDecoder::kMaxScans, JpegDecoder::kMaxScans + 1, 499}) {
        const QByteArray bytes = withScans(progressive, scans);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(JpegDecoder::countScans(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), 1000), scans);
        const LoadedPicture p = loader.load(write(QStringLiteral("p%1.jpg").arg(scans), bytes), QSize(320, 240));
        EXPECT_EQ(p.ok, scans <= JpegDecoder::kMaxScans) << scans;
        if (p.ok) {
            EXPECT_TRUE(near(p.image.pixelColor(300, 100), Qt::blue)) << scans;
        }
    }
}

TEST_F(PictureLoaderTest, MetafilesLoadAsVectorsWithTheirNaturalSize)
{
    for (const QString& kind : {QStringLiteral("wmf"), QStringLiteral("emf")}) {
        const QFileInfoList files = QDir(kSamples + QLatin1Char('/') + kind).entryInfoList({QStringLiteral("*.") + kind}, QDir::Files);
        EXPECT_FALSE(files.isEmpty()) << kind.toStdString();
        for (const QFileInfo& file : files) {
            SCOPED_TRACE(file.fileName().toStdString());
            const LoadedPicture p = loader.load(file.filePath());
            EXPECT_TRUE(p.ok && p.metafile && p.image.isNull() && !p.is24Bit && !p.naturalSize.isEmpty());
            EXPECT_EQ(p.format, kind == QLatin1String("wmf") ? PictureFormat::Wmf : PictureFormat::Emf);
        }
    }
}

TEST_F(PictureLoaderTest, HeadersClaimingHugePicturesAreRefusedBeforeAnyPixelMemory)
{
    const QByteArray small = encode(halves(16, 16), "jpeg");
    QByteArray bmp = encode(halves(16, 16), "bmp");
    QByteArray bmpHuge = bmp;
    const int huge = 60000;
    for (int i = 0; i < 4; ++i) {
        bmpHuge[18 + i] = char((huge >> (8 * i)) & 0xFF);
        bmpHuge[22 + i] = char((huge >> (8 * i)) & 0xFF);
    }
    const struct {
        const char* name;
        QByteArray bytes;
    } rows[] = {
        {"huge.jpg", withJpegSize(small, huge, huge)},
        {"huge.bmp", bmpHuge},
        {"justover.jpg", withJpegSize(small, 16385, 8192)},
    };
    const long rssBefore = peakRssKb();
    for (const auto& row : rows) {
        ASSERT_FALSE(row.bytes.isEmpty()) << row.name;
        const LoadedPicture p = loader.load(write(row.name, row.bytes), QSize(1920, 1080));
        EXPECT_FALSE(p.ok) << row.name;
        EXPECT_EQ(loader.pixelBuffersCreated(), 0) << row.name;
    }
    // Real samples with lying headers: width or height near 2^31, 3000000 x 2000000, a 65535 x 65535
    // icon bitmap behind a 16 x 16 directory entry, GIF canvases of 11390 x 12595 and 6727 x 65351.
    for (const char* path : {"bad/image-rs__Bad_width.bmp", "bad/image-rs__Bad_height.bmp", "bad/bmpsuite-b/reallybig.bmp",
                             "bad/pillow__l2rgb_read.bmp", "bad/image-gif__issue-96-small-codesize-2.gif",
                             "bad/image-gif__issue-101-infinite-empty-loop.gif"})
        EXPECT_FALSE(loader.load(sample(path)).ok) << path;
    const LoadedPicture bomb = loader.load(sample("bad/pillow__decompression_bomb.ico"));
    EXPECT_TRUE(!bomb.ok || bomb.naturalSize.width() <= 256);
    EXPECT_LT(peakRssKb() - rssBefore, 64 * 1024);
}

TEST_F(PictureLoaderTest, EveryBadSampleFailsOrGivesAConsistentPicture)
{
    // Files that are known to be cut short or hold no picture at all must fail.
    const QStringList mustFail = {
        QStringLiteral("bmpsuite-b/shortfile.bmp"), QStringLiteral("bmpsuite-b/badbitcount.bmp"),
        QStringLiteral("pillow__truncated_jpeg.jpg"), QStringLiteral("pillow__no_cursors.cur"),
        QStringLiteral("pillow__zero_width.gif"), QStringLiteral("runtime-assets__invalid-0byte.ico"),
        QStringLiteral("exiv2__IMGP0006-min.jpg"),
    };
    QDirIterator it(kSamples + QStringLiteral("/bad"), QDir::Files, QDirIterator::Subdirectories);
    int seen = 0, failedAsTheyMust = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(QLatin1String(".txt")))
            continue;
        ++seen;
        const LoadedPicture p = loader.load(path, QSize(800, 600));
        const QString relative = path.mid(kSamples.size() + 5);
        if (mustFail.contains(relative)) {
            EXPECT_FALSE(p.ok) << relative.toStdString();
            failedAsTheyMust += !p.ok;
        }
        if (!p.ok)
            continue;
        EXPECT_LE(qint64(p.naturalSize.width()) * p.naturalSize.height(), PictureLoader::kMaxPixels);
        if (p.metafile) {
            // A metafile whose header holds: its broken records are skipped when it is drawn.
            EXPECT_TRUE(p.image.isNull()) << relative.toStdString();
            continue;
        }
        EXPECT_FALSE(p.image.isNull()) << relative.toStdString();
        EXPECT_LE(qint64(p.naturalSize.width()) * p.naturalSize.height(), PictureLoader::kMaxPixels);
        EXPECT_EQ(p.image.size(), PictureLoader::fittedSize(p.naturalSize, QSize(800, 600))) << relative.toStdString();
    }
    EXPECT_GT(seen, 100);
    EXPECT_EQ(failedAsTheyMust, mustFail.size());
}

TEST_F(PictureLoaderTest, DecodeBuffersAreReusedButNeverUnderAPictureStillHeld)
{
    const QString a = write(QStringLiteral("a.jpg"), encode(halves(640, 480), "jpeg"));
    QImage green(640, 480, QImage::Format_RGB32);
    green.fill(Qt::green);
    const QString b = write(QStringLiteral("b.jpg"), encode(green, "jpeg"));

    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(loader.load(a, QSize(500, 500)).ok);
    const int afterWarmUp = loader.pixelBuffersCreated();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(loader.load(i % 2 ? a : b, QSize(500, 500)).ok);
    EXPECT_EQ(loader.pixelBuffersCreated(), afterWarmUp);  // results dropped at once: same memory again

    // A picture still shown keeps its pixels while the next ones are decoded.
    const LoadedPicture held = loader.load(a, QSize(500, 500));
    ASSERT_TRUE(held.ok);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(loader.load(b, QSize(500, 500)).ok);
    EXPECT_TRUE(near(held.image.pixelColor(10, 10), Qt::red));
    EXPECT_TRUE(near(held.image.pixelColor(490, 300), Qt::blue));
    // Full-size decodes go straight into the picture handed out: the same rule holds for them.
    const LoadedPicture heldFull = loader.load(a);
    const LoadedPicture next = loader.load(b);
    ASSERT_TRUE(heldFull.ok && next.ok);
    EXPECT_NE(heldFull.image.constBits(), next.image.constBits());
    EXPECT_TRUE(near(heldFull.image.pixelColor(10, 10), Qt::red));
}

TEST_F(PictureLoaderTest, LoadersOnSeveralThreadsDecodeIndependently)
{
    const QString a = write(QStringLiteral("a.jpg"), encode(halves(800, 600), "jpeg"));
    const QString b = write(QStringLiteral("b.bmp"), encode(halves(300, 200), "bmp"));
    auto run = [](QString path, QSize cover) {
        PictureLoader own;
        QSize last;
        for (int i = 0; i < 20; ++i) {
            const LoadedPicture p = own.load(path, cover);
            if (!p.ok)
                return QSize();
            last = p.image.size();
        }
        return last;
    };
    QFuture<QSize> first = QtConcurrent::run(run, a, QSize(300, 300));
    QFuture<QSize> second = QtConcurrent::run(run, b, QSize(150, 150));
    EXPECT_EQ(first.result(), QSize(300, 225));
    EXPECT_EQ(second.result(), QSize(150, 100));
}

TEST_F(PictureLoaderTest, PhotosComeUprightAsTheirExifOrientationSays)
{
    // Photos of one scene stored in all eight orientations, tagged by another program; Qt's own
    // reader turns them by the tag as well. At full size and reduced for a small screen, each comes
    // out as that reader shows it.
    for (const char* art : {"landscape", "portrait"}) {
        for (QSize cover : {QSize(), QSize(300, 300)}) {
            for (int n = 1; n <= 8; ++n) {
                const QString pfad = sample(QStringLiteral("exif/ianare-orient__%1_%2.jpg").arg(QLatin1String(art)).arg(n).toUtf8());
                SCOPED_TRACE(qPrintable(QStringLiteral("%1 into %2x%3").arg(pfad).arg(cover.width()).arg(cover.height())));
                QImageReader qt(pfad);
                qt.setAutoTransform(true);
                QImage soll = qt.read().convertToFormat(QImage::Format_RGB888);
                ASSERT_FALSE(soll.isNull());
                const LoadedPicture p = loader.load(pfad, cover);
                ASSERT_TRUE(p.ok);
                EXPECT_EQ(p.naturalSize, soll.size());
                if (!cover.isEmpty())
                    soll = soll.scaled(PictureLoader::fittedSize(soll.size(), cover), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                ASSERT_EQ(p.image.size(), soll.size());
                EXPECT_EQ(p.image.format(), QImage::Format_RGB888);
                double abweichung = 0;
                for (int y = 0; y < soll.height(); ++y)
                    for (int x = 0; x < 3 * soll.width(); ++x)
                        abweichung += std::abs(p.image.constScanLine(y)[x] - soll.constScanLine(y)[x]);
                EXPECT_LT(abweichung / (3.0 * soll.width() * soll.height()), 3.0);
            }
        }
    }

    // Tags that say nothing usable leave the picture as stored: values outside 1 to 8, a value of
    // another type, an IFD beyond the data, an Exif segment cut short.
    const QByteArray jpeg = encode(halves(40, 30), "jpeg");
    QByteArray text = Fixtures::mitAusrichtung(jpeg, 6);
    text[text.indexOf(QByteArray("\x01\x12\x00\x03", 4)) + 3] = 2;  // ASCII
    QByteArray weit = Fixtures::mitAusrichtung(jpeg, 6);
    weit[weit.indexOf("MM") + 7] = char(0x7F);  // IFD0 far beyond the segment
    // The segment ends inside IFD0's only entry: 6 bytes "Exif", 8 of header, 2 of count, 4 of 12.
    const QByteArray ganz = Fixtures::mitAusrichtung(jpeg, 6, true);
    const int laenge = 2 + 6 + 14;
    const QByteArray kurz = ganz.left(4) + char(0) + char(laenge) + ganz.mid(6, laenge - 2) + ganz.mid(4 + 34);
    for (const QByteArray& bytes : {Fixtures::mitAusrichtung(jpeg, 0), Fixtures::mitAusrichtung(jpeg, 9, true),
                                    Fixtures::mitAusrichtung(jpeg, 0x106), text, weit, kurz}) {
        const LoadedPicture p = loader.load(write(QStringLiteral("schief.jpg"), bytes));
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.naturalSize, QSize(40, 30));
        EXPECT_TRUE(near(p.image.pixelColor(0, 0), Qt::red));
    }
}
