// One picture pixel is one device pixel: at the toolkit's scale factor of the run (1 here, 1.5
// and 2 again under ctest) a one-pixel checkerboard at its natural size is drawn without a grey
// pixel, whole-factor zooms give even squares, its place in device pixels is the same at every
// scale, and the position window counts picture pixels.
#include "support/ShowFixture.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"

#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>

namespace {

constexpr int kBreite = 64;
constexpr int kHoehe = 48;

QImage schachbrett()
{
    QImage bild(kBreite, kHoehe, QImage::Format_RGB888);
    for (int y = 0; y < kHoehe; ++y)
        for (int x = 0; x < kBreite; ++x)
            bild.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return bild;
}

// Device pixels of the window's picture that are not the checkerboard enlarged by `faktor`.
int falschePixel(const QImage& fenster, const QRect& image1, int faktor)
{
    int falsch = 0;
    for (int y = 0; y < image1.height(); ++y)
        for (int x = 0; x < image1.width(); ++x) {
            const QPoint p = image1.topLeft() + QPoint(x, y);
            const QRgb soll = (x / faktor + y / faktor) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            if (!fenster.rect().contains(p) || (fenster.pixel(p) & 0xffffff) != (soll & 0xffffff))
                ++falsch;
        }
    return falsch;
}

}  // namespace

class HiDpi : public ShowTest {};

TEST_F(HiDpi, NaturalSizeAndWholeZoomsKeepEveryPixelSharp)
{
    const double dpr = qApp->devicePixelRatio();
    const QSize schirm = QGuiApplication::primaryScreen()->geometry().size();
    const QSize geraet(qRound(schirm.width() * dpr), qRound(schirm.height() * dpr));
    platform.dpr = dpr;
    platform.screen = schirm;
    platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
    ASSERT_TRUE(schachbrett().save(pfad("a.bmp"), "BMP"));
    // A picture larger than the logical screen but smaller than the device screen is not reduced.
    const QSize gross(geraet.width() * 9 / 10, geraet.height() * 9 / 10);
    ASSERT_TRUE(schachbrett().scaled(gross).save(pfad("b.bmp"), "BMP"));
    platform.givenArguments = {pfad("a.bmp"), pfad("b.bmp")};
    programm().wertxForm().OptKeine->setChecked(true);  // no enlargement to the screen
    programm().Starten();
    ImageForm& b = bild();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));

    // Centred on the screen in device pixels, whatever the scale.
    const QRect natuerlich((geraet.width() - kBreite) / 2, (geraet.height() - kHoehe) / 2, kBreite, kHoehe);
    EXPECT_EQ(b.Image1.pixel(), natuerlich) << "scale " << dpr;
    EXPECT_DOUBLE_EQ(b.PIV, 1.0);
    EXPECT_EQ(programm().xyPos().lblBildgroesse->text(), QStringLiteral("64 x 48"));
    EXPECT_EQ(falschePixel(b.grab().toImage(), natuerlich, 1), 0) << "natural size at scale " << dpr;

    for (int faktor : {2, 4}) {
        taste(Qt::Key_F4);
        const QRect r = b.Image1.pixel();
        ASSERT_EQ(r.size(), QSize(kBreite * faktor, kHoehe * faktor));
        EXPECT_EQ(falschePixel(b.grab().toImage(), r, faktor), 0) << "zoomed " << faktor << " times at scale " << dpr;
        // The pointer's place in picture pixels: device pixels from the picture's corner ÷ zoom.
        const QPoint zeiger((r.x() + 3 * r.width() / 4) / dpr, (r.y() + r.height() / 3) / dpr);
        QTest::mouseMove(&b, zeiger);
        const QLocale zahlen;
        const double x = zahlen.toDouble(programm().xyPos().lblXPos->text());
        const double y = zahlen.toDouble(programm().xyPos().lblYPos->text());
        EXPECT_NEAR(x, (zeiger.x() * dpr - r.x()) / faktor, 1e-3) << faktor;
        EXPECT_NEAR(y, (zeiger.y() * dpr - r.y()) / faktor, 1e-3) << faktor;
    }

    taste(Qt::Key_F3);
    EXPECT_EQ(b.Image1.pixel().size(), gross) << "not reduced although larger than the logical screen";
}
