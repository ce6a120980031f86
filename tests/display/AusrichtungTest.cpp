// Photos stand upright as their Exif orientation says, wherever they are shown: on screen fitted
// by their upright size, in the position window's size and pointer position, enlarged with F4,
// in the zoom window and in a stored section; the EXIF view still shows the tag's value.
#include "support/ExifAusrichtung.h"
#include "support/ShowFixture.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"
#include "windows/ZoomForm.h"

#include <QBuffer>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>

namespace {

// The corners as stored: top left, top right, bottom left, bottom right.
const QColor kEcken[4] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};

// 1600 × 900, wider than the 4:3 screen: a corner block of each colour on grey.
QByteArray eckenJpeg()
{
    QImage bild(1600, 900, QImage::Format_RGB32);
    bild.fill(Qt::gray);
    const int b = 200, h = 150;
    const QRect ecken[4] = {{0, 0, b, h}, {1600 - b, 0, b, h}, {0, 900 - h, b, h}, {1600 - b, 900 - h, b, h}};
    QPainter maler(&bild);
    for (int i = 0; i < 4; ++i)
        maler.fillRect(ecken[i], kEcken[i]);
    maler.end();
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    bild.save(&puffer, "JPEG", 95);
    return puffer.data();
}

bool aehnlich(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 30 && std::abs(a.green() - b.green()) < 30 && std::abs(a.blue() - b.blue()) < 30;
}

// The colours a picture shows near its four corners (top left, top right, bottom left, bottom right).
std::array<QColor, 4> eckenVon(const QImage& bild, QRect r)
{
    const int d = 6;
    return {bild.pixelColor(r.left() + d, r.top() + d), bild.pixelColor(r.right() - d, r.top() + d),
            bild.pixelColor(r.left() + d, r.bottom() - d), bild.pixelColor(r.right() - d, r.bottom() - d)};
}

}  // namespace

class Ausrichtung : public ShowTest {};

TEST_F(Ausrichtung, EveryOrientationIsShownUprightEverywhere)
{
    // Which stored corner each orientation puts at the upright top left, top right, bottom left,
    // bottom right (Exif: 2 mirrored, 3 turned half way, 4 flipped, 5 transposed, 6 turned a
    // quarter clockwise, 7 transversed, 8 turned a quarter anticlockwise).
    struct Zeile {
        int ausrichtung;
        std::array<int, 4> ecke;
    };
    const Zeile zeilen[] = {{1, {0, 1, 2, 3}}, {2, {1, 0, 3, 2}}, {3, {3, 2, 1, 0}}, {4, {2, 3, 0, 1}},
                            {5, {0, 2, 1, 3}}, {6, {2, 0, 3, 1}}, {7, {3, 1, 2, 0}}, {8, {1, 3, 0, 2}}};
    const QByteArray jpeg = eckenJpeg();
    QStringList pfade;
    for (const Zeile& z : zeilen) {
        // Both byte orders of the TIFF data.
        pfade.append(Fixtures::writeFile(pfad(QStringLiteral("%1.jpg").arg(z.ausrichtung)),
                                         Fixtures::mitAusrichtung(jpeg, z.ausrichtung, z.ausrichtung % 2 == 0)));
    }
    platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
    platform.givenArguments = pfade;
    programm().Starten();
    programm().BildPosListNeu(8);
    XYPos& xy = programm().xyPos();
    WertxForm& w = programm().wertxForm();

    for (int i = 0; i < 8; ++i) {
        const Zeile& z = zeilen[i];
        const bool hoch = z.ausrichtung >= 5;
        const QSize natuerlich = hoch ? QSize(900, 1600) : QSize(1600, 900);
        std::array<QColor, 4> soll;
        for (int k = 0; k < 4; ++k)
            soll[size_t(k)] = kEcken[z.ecke[size_t(k)]];
        auto pruefen = [&](const std::array<QColor, 4>& ist, const char* wo) {
            for (int k = 0; k < 4; ++k)
                EXPECT_TRUE(aehnlich(ist[size_t(k)], soll[size_t(k)]))
                    << wo << ", orientation " << z.ausrichtung << ", corner " << k << ": " << qPrintable(ist[size_t(k)].name());
        };

        // Fitted by the upright size: a landscape picture to the width, an upright one to the height.
        w.CheckSpeichernBildPosition->setChecked(false);
        arbeitsliste().setListIndex(i);
        form().BildAnzeigen();
        const QRect gezeigt = hoch ? QRect(296, 0, 432, 768) : QRect(0, 96, 1024, 576);
        ASSERT_EQ(bild().Image1.pixel(), gezeigt) << z.ausrichtung;
        pruefen(eckenVon(bildschirm(), gezeigt), "screen");

        // The position window: upright size, and the pointer at the bottom right corner in upright
        // picture pixels.
        EXPECT_EQ(xy.lblBildgroesse->text(), QStringLiteral("%1 x %2").arg(natuerlich.width()).arg(natuerlich.height()));
        bild().Image1_MouseMove(0, (gezeigt.width() - 1) * 15.0, (gezeigt.height() - 1) * 15.0);
        const double massstab = double(natuerlich.width()) / gezeigt.width();
        EXPECT_NEAR(QLocale().toDouble(xy.lblXPos->text()), (gezeigt.width() - 1) * massstab, 1e-9) << z.ausrichtung;
        EXPECT_NEAR(QLocale().toDouble(xy.lblYPos->text()), (gezeigt.height() - 1) * massstab, 1e-9) << z.ausrichtung;

        // The magnifier over the top left corner: the zoom window shows the upright corner there.
        bild().StartX = 0;
        bild().StartY = 0;
        bild().EndX = 256 * 15;
        bild().EndY = 192 * 15;
        QImage zoom;
        platform.onModal = [&](QDialog& d) { zoom = d.grab().toImage(); };
        programm().zoomForm().ZeigenModal();
        platform.onModal = nullptr;
        ASSERT_FALSE(zoom.isNull());
        EXPECT_TRUE(aehnlich(zoom.pixelColor(10, 10), soll[0])) << "zoom window, orientation " << z.ausrichtung;

        // F4 draws from the whole picture decoded again, upright too; the section is kept and comes
        // back after paging.
        w.CheckSpeichernBildPosition->setChecked(true);
        taste(Qt::Key_F4);
        const QRect vergroessert = bild().Image1.pixel();
        // The whole picture comes from the worker; until then the screen copy is stretched.
        auto ganz = [&] { return bild().Image1Bild().image.size() == natuerlich; };
        ASSERT_TRUE(QTest::qWaitFor(ganz, 20000)) << z.ausrichtung;
        pruefen(eckenVon(bild().Image1Bild().image, QRect(QPoint(0, 0), natuerlich)), "F4");
        taste(Qt::Key_F3);
        taste(Qt::Key_F2);
        ASSERT_EQ(bild().Image1.pixel(), vergroessert) << z.ausrichtung;
        ASSERT_TRUE(QTest::qWaitFor(ganz, 20000)) << z.ausrichtung;
        pruefen(eckenVon(bild().Image1Bild().image, QRect(QPoint(0, 0), natuerlich)), "restored section");

        // The EXIF view shows the tag as the file holds it.
        form().EXF.setImageFile(pfade[i]);
        EXPECT_TRUE(form().EXF.ListInfo().contains(QStringLiteral("Orientation: %1\r\n").arg(z.ausrichtung))) << z.ausrichtung;
    }
    EXPECT_TRUE(platform.messages.empty());
}
