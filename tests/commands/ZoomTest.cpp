// Zoom out and in with their refusals, and the stored rectangles per list position.
#include "support/ShowFixture.h"
#include "windows/WertxForm.h"

#include <QCheckBox>

class Zoom : public ShowTest {};

TEST_F(Zoom, F4DoublesAndCentresF1HalvesAndTheResizableWindowUsesTheCorner)
{
    starten({{800, 600}, {800, 600}});
    taste(Qt::Key_F4);
    EXPECT_EQ(bild().Image1.pixel(), QRect(-288, -216, 1600, 1200));
    EXPECT_DOUBLE_EQ(bild().PIV, 0.5);
    taste(Qt::Key_F1);
    taste(Qt::Key_F1);
    EXPECT_EQ(bild().Image1.pixel(), QRect(312, 234, 400, 300));
    EXPECT_DOUBLE_EQ(bild().PIV, 2.0);
    EXPECT_TRUE(platform.messages.empty());
    // In a resizable window the zoomed picture goes to the corner.
    form().chkFensterGroesseAenderbar->setChecked(true);
    taste(Qt::Key_F4);
    EXPECT_EQ(bild().Image1.pixel(), QRect(0, 0, 800, 600));
}

TEST_F(Zoom, ZoomOutThatDistortsTheAspectIsRefused)
{
    starten({{30, 10}, {30, 10}});
    // 30×10 → 15×5 → 8×3 (aspect 2.67, more than 0.2 away from 3): refused.
    taste(Qt::Key_F1);
    EXPECT_EQ(bild().Image1.pixel().size(), QSize(15, 5));
    EXPECT_TRUE(platform.messages.empty());
    taste(Qt::Key_F1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, programm().Text(2065));
    EXPECT_EQ(bild().Image1.pixel().size(), QSize(15, 5));
    EXPECT_DOUBLE_EQ(bild().PIV, 2.0);
    // After a picture change the first F1 always halves.
    taste(Qt::Key_F3);
    taste(Qt::Key_F1);
    taste(Qt::Key_F3);
    taste(Qt::Key_F1);
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(Zoom, ZoomInBeyondTheSurfacesLimitIsRefused)
{
    starten({{1000, 500}, {1000, 500}});
    // Shown at 1000×500; five doublings give 32000 pixels, the sixth more than the surface takes.
    for (int i = 0; i < 5; ++i)
        taste(Qt::Key_F4);
    EXPECT_EQ(bild().Image1.pixel().width(), 32000);
    EXPECT_TRUE(platform.messages.empty());
    taste(Qt::Key_F4);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, programm().Text(2066));
    EXPECT_EQ(bild().Image1.pixel().size(), QSize(32000, 16000));
    EXPECT_TRUE(bild().Image1.Visible);
}

TEST_F(Zoom, RectanglesAreKeptPerPositionOnlyWhenTheBoxIsTicked)
{
    starten({{400, 300}, {400, 300}, {400, 300}, {400, 300}});
    arbeitsliste().setListIndex(2);
    form().BildAnzeigen();
    taste(Qt::Key_F4);
    for (const Positionssatz& s : programm().BildPosList)
        EXPECT_TRUE(s.leer());

    programm().wertxForm().CheckSpeichernBildPosition->setChecked(true);
    taste(Qt::Key_F4);
    const QRect gezoomt = bild().Image1.pixel();
    taste(Qt::Key_F3);
    EXPECT_EQ(bild().Image1.pixel(), QRect(312, 234, 400, 300));
    taste(Qt::Key_F2);
    EXPECT_EQ(bild().Image1.pixel(), gezoomt);
    EXPECT_FALSE(programm().BildPosList[2].leer());
    EXPECT_TRUE(programm().BildPosList[4].leer());  // the spare record

    // Clearing the box clears the records.
    programm().wertxForm().CheckSpeichernBildPosition->click();
    for (const Positionssatz& s : programm().BildPosList)
        EXPECT_TRUE(s.leer());
}
