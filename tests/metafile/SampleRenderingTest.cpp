// Renders every sample metafile at the size of another program's rendering of it and
// compares the two, both scaled to 128 pixels wide, by the mean absolute channel difference.
#include "MetafileTestSupport.h"

#include "metafile/EmfPlayer.h"

#include <QDir>
#include <map>

using namespace testmf;

namespace {

// Mean absolute difference per channel (0-255) below which two renderings count as the same
// picture. Most samples stay under 5; text set in other faces than the reference's, and
// one-pixel offsets in the tiny (32 to 80 pixel) pictures, which the scaling to 128 pixels
// magnifies, reach up to about 21.
constexpr double kThreshold = 22.0;

// Mean grey level (0-255) of a part of an image.
double meanGrey(const QImage& image, const QRect& part)
{
    double sum = 0;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            sum += qGray(image.pixel(x, y));
    return sum / (part.width() * part.height());
}

// The other program drew next to nothing (at most a faint frame) of a picture that ours shows.
bool referenceEmpty(const QImage& ours, const QImage& reference, QSize, const QByteArray&)
{
    return meanGrey(reference, reference.rect()) < 10 && meanGrey(ours, ours.rect()) > 60;
}

// The other program places the page higher than its frame, so the drawing runs off the top and
// the bottom tenth of its rendering stays empty, where ours is drawn.
bool referencePageMovedUp(const QImage& ours, const QImage& reference, QSize, const QByteArray&)
{
    const QRect bottom(0, reference.height() * 9 / 10, reference.width(), reference.height() / 10);
    return meanGrey(reference, bottom) < 1 && meanGrey(ours, bottom) > 50;
}

// Both scaled to 128 pixels wide first.
double scaledDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.scaledToWidth(128, Qt::SmoothTransformation);
    return meanDifference(x, b.scaled(x.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

// The other program puts the corner of the ink's bounds, not of the frame, at the picture's
// corner: ours moved by the difference is the same picture.
bool referencePlacedByBounds(const QImage& ours, const QImage& reference, QSize, const QByteArray& bytes)
{
    const auto h = metafile::readEmfHeader(bytes);
    if (!h)
        return false;
    const qreal toFrameX = h->millimeters.width() * 100 / h->device.width(), toFrameY = h->millimeters.height() * 100 / h->device.height();
    const qreal dx = (h->bounds.left() * toFrameX - h->frame.left()) / (h->frame.right() - h->frame.left()) * ours.width();
    const qreal dy = (h->bounds.top() * toFrameY - h->frame.top()) / (h->frame.bottom() - h->frame.top()) * ours.height();
    if (std::abs(dx) < 0.5 && std::abs(dy) < 0.5)
        return false;
    QImage moved(ours.size(), QImage::Format_RGB32);
    moved.fill(Qt::black);
    QPainter(&moved).drawImage(QPointF(-dx, -dy), ours);
    const double difference = scaledDifference(moved, reference);
    std::printf("    moved by %.1f, %.1f: diff %.2f\n", -dx, -dy, difference);
    return difference < kThreshold;
}

// Samples whose rendering differs from the reference, and a check that shows why.
struct KnownDifference {
    const char* reason;
    bool (*why)(const QImage& ours, const QImage& reference, QSize natural, const QByteArray& bytes);  // nullptr: not shown yet
};
const std::map<QString, KnownDifference> kKnownDifferences = {
    {"libemf2svg__test-007.emf", {"the reference is empty: Inkscape drew nothing of this picture", referenceEmpty}},
    {"libemf2svg__test-065.emf", {"the reference is empty: Inkscape drew nothing of this picture", referenceEmpty}},
    {"libwmf__text.wmf", {"no window extent: Inkscape puts it on an A4 page, we size it to what it draws",
                          [](const QImage&, const QImage& r, QSize n, const QByteArray&) { return r.size() == QSize(1123, 794) && n.width() < 600; }}},
    {"runtime-assets__gdiwmfboundariesbug.wmf", {"Inkscape made a 22 x 17 pixel picture of this 324 x 252 one "
                                                 "(checked against the .NET rendering below instead)",
                                                 [](const QImage&, const QImage& r, QSize n, const QByteArray&) { return r.width() * 10 < n.width(); }}},
    {"libemf2svg__test-000.emf", {"Inkscape places the page higher than its frame", referencePageMovedUp}},
    {"libemf2svg__test-120.emf", {"Inkscape places the page higher than its frame", referencePageMovedUp}},
    {"libemf2svg__test-022.emf", {"Inkscape places the page higher than its frame", referencePageMovedUp}},
    {"libemf2svg__test-013.emf", {"Inkscape places the drawing by its ink's bounds, not by its frame", referencePlacedByBounds}},
    {"libemf2svg__test-132.emf", {"Inkscape places the drawing by its ink's bounds, not by its frame", referencePlacedByBounds}},
    {"libemf2svg__test-179.emf", {"Inkscape places the drawing by its ink's bounds, not by its frame", referencePlacedByBounds}},
    {"libemf2svg__test-180.emf", {"Inkscape places the drawing by its ink's bounds, not by its frame", referencePlacedByBounds}},
    {"libemf2svg__test-182.emf", {"Inkscape places the drawing by its ink's bounds, not by its frame", referencePlacedByBounds}},
    {"pillow__drawing.emf", {"Inkscape places the drawing by its ink's bounds, not by its frame", referencePlacedByBounds}},
    {"libwmf__Eg.wmf", {"the title's font height is a cell height, which GDI (and we) make 10% smaller than Inkscape", nullptr}},
    {"libemf2svg__EA-test-file-020.emf", {"Inkscape draws the page larger than the records' own bounds place it", nullptr}},
    {"poi__nested_wmf.emf", {"monochrome brushes: we colour them with the text and background colours as GDI does, "
                             "Inkscape draws a pink dot pattern", nullptr}},
};


QStringList samples(const char* kind)
{
    const QDir dir(QStringLiteral(FOTOLAUF_SAMPLES_DIR "/") + QLatin1String(kind));
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.") + QLatin1String(kind)}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

void compareKind(const char* kind)
{
    const QStringList files = samples(kind);
    ASSERT_FALSE(files.isEmpty());
    const QByteArray dumpDir = qgetenv("FOTOLAUF_METAFILE_DUMP");
    int compared = 0;
    for (const QString& path : files) {
        const QString name = QFileInfo(path).fileName();
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = sample(QLatin1String(kind) + QLatin1Char('/') + name);
        const auto picture = MetafilePicture::load(bytes);
        ASSERT_TRUE(picture) << "does not load";
        const QImage reference(path + QStringLiteral(".ref.png"));
        if (reference.isNull())
            continue;
        const QImage rendered = render(bytes, reference.size());
        if (!dumpDir.isEmpty())
            rendered.save(QString::fromLocal8Bit(dumpDir) + QLatin1Char('/') + name + QStringLiteral(".png"));
        const double difference = scaledDifference(rendered, reference);
        ++compared;
        const auto known = kKnownDifferences.find(name);
        std::printf("%-48s %4dx%-4d natural %4dx%-4d diff %6.2f%s\n", qPrintable(name), reference.width(),
                    reference.height(), picture->naturalSize().width(), picture->naturalSize().height(), difference,
                    known != kKnownDifferences.end() ? "  (known difference)" : "");
        if (known == kKnownDifferences.end()) {
            EXPECT_LT(difference, kThreshold);
        } else if (known->second.why) {
            EXPECT_TRUE(known->second.why(rendered, reference, picture->naturalSize(), bytes)) << known->second.reason;
        }
    }
    EXPECT_GT(compared, 0);
}

TEST(MetafileSamples, WmfSamplesLookLikeTheReferenceRenderings) { compareKind("wmf"); }

TEST(MetafileSamples, PlainWmfLooksLikeTheDotNetRendering)
{
    const QString name = QStringLiteral("wmf/runtime-assets__gdiwmfboundariesbug");
    const auto picture = MetafilePicture::load(sample(name + QStringLiteral(".wmf")));
    ASSERT_TRUE(picture);
    const QImage reference(QStringLiteral(FOTOLAUF_SAMPLES_DIR "/") + name + QStringLiteral("-output.png"));
    ASSERT_FALSE(reference.isNull());
    EXPECT_EQ(picture->naturalSize(), reference.size());
    QImage onWhite(reference.size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    QPainter(&onWhite).drawImage(0, 0, reference);
    const double difference = scaledDifference(render(sample(name + QStringLiteral(".wmf")), reference.size(), Qt::white), onWhite);
    std::printf("runtime-assets__gdiwmfboundariesbug.wmf against .NET: diff %.2f\n", difference);
    EXPECT_LT(difference, kThreshold);
}

TEST(MetafileSamples, EmfSamplesLookLikeTheReferenceRenderings) { compareKind("emf"); }

}  // namespace
