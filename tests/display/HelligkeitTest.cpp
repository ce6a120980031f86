// The brightness table and the pixel pass, and what is shown at a level: the table applied to
// the whole picture, then reduced for the screen.
#include "display/Helligkeit.h"
#include "support/ShowFixture.h"

#include <QPainter>

#include <gtest/gtest.h>

TEST(Helligkeit, TableRowsForSomeLevels)
{
    struct Zeile {
        int stufe;
        int bei1, bei2, bei3, bei100, bei128, bei255;
        int erstes255;  // -1: none
    } zeilen[] = {
        {0, 0, 0, 1, 20, 26, 51, -1},       {50, 1, 1, 2, 54, 70, 139, -1}, {80, 1, 2, 3, 99, 127, 253, -1},
        {100, 1, 3, 4, 148, 189, 255, 173}, {175, 7, 13, 20, 255, 255, 255, 39},
    };
    for (const auto& z : zeilen) {
        const auto t = Helligkeit::TabelleBerechnen(z.stufe);
        EXPECT_EQ(t[0], 0) << z.stufe;
        EXPECT_EQ(t[1], z.bei1) << z.stufe;
        EXPECT_EQ(t[2], z.bei2) << z.stufe;
        EXPECT_EQ(t[3], z.bei3) << z.stufe;
        EXPECT_EQ(t[100], z.bei100) << z.stufe;
        EXPECT_EQ(t[128], z.bei128) << z.stufe;
        EXPECT_EQ(t[255], z.bei255) << z.stufe;
        int erstes = -1;
        for (int i = 0; i < 256; ++i)
            if (t[static_cast<size_t>(i)] == 255) {
                erstes = i;
                break;
            }
        EXPECT_EQ(erstes, z.erstes255) << z.stufe;
    }
}

TEST(Helligkeit, PassReadsTheSourceSoApplyingTwiceEqualsOnce)
{
    QImage quelle(5, 3, QImage::Format_RGB888);  // 15 bytes per row, padded to 16
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < quelle.bytesPerLine(); ++x)
            quelle.scanLine(y)[x] = static_cast<uchar>(40 * y + x);
    QImage arbeit = quelle.copy();
    const auto t = Helligkeit::TabelleBerechnen(175);
    ASSERT_TRUE(Helligkeit::Anwenden(arbeit, quelle, t));
    const QImage einmal = arbeit.copy();
    ASSERT_TRUE(Helligkeit::Anwenden(arbeit, quelle, t));
    EXPECT_EQ(arbeit, einmal);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < quelle.bytesPerLine(); ++x)
            EXPECT_EQ(arbeit.constScanLine(y)[x], t[quelle.constScanLine(y)[x]]);
    EXPECT_NE(arbeit.pixel(2, 2), quelle.pixel(2, 2));

    QImage andere(4, 3, QImage::Format_RGB888);
    EXPECT_FALSE(Helligkeit::Anwenden(andere, quelle, t));
}

namespace {

// A light gradient under a one-pixel black grid every 16 pixels, with red labels.
QImage gitterBild(QSize groesse)
{
    QImage bild(groesse, QImage::Format_RGB888);
    for (int y = 0; y < bild.height(); ++y) {
        uchar* p = bild.scanLine(y);
        for (int x = 0; x < bild.width(); ++x, p += 3) {
            const bool linie = x % 16 == 0 || y % 16 == 0;
            p[0] = linie ? 0 : uchar(200 + x * 55 / bild.width());
            p[1] = linie ? 0 : uchar(230 + y * 25 / bild.height());
            p[2] = linie ? 0 : 240;
        }
    }
    QPainter maler(&bild);
    maler.setPen(Qt::red);
    QFont schrift = maler.font();
    schrift.setPixelSize(40);
    maler.setFont(schrift);
    for (int y = 100; y < bild.height(); y += 400)
        for (int x = 50; x < bild.width(); x += 600)
            maler.drawText(x, y, QStringLiteral("Feld %1/%2").arg(x).arg(y));
    return bild;
}

// Row y of the picture put through the table and then reduced to the given size: each pixel is
// the mean of the source area it covers, fractions of pixels counted by their share.
std::vector<int> tabelleDannMittel(const QImage& quelle, const Helligkeit::Tabelle& t, QSize ziel, int y)
{
    const double fx = double(quelle.width()) / ziel.width(), fy = double(quelle.height()) / ziel.height();
    const double y0 = y * fy, y1 = y0 + fy;
    std::vector<int> zeile;
    for (int x = 0; x < ziel.width(); ++x) {
        const double x0 = x * fx, x1 = x0 + fx;
        double summe[3] = {0, 0, 0};
        const int sy1 = std::min(int(std::ceil(y1)), quelle.height()), sx1 = std::min(int(std::ceil(x1)), quelle.width());
        for (int sy = int(y0); sy < sy1; ++sy) {
            const double wy = std::min(y1, sy + 1.0) - std::max(y0, double(sy));
            const uchar* p = quelle.constScanLine(sy) + 3 * int(x0);
            for (int sx = int(x0); sx < sx1; ++sx, p += 3) {
                const double w = wy * (std::min(x1, sx + 1.0) - std::max(x0, double(sx)));
                for (int k = 0; k < 3; ++k)
                    summe[k] += w * t[p[k]];
            }
        }
        for (int k = 0; k < 3; ++k)
            zeile.push_back(int(std::lround(summe[k] / (fx * fy))));
    }
    return zeile;
}

}  // namespace

class HelligkeitAufDemBild : public ShowTest {};

TEST_F(HelligkeitAufDemBild, ShownPixelsAreTheTableOnTheWholePictureThenReducedAtEveryLevel)
{
    // The picture as a 4000 × 3000 JPEG (which can be decoded reduced, averaging as it goes) and as
    // a 24-bit BMP of an awkward size, fitted to the 1024 × 768 screen: three and four file pixels
    // to one on screen, so every grid line is averaged with its neighbours on the way.
    const QImage dateien[] = {gitterBild(QSize(4000, 3000)), gitterBild(QSize(2999, 2000))};
    ASSERT_TRUE(dateien[0].save(pfad("a.jpg"), "JPEG", 98));
    ASSERT_TRUE(dateien[1].save(pfad("b.bmp"), "BMP"));
    platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
    platform.givenArguments = {pfad("a.jpg"), pfad("b.bmp")};
    programm().Starten();
    // What the files hold: the JPEG read by another decoder.
    const QImage inhalt[] = {QImage(pfad("a.jpg")).convertToFormat(QImage::Format_RGB888), dateien[1]};
    const QRect gezeigt[] = {QRect(0, 0, 1024, 768), QRect(0, 42, 1024, 683)};

    // The JPEG over the range of levels, the BMP at two of them.
    const std::vector<std::pair<int, int>> faelle = {{0, 0}, {0, 40}, {0, 123}, {0, 175}, {0, 255}, {1, 40}, {1, 175}};
    for (auto [bildNr, stufe] : faelle) {
        form().Helligkeit = static_cast<qint16>(stufe);
        arbeitsliste().setListIndex(bildNr);
        form().BildAnzeigen();
        const QRect r = gezeigt[bildNr];
        ASSERT_EQ(bild().Image1.pixel(), r) << stufe;
        const QImage fenster = bildschirm().convertToFormat(QImage::Format_RGB888);
        const Helligkeit::Tabelle t = Helligkeit::TabelleBerechnen(stufe);
        // Every fourth row of the picture on screen, the last one too.
        int groessteAbweichung = 0;
        double summe = 0, werte = 0;
        for (int y = 0; y < r.height(); y += std::min(4, std::max(1, r.height() - 1 - y))) {
            const std::vector<int> soll = tabelleDannMittel(inhalt[bildNr], t, r.size(), y);
            const uchar* ist = fenster.constScanLine(r.top() + y) + 3 * r.left();
            for (size_t i = 0; i < soll.size(); ++i) {
                const int abweichung = std::abs(soll[i] - ist[i]);
                groessteAbweichung = std::max(groessteAbweichung, abweichung);
                summe += abweichung;
                ++werte;
            }
        }
        // Rounding in the decoders and the scale; a brightened average loses the grid and the
        // labels to white at the high levels and darkens them at the low ones.
        EXPECT_LE(groessteAbweichung, 2) << "picture " << bildNr << " level " << stufe;
        EXPECT_LT(summe / werte, 0.6) << "picture " << bildNr << " level " << stufe;
    }
    EXPECT_TRUE(platform.messages.empty());
}
