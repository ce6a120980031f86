// The picture window's mouse: panning, the magnifier's selection, the zoom window, the key help on
// a right click, and the pointer position in picture pixels.
#include "support/ShowFixture.h"
#include "windows/HilfeBoxForm.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"
#include "windows/ZoomForm.h"

#include <QCheckBox>
#include <QLabel>

class Maus : public ShowTest {
protected:
    // A drag from (x0,y0) to (x1,y1), twips relative to Image1, with a move on the way.
    void ziehen(double x0, double y0, double x1, double y1, int knopf = 1)
    {
        bild().Image1_MouseDown(knopf, x0, y0);
        bild().Image1_MouseMove(knopf == 1 ? 1 : 0, (x0 + x1) / 2, (y0 + y1) / 2);
        bild().Image1_MouseMove(knopf == 1 ? 1 : 0, x1, y1);
        bild().Image1_MouseUp(knopf, x1, y1);
    }
};

TEST_F(Maus, DragMovesThePictureByExactlyTheDragAndStoresItOnce)
{
    starten({{400, 300}, {400, 300}});
    programm().wertxForm().CheckSpeichernBildPosition->setChecked(true);
    const QRect vorher = bild().Image1.pixel();
    ziehen(1500, 1500, 1800, 1650);  // 300 twips right, 150 down: 20 and 10 pixels
    EXPECT_EQ(bild().Image1.pixel(), vorher.translated(20, 10));
    EXPECT_EQ(programm().BildPosList[0].Left, qRound(bild().Image1.Left()));
    EXPECT_EQ(bild().cursor().shape(), Qt::ArrowCursor);

    // A purely horizontal drag does not move it; the moving pointer stays.
    ziehen(1500, 1500, 1800, 1500);
    EXPECT_EQ(bild().Image1.pixel(), vorher.translated(20, 10));
    EXPECT_EQ(bild().cursor().shape(), Qt::BitmapCursor);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Maus, ArmedMagnifierAnswersClicksAndSmallSelectionsWithMessages)
{
    // Small enough that a selection of 8 pixels, enlarged to the screen width, stays within the
    // surface's limit.
    starten({{100, 75}, {100, 75}});
    form().RechteckLupeScharf = true;
    ziehen(150, 150, 150, 150);  // a plain click
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              QStringLiteral("Wenn Sie die Rechteck-Lupe benutzen wollen, müssen Sie mit der Maus ein Rechteck zeichnen.\r\nSie "
                             "haben nur in das Bild geklickt.\r\n\r\nMit Rechtsklick auf ein schon gezeichnetes Rechteck, können "
                             "Sie die Zoom-Ansicht wiederholen"));
    EXPECT_FALSE(bild().Shape1.Visible);

    ziehen(150, 150, 240, 210);  // 90 × 60 twips: too small
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text,
              QStringLiteral("Die Rechteck-Lupe ist scharf.\r\nZu kleine Bildausschnitte werden nicht gezoomt.\r\nMöglicherweise "
                             "haben sie nur ins Bild geklickt\r\noder nicht von links nach rechts und von oben nach unten "
                             "gezogen."));
    EXPECT_EQ(platform.modalDialogs, 0);

    ziehen(150, 150, 270, 240);  // 120 × 90 twips: the zoom window opens
    EXPECT_EQ(platform.modalDialogs, 1);
    EXPECT_TRUE(bild().Shape1.Visible);
    // The rectangle keeps the screen's proportions.
    EXPECT_NEAR(bild().Shape1.Width() / bild().Shape1.Height(), 4.0 / 3.0, 0.2);
    // A right click on the drawn rectangle shows the zoom view again.
    bild().Image1_MouseDown(2, 300, 300);
    bild().Image1_MouseUp(2, 300, 300);
    EXPECT_EQ(platform.modalDialogs, 2);
    EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(Maus, SelectionFollowsThePointerInTheScreensProportions)
{
    starten({{800, 600}, {800, 600}});
    form().RechteckLupeScharf = true;
    bild().Image1_MouseDown(1, 0, 0);
    bild().Image1_MouseMove(1, 3000, 300);  // far right, little down: the width follows X
    EXPECT_NEAR(bild().Shape1.Width(), 3000, 15);
    EXPECT_NEAR(bild().Shape1.Height(), 2250, 15);
    bild().Image1_MouseMove(1, 3100, 6000);  // far down: the width grows so the pointer stays inside
    EXPECT_NEAR(bild().Shape1.Height(), 6000, 15);
    EXPECT_NEAR(bild().Shape1.Width(), 8000, 15);
    bild().Image1_MouseMove(1, 2000, 2000);  // back up and left: the rectangle never shrinks
    EXPECT_NEAR(bild().Shape1.Width(), 8000, 15);
}

TEST_F(Maus, RightClickWithoutRectangleOpensTheKeyHelp)
{
    starten({{800, 600}, {800, 600}});
    bild().Image1_MouseDown(2, 100, 100);
    bild().Image1_MouseUp(2, 100, 100);
    ASSERT_TRUE(programm().hatHilfeBoxForm());
    EXPECT_TRUE(programm().hilfeBoxForm().isVisible());
    // A click on the window outside its lines closes it.
    QTest::mouseClick(&programm().hilfeBoxForm(), Qt::LeftButton, {}, QPoint(5, 480));
    EXPECT_FALSE(programm().hatHilfeBoxForm());
}

TEST_F(Maus, PositionInPicturePixels)
{
    starten({{2048, 1536}, {800, 600}});  // shown at half size: PIV 2
    bild().Image1_MouseMove(0, 1500, 750);
    EXPECT_EQ(programm().xyPos().lblXPos->text(), QStringLiteral("200"));
    EXPECT_EQ(programm().xyPos().lblYPos->text(), QStringLiteral("100"));
    bild().Image1_MouseMove(0, 7, 0);
    EXPECT_EQ(programm().xyPos().lblXPos->text(), QLocale().toString(7 / 15.0 * 2, 'g', QLocale::FloatingPointShortest));
    EXPECT_EQ(programm().xyPos().lblBildgroesse->text(), QStringLiteral("2048 x 1536"));
}

TEST_F(Maus, ZoomWindowEnlargesTheSelectionToTheScreenWidth)
{
    starten({{600, 400}, {600, 400}});
    ImageForm& b = bild();
    // Image1 is 600 px = 9000 twips wide; a selection of 1536 twips gives the factor 10.
    b.StartX = 300;
    b.StartY = 150;
    b.EndX = 300 + 1536;
    b.EndY = 150 + 1152;
    double faktor = 0;
    QRect zoom;
    platform.onModal = [&](QDialog& d) {
        auto& z = dynamic_cast<ZoomForm&>(d);
        faktor = z.Faktor;
        zoom = z.ImageZoom.pixel();
        QTest::keyClick(&z, Qt::Key_F3);  // any key closes the view and acts in the main window
    };
    programm().zoomForm().ZeigenModal();
    EXPECT_DOUBLE_EQ(faktor, 10.0);
    EXPECT_EQ(zoom.width(), 6000);
    EXPECT_EQ(zoom.x(), -200);  // -StartX × Faktor = -3000 twips
    EXPECT_EQ(zoom.y(), -100);
    EXPECT_FALSE(programm().hatZoomForm());
    EXPECT_EQ(index(), 1);

    // A selection so narrow that the enlarged picture is beyond the surface's limit.
    b.EndX = b.StartX + 100;
    platform.onModal = nullptr;
    programm().zoomForm().ZeigenModal();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, programm().Text(2066));
    EXPECT_EQ(platform.modalDialogs, 1);
    EXPECT_FALSE(programm().hatZoomForm());
}

TEST_F(Maus, SmallSelectionIsCentredInTheZoomWindow)
{
    starten({{100, 50}, {100, 50}});
    ImageForm& b = bild();
    b.StartX = 0;
    b.StartY = 0;
    b.EndX = 1500;  // the whole width: factor 10.24, 1024 px wide, 512 high
    b.EndY = 750;
    QRect zoom;
    platform.onModal = [&](QDialog& d) { zoom = dynamic_cast<ZoomForm&>(d).ImageZoom.pixel(); };
    programm().zoomForm().ZeigenModal();
    EXPECT_EQ(zoom.x(), 0);
    EXPECT_EQ(zoom.y(), 128);
}
