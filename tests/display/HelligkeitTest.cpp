// The brightness table and the pixel pass.
#include "display/Helligkeit.h"

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
