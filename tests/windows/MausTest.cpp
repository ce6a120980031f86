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

TEST_F(Maus, RightClickWithoutRectangleOpensTheKeyHelpAndAnyKeyClosesTheZoomWindow)
{
    starten({{800, 600}, {800, 600}});
    bild().Image1_MouseDown(2, 100, 100);
    bild().Image1_MouseUp(2, 100, 100);
    ASSERT_TRUE(programm().hatHilfeBoxForm());
    EXPECT_TRUE(programm().hilfeBoxForm().isVisible());
    // A click on the window outside its lines closes it.
    QTest::mouseClick(&programm().hilfeBoxForm(), Qt::LeftButton, {}, QPoint(5, 480));
    EXPECT_FALSE(programm().hatHilfeBoxForm());

    // A key in the zoom window closes it and acts in the main window.
    bild().EndX = bild().StartX + 1536;
    bild().EndY = bild().StartY + 1152;
    platform.onModal = [](QDialog& d) { QTest::keyClick(&d, Qt::Key_F3); };
    programm().zoomForm().ZeigenModal();
    EXPECT_EQ(platform.modalDialogs, 1);
    EXPECT_FALSE(programm().hatZoomForm());
    EXPECT_EQ(index(), 1);
}

TEST_F(Maus, PositionInPicturePixelsIsShownUnroundedAndWholeWithoutGrouping)
{
    starten({{4000, 3000}, {800, 600}});  // fitted to the 1024-px screen: PIV 3.90625
    XYPos& xy = programm().xyPos();
    xy.show();  // laid out in its fonts
    EXPECT_EQ(xy.lblBildgroesse->text(), QStringLiteral("4000 x 3000"));
    const QLocale vorher;
    // Every digit a double holds for sure (15), with the user's decimal separator: short numbers,
    // a recurring fraction, one below 1, and the longest positions a picture gives.
    for (auto [sprache, x, y, textX, textY] : std::vector<std::tuple<QLocale::Language, double, double, const char*, const char*>>{
             {QLocale::German, 5047.2, 768, "1314,375", "200"},
             {QLocale::English, 5047.2, 7, "1314.375", "1.82291666666667"},
             {QLocale::German, 3829.5, 1, "997,265625", "0,260416666666667"},
             {QLocale::English, 8117.33333333333, 0.05, "2113.88888888889", "0.0130208333333333"},
             {QLocale::German, 0, 15360, "0", "4000"},
             {QLocale::German, 61439.9, 46079.9, "15999,9739583333", "11999,9739583333"},
         }) {
        QLocale::setDefault(QLocale(sprache));
        bild().Image1_MouseMove(0, x, y);
        EXPECT_EQ(xy.lblXPos->text(), QString::fromLatin1(textX));
        EXPECT_EQ(xy.lblYPos->text(), QString::fromLatin1(textY));
        // The whole number is drawn within its field, broken into lines when it is long.
        for (Zahlenfeld* feld : {xy.lblXPos, xy.lblYPos}) {
            const QStringList zeilen = feld->Zeilen();
            EXPECT_EQ(zeilen.join(QString()), feld->text());
            const QFontMetricsF m(feld->Schrift());
            EXPECT_LE(zeilen.size() * m.lineSpacing(), feld->contentsRect().height()) << qPrintable(feld->text());
            for (const QString& zeile : zeilen)
                EXPECT_LE(m.horizontalAdvance(zeile), feld->contentsRect().width()) << qPrintable(feld->text());
            // Legible: one line when a number is short, and a readable font for every position of
            // one pixel and more (up to five whole digits: two lines of eight characters).
            if (feld->text().size() <= 8) {
                EXPECT_EQ(zeilen.size(), 1) << qPrintable(feld->text());
            }
            if (feld->text().size() <= 16) {
                EXPECT_GE(feld->Schrift().pointSizeF(), Zahlenfeld::kLesbarPunkte) << qPrintable(feld->text());
            }
        }
    }
    QLocale::setDefault(vorher);
}

TEST_F(Maus, EverySelectionWidthTheSurfaceCanHoldOpensTheZoomView)
{
    // A picture fitted to the 1024-px screen and one shown at an odd natural size. The mouse gives
    // whole pixels (15 twips each); every selection width from the smallest accepted to the whole
    // picture is tried.
    starten({{2048, 1536}, {777, 333}});
    constexpr double kSchirm = 1024, kSchirmHoehe = 768, kGrenze = Bildflaeche::kGroesstePixel;
    for (int bildNr = 0; bildNr < 2; ++bildNr) {
        arbeitsliste().setListIndex(bildNr);
        form().BildAnzeigen();
        ImageForm& b = bild();
        const QRect image1 = b.Image1.pixel();
        int geoeffnet = 0;
        for (int k = 7; k <= image1.width(); ++k) {
            const int x0 = (image1.width() - k) / 2, y0 = 5;
            b.StartX = x0 * 15;
            b.StartY = y0 * 15;
            b.EndX = b.StartX + k * 15;
            b.EndY = b.StartY + std::max(5, k * 3 / 4) * 15;
            platform.messages.clear();
            const int vorher = platform.modalDialogs;
            QRect zoom;
            platform.onModal = [&](QDialog& d) { zoom = dynamic_cast<ZoomForm&>(d).ImageZoom.pixel(); };
            programm().zoomForm().ZeigenModal();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            const double faktor = kSchirm / k;
            const double breite = image1.width() * faktor, hoehe = image1.height() * faktor;
            const bool offen = platform.modalDialogs > vorher;
            if (breite > kGrenze + 1.5) {
                EXPECT_FALSE(offen) << bildNr << " width " << k;
                ASSERT_EQ(platform.messageTexts(), QStringList{programm().Text(2066)}) << k;
                continue;
            }
            if (breite < kGrenze - 1.5) {
                ASSERT_TRUE(offen && platform.messages.empty()) << bildNr << " width " << k;
            }
            if (!offen)
                continue;
            ++geoeffnet;
            EXPECT_NEAR(zoom.width(), breite, 1.0) << k;
            EXPECT_NEAR(zoom.height(), hoehe, 1.0) << k;
            // The selection's corner at the screen's corner, or centred where the picture is smaller.
            EXPECT_NEAR(zoom.x(), breite < kSchirm ? (kSchirm - breite) / 2 : -x0 * faktor, 1.0) << k;
            EXPECT_NEAR(zoom.y(), hoehe < kSchirmHoehe ? (kSchirmHoehe - hoehe) / 2 : -y0 * faktor, 1.0) << k;
        }
        // All but the few widths that enlarge beyond the surface's limit.
        EXPECT_GE(geoeffnet, image1.width() - 40) << bildNr;
    }
}

TEST_F(Maus, SelectionFrameShowsOnEveryBackground)
{
    // Pictures of one grey level each, from black over mid-grey (where an inverted line vanishes)
    // to white.
    const std::vector<int> stufen = {0, 37, 127, 128, 200, 255};
    QStringList pfade;
    for (size_t i = 0; i < stufen.size(); ++i) {
        QImage grau(400, 300, QImage::Format_RGB888);
        grau.fill(QColor(stufen[i], stufen[i], stufen[i]));
        pfade.append(pfad(QString(QChar(u'a' + int(i))) + QStringLiteral(".bmp")));
        ASSERT_TRUE(grau.save(pfade.back(), "BMP"));
    }
    platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
    platform.givenArguments = pfade;
    programm().Starten();
    form().RechteckLupeScharf = true;
    for (size_t i = 0; i < stufen.size(); ++i) {
        arbeitsliste().setListIndex(int(i));
        form().BildAnzeigen();
        bild().Image1_MouseDown(1, 150, 150);
        bild().Image1_MouseMove(1, 150 + 15 * 161, 150 + 15 * 90);
        ASSERT_TRUE(bild().Shape1.Visible);
        const QRect rahmen = bild().Shape1.pixel();
        ASSERT_GT(rahmen.width(), 100);
        const QImage shot = bild().grab().toImage();
        int punkte = 0, deutlich = 0;
        auto pruefen = [&](int x, int y) {
            ++punkte;
            deutlich += std::abs(qGray(shot.pixel(x, y)) - stufen[i]) >= 100;
        };
        for (int x = rahmen.left(); x <= rahmen.right(); ++x) {
            pruefen(x, rahmen.top());
            pruefen(x, rahmen.bottom());
        }
        for (int y = rahmen.top() + 1; y < rahmen.bottom(); ++y) {
            pruefen(rahmen.left(), y);
            pruefen(rahmen.right(), y);
        }
        // At least a third of the line stands out clearly, all round.
        EXPECT_GE(deutlich * 3, punkte) << "grey " << stufen[i];
        // Inside the frame the picture is untouched.
        EXPECT_EQ(qGray(shot.pixel(rahmen.center())), stufen[i]);
        bild().Image1_MouseUp(1, 150 + 15 * 161, 150 + 15 * 90);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
