// Whatever is drawn larger than the copy decoded for the screen comes from the full resolution,
// brightened like the screen: a restored zoomed section and the zoom window show a one-pixel
// checkerboard exactly as the file holds it, at every brightness. The full-resolution decode keeps
// to its memory cap.
#include "display/VolleAufloesung.h"
#include "support/ShowFixture.h"
#include "windows/WertxForm.h"
#include "windows/ZoomForm.h"

#include <QCheckBox>

namespace {

// 2048 × 1536, a gradient with a one-pixel checkerboard at kFeld; a 24-bit BMP keeps every pixel.
const QRect kFeld(600, 450, 128, 128);
QImage schachbrettBild()
{
    QImage bild(2048, 1536, QImage::Format_RGB888);
    for (int y = 0; y < bild.height(); ++y) {
        uchar* zeile = bild.scanLine(y);
        for (int x = 0; x < bild.width(); ++x) {
            const bool feld = kFeld.contains(x, y);
            const int g = feld ? ((x + y) % 2) * 255 : (x / 8 + y / 8) % 256;
            zeile[3 * x] = uchar(g);
            zeile[3 * x + 1] = uchar(feld ? g : 255 - g);
            zeile[3 * x + 2] = uchar(g / 2);
        }
    }
    return bild;
}

// Pixels of the checkerboard where the window differs from the file brightened by the level
// (more than 2 per channel); `links_oben` is where the file's pixel (0,0) lies in the window.
int abweichungen(const QImage& fenster, const QImage& datei, int stufe, QPoint linksOben, int& verglichen)
{
    const Helligkeit::Tabelle t = Helligkeit::TabelleBerechnen(stufe);
    auto hell = [&](int v) { return stufe == 80 ? v : int(t[size_t(v)]); };
    int falsch = 0;
    verglichen = 0;
    for (int y = kFeld.top(); y <= kFeld.bottom(); ++y)
        for (int x = kFeld.left(); x <= kFeld.right(); ++x) {
            const QPoint p = QPoint(x, y) + linksOben;
            if (!fenster.rect().contains(p))
                continue;
            ++verglichen;
            const QRgb ist = fenster.pixel(p), soll = datei.pixel(x, y);
            if (std::abs(qRed(ist) - hell(qRed(soll))) > 2 || std::abs(qGreen(ist) - hell(qGreen(soll))) > 2 ||
                std::abs(qBlue(ist) - hell(qBlue(soll))) > 2)
                ++falsch;
        }
    return falsch;
}

}  // namespace

class Scharf : public ShowTest {};

TEST_F(Scharf, RestoredSectionAndZoomWindowShowTheFullResolutionAtEveryBrightness)
{
    platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
    const QImage datei = schachbrettBild();
    ASSERT_TRUE(datei.save(pfad("a.bmp"), "BMP"));
    Fixtures::writePicture(pfad("b.jpg"), 300, 200);
    platform.givenArguments = {pfad("a.bmp"), pfad("b.jpg")};
    programm().Starten();
    programm().BildPosListNeu(2);
    ASSERT_LT(bild().Image1Bild().image.width(), 2048);  // decoded for the 1024-px screen
    WertxForm& w = programm().wertxForm();

    for (int stufe : {80, 60, 0, 123, 175}) {
        form().Helligkeit = static_cast<qint16>(stufe);
        // A section zoomed to the file's own size with F4, kept, and restored on coming back.
        w.CheckSpeichernBildPosition->setChecked(true);
        listBoxNeu().setListIndex(0);
        form().BildAnzeigen();
        if (stufe == 80)
            taste(Qt::Key_F4);
        taste(Qt::Key_F3);
        taste(Qt::Key_F2);
        ASSERT_EQ(bild().Image1.pixel().size(), QSize(2048, 1536)) << stufe;
        int verglichen = 0;
        EXPECT_EQ(abweichungen(bild().grab().toImage(), datei, stufe, bild().Image1.pixel().topLeft(), verglichen), 0) << stufe;
        EXPECT_GE(verglichen, kFeld.width() * kFeld.height() / 2) << stufe;

        // The zoom window over the fitted picture: a 512-px selection fills the 1024-px screen,
        // which is the file's own size again.
        w.CheckSpeichernBildPosition->setChecked(false);
        form().BildAnzeigen();
        ASSERT_EQ(bild().Image1.pixel(), QRect(0, 0, 1024, 768));
        bild().StartX = 280 * 15;
        bild().StartY = 200 * 15;
        bild().EndX = bild().StartX + 512 * 15;
        bild().EndY = bild().StartY + 384 * 15;
        QImage zoom;
        QRect imageZoom;
        platform.onModal = [&](QDialog& d) {
            zoom = d.grab().toImage();
            imageZoom = dynamic_cast<ZoomForm&>(d).ImageZoom.pixel();
        };
        programm().zoomForm().ZeigenModal();
        platform.onModal = nullptr;
        ASSERT_EQ(imageZoom.size(), QSize(2048, 1536)) << stufe;
        EXPECT_EQ(abweichungen(zoom, datei, stufe, imageZoom.topLeft(), verglichen), 0) << stufe;
        EXPECT_GE(verglichen, kFeld.width() * kFeld.height() / 2) << stufe;
    }
    EXPECT_TRUE(platform.messages.empty());
}

TEST(VolleAufloesung, DecodesOnceWithinItsCapAndKeepsToTheFile)
{
    QTemporaryDir dir;
    const QString datei = dir.path() + QStringLiteral("/gross.jpg");
    Fixtures::writePicture(datei, 2048, 1536, Qt::darkCyan);
    PictureLoader lader;
    const LoadedPicture schirm = lader.load(datei, QSize(512, 384));
    ASSERT_EQ(schirm.image.size(), QSize(512, 384));

    // Sizes within the cap stay; above it the largest half, quarter or eighth within it.
    EXPECT_EQ(VolleAufloesung::Zielgroesse({2048, 1536}, 4 << 20), QSize(2048, 1536));
    EXPECT_EQ(VolleAufloesung::Zielgroesse({2048, 1536}, 1 << 20), QSize(1024, 768));
    EXPECT_EQ(VolleAufloesung::Zielgroesse({11585, 11585}), QSize(5793, 5793));
    EXPECT_EQ(VolleAufloesung::Zielgroesse({8688, 5792}), QSize(8688, 5792));
    EXPECT_EQ(VolleAufloesung::Zielgroesse({3, 1}, 1), QSize(1, 1));

    VolleAufloesung voll(1 << 20);
    // The screen copy suffices, also where the placement rounds a pixel above it.
    EXPECT_FALSE(voll.Fuer(lader, schirm, QSize(512, 384), datei, nullptr));
    EXPECT_FALSE(voll.Fuer(lader, schirm, QSize(513, 385), datei, nullptr));
    EXPECT_TRUE(voll.Fuer(lader, schirm, QSize(514, 384), datei, nullptr));
    voll.Vergessen();
    const auto paar = voll.Fuer(lader, schirm, QSize(4096, 3072), datei, nullptr);
    ASSERT_TRUE(paar);
    EXPECT_EQ(paar->bild.image.size(), QSize(1024, 768));
    EXPECT_EQ(paar->bild.naturalSize, QSize(2048, 1536));
    const int erzeugt = lader.pixelBuffersCreated();
    const auto nochmal = voll.Fuer(lader, schirm, QSize(2000, 1500), datei, nullptr);
    ASSERT_TRUE(nochmal);
    EXPECT_EQ(nochmal->bild.image.cacheKey(), paar->bild.image.cacheKey());
    EXPECT_EQ(lader.pixelBuffersCreated(), erzeugt);

    // Brightened in the decode, before the reduction to the cap (one colour, so the order shows
    // only in rounding); the decode at the largest size is not asked for more.
    const Helligkeit::Tabelle t = Helligkeit::TabelleBerechnen(40);
    const auto hell = voll.Fuer(lader, schirm, QSize(4096, 3072), datei, &t);
    ASSERT_TRUE(hell);
    EXPECT_EQ(hell->bild.image.size(), QSize(1024, 768));
    EXPECT_EQ(hell->bild.byteTable, t);
    const QRgb q = paar->bild.image.pixel(100, 100), b = hell->bild.image.pixel(100, 100);
    EXPECT_NEAR(qGreen(b), t[size_t(qGreen(q))], 1);
    EXPECT_NE(qGreen(b), qGreen(q));
    EXPECT_FALSE(voll.Fuer(lader, hell->bild, QSize(4096, 3072), datei, &t));

    // A file that changed its size since it was shown, or vanished, gives nothing new.
    voll.Vergessen();
    Fixtures::writePicture(datei, 2000, 1536);
    EXPECT_FALSE(voll.Fuer(lader, schirm, QSize(4096, 3072), datei, nullptr));
    QFile::remove(datei);
    EXPECT_FALSE(voll.Fuer(lader, schirm, QSize(4096, 3072), datei, nullptr));
}
