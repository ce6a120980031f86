// Pictures as office programs write them (OLE icons, charts, text in Calibri, hairline art),
// checked against LibreOffice's rendering of the same files: where the drawing lies in the
// picture, which face its text is set in, and how wide hairlines are when it is enlarged.
#include "MetafileTestSupport.h"

#include <QFontInfo>
#include <gmock/gmock.h>

using namespace testmf;
using metafile::RecordedCall;

namespace {

QString officePath(const char* name)
{
    return QStringLiteral(FOTOLAUF_SAMPLES_DIR "/office/") + QLatin1String(name);
}

// The smallest rectangle holding every pixel that is not white, in fractions of the image.
QRectF inkBox(const QImage& image)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 250) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0)
        return {};
    return QRectF(qreal(left) / image.width(), qreal(top) / image.height(), qreal(right + 1 - left) / image.width(),
                  qreal(bottom + 1 - top) / image.height());
}

// LibreOffice's rendering (transparent where nothing is drawn) on white.
QImage libreOfficeOnWhite(const char* name)
{
    const QImage lo(officePath(name) + QStringLiteral(".lo.png"));
    QImage onWhite(lo.size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    QPainter(&onWhite).drawImage(0, 0, lo);
    return onWhite;
}

// Word and Excel centre an embedded object's icon and label in the picture's frame, and record
// apart from it where the ink is (the bounds), which does not start at the frame's corner; other
// writers make frames smaller than the drawing, or pages with margins. LibreOffice puts black
// behind the icons' transparent parts, so that their height is not compared.
TEST(OfficePictures, DrawingLiesInTheFrameWhereLibreOfficeDrawsIt)
{
    struct Case {
        const char* file;
        bool icon;                  // an OLE icon: icon and label centred from left to right
    };
    const Case cases[] = {
        {"tika__2exe__image1.emf", true},
        {"tika__testWORD_2006ml__image1.emf", true},
        {"asposeimg-java__ModifyingImages__Picture1.emf", false},
        {"tika__testEXCEL_embeded__image2.emf", false},
        {"tika__testWORD_embeded__image5.emf", false},
        {"tika__testPPT_various2__image9.emf", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QImage reference = libreOfficeOnWhite(c.file);
        ASSERT_FALSE(reference.isNull());
        QFile file(officePath(c.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QRectF ours = inkBox(render(file.readAll(), reference.size(), Qt::white));
        const QRectF theirs = inkBox(reference);
        ASSERT_FALSE(ours.isEmpty());
        EXPECT_NEAR(ours.center().x(), theirs.center().x(), 0.02);
        if (c.icon) {
            EXPECT_NEAR(ours.center().x(), 0.5, 0.01);
        } else {
            EXPECT_NEAR(ours.center().y(), theirs.center().y(), 0.02);
        }
    }
}

// A face that is not installed is set in the face the desktop substitutes for it: the
// metric-compatible one where fontconfig knows one, else the generic family that the file's
// pitch and family bits ask for. The face itself is fine where a machine has it.
TEST(OfficePictures, TextFacesAreSubstitutedAsTheDesktopDoes)
{
    struct Case {
        const char* sample;
        const char* face;
        std::vector<QString> accepted;
    };
    const QString sans = QFontInfo(QFont(QStringLiteral("sans-serif"))).family();
    const Case cases[] = {
        {"office/tika__EmbeddedDocument__image1.emf", "Calibri", {"Carlito", "Calibri"}},
        {"office/tika__testPPT_oleWorkbook__image1.emf", "Calibri", {"Carlito", "Calibri"}},
        {"emf/libemf2svg__test-013.emf", "Arial", {"Liberation Sans", "Arial"}},
        {"office/tika__testEXCEL_embeded__image2.emf", "Times New Roman", {"Liberation Serif", "Times New Roman"}},
        {"emf/libuemf__test_libuemf_ref.emf", "Courier New", {"Liberation Mono", "Courier New"}},
        // Tahoma, which nothing stands in for, as a face of the Swiss family
        {"emf/poi__SimpleEMF_windows.emf", "Tahoma", {sans, "Tahoma"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sample);
        int runs = 0;
        for (const RecordedCall& call : record(sample(QLatin1String(c.sample)))) {
            if (call.kind != RecordedCall::Text || call.text.font.families().value(0) != QLatin1String(c.face))
                continue;
            ++runs;
            EXPECT_THAT(QFontInfo(call.text.font).family(), testing::AnyOfArray(c.accepted)) << call.text.text.toStdString();
        }
        EXPECT_GT(runs, 0);
    }
}

// Faces no one has, made up here, with the pitch and family bits of a file: the generic family
// of those bits, as the desktop chooses it.
TEST(OfficePictures, FacesNoOneHasKeepThePitchAndFamilyOfTheFile)
{
    const struct {
        int pitchAndFamily;
        const char* generic;
    } cases[] = {{0x12, "serif"}, {0x22, "sans-serif"}, {0x31, "monospace"}, {0x01, "monospace"}, {0x00, "sans-serif"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pitchAndFamily);
        Emf emf;
        emf.record(EMR_EXTCREATEFONTINDIRECTW, emfFont(-20, 0, 400, false, QStringLiteral("Qwertz Fotolauf"), c.pitchAndFamily))
            .select(1)
            .record(EMR_EXTTEXTOUTW, emfTextOut(10, 10, QStringLiteral("W"), {}));
        const auto calls = record(emf.bytes());
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(QFontInfo(calls[0].text.font).family(), QFontInfo(QFont(QLatin1String(c.generic))).family());
    }
}

// Darkness summed across a line, in pixels of ink: a line one pixel wide gives about 1 however
// it falls on the pixel grid.
double inkAcross(const QImage& image, QPoint from, QPoint step, int count)
{
    double sum = 0;
    for (int i = 0; i < count; ++i, from += step)
        if (image.rect().contains(from))
            sum += (255 - qGray(image.pixel(from))) / 255.0;
    return sum;
}

// XlsxWriter's example picture is framed by four lines of a pen of width 0 (in a window of
// 800 x 730 units, 4 units in from each edge) and its title is set as hundreds of such lines.
// Enlarged (F4 doubles), the frame stays one pixel of the screen wide, as in the system's
// playback, LibreOffice's and Inkscape's, instead of growing into a border.
TEST(OfficePictures, HairlinesStayOneDevicePixelWideAtAnyEnlargement)
{
    const QByteArray bytes = sample(QStringLiteral("office/XlsxWriter__images__example_1.wmf"));
    const auto picture = MetafilePicture::load(bytes);
    ASSERT_TRUE(picture);
    for (const int enlargement : {1, 2, 3, 7, 16}) {
        SCOPED_TRACE(enlargement);
        const QSize size = picture->naturalSize() * enlargement;
        // A margin round the picture, so that lines near its edge are not measured at the image's.
        const QImage image = render(bytes, size + QSize(20, 20), Qt::white, QRectF(QPointF(10, 10), QSizeF(size)));
        // Each line is measured across a band from outside the picture to 40 units in, short of
        // the title and the circle.
        const int w = size.width(), h = size.height();
        const int band = 10 + 40 * w / 800;
        const struct {
            const char* line;
            QPoint from, step;
        } lines[] = {
            {"top", {10 + w / 2, 0}, {0, 1}},
            {"bottom", {10 + w / 2, 10 + h + 10 - band}, {0, 1}},
            {"left", {0, 10 + h * 9 / 10}, {1, 0}},
            {"right", {10 + w + 10 - band, 10 + h * 9 / 10}, {1, 0}},
        };
        for (const auto& l : lines)
            EXPECT_NEAR(inkAcross(image, l.from, l.step, band), 1.0, 0.4) << l.line;
    }
}

}  // namespace
