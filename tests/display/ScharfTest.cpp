// Whatever is drawn larger than the copy decoded for the screen comes from the full resolution,
// brightened like the screen, once the worker has it: a restored zoomed section and the zoom window
// show a one-pixel checkerboard exactly as the file holds it, at every brightness. The
// full-resolution decode keeps to its memory cap and reads only the file that is shown: one
// replaced since stays stretched as it is on screen.
#include "display/BildVorlader.h"
#include "display/Dateistempel.h"
#include "display/VolleAufloesung.h"
#include "support/ShowFixture.h"
#include "windows/WertxForm.h"
#include "windows/ZoomForm.h"

#include <QCheckBox>
#include <QTest>

#include <atomic>

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
        arbeitsliste().setListIndex(0);
        form().BildAnzeigen();
        if (stufe == 80)
            taste(Qt::Key_F4);
        taste(Qt::Key_F3);
        taste(Qt::Key_F2);
        ASSERT_EQ(bild().Image1.pixel().size(), QSize(2048, 1536)) << stufe;
        ASSERT_TRUE(QTest::qWaitFor([&] { return bild().Image1Bild().image.width() == 2048; }, 20000)) << stufe;
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
            EXPECT_TRUE(QTest::qWaitFor([&] { return form().Vorlader().ruhig(); }, 20000));
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

TEST_F(Scharf, ZoomOfAFileReplacedSinceItWasShownStretchesWhatIsOnScreen)
{
    platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
    Fixtures::writePicture(pfad("a.bmp"), 2048, 1536, Qt::red);
    Fixtures::writePicture(pfad("b.bmp"), 300, 200, Qt::green);
    platform.givenArguments = {pfad("a.bmp"), pfad("b.bmp")};
    programm().Starten();
    auto mitte = [](const QImage& i) { return i.pixelColor(i.width() / 2, i.height() / 2); };
    ASSERT_EQ(bild().Image1Bild().image.width(), 1024);
    // Same size, same times, new content, written in place or renamed over it: what F4 and the
    // zoom window show is the picture on screen, stretched, never the new file's pixels.
    for (bool umbenannt : {false, true}) {
        SCOPED_TRACE(umbenannt ? "renamed over" : "in place");
        // Replaced again until the file system's clock has moved on, so the change time differs.
        const Dateistempel gezeigt = Dateistempel::von(pfad("a.bmp"));
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return Fixtures::replaceKeepingTimes(pfad("a.bmp"), umbenannt ? Qt::blue : Qt::yellow, umbenannt) &&
                   !(Dateistempel::von(pfad("a.bmp")) == gezeigt);
        }));
        taste(Qt::Key_F4);
        ASSERT_EQ(bild().Image1.pixel().width(), 2048);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form().Vorlader().ruhig(); }, 20000));
        EXPECT_EQ(bild().Image1Bild().image.width(), 1024);
        EXPECT_EQ(mitte(bild().grab().toImage()), QColor(Qt::red));
        taste(Qt::Key_F1);
        bild().StartX = 280 * 15;
        bild().StartY = 200 * 15;
        bild().EndX = bild().StartX + 512 * 15;
        bild().EndY = bild().StartY + 384 * 15;
        QImage zoom;
        platform.onModal = [&](QDialog& d) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return form().Vorlader().ruhig(); }, 20000));
            zoom = d.grab().toImage();
        };
        programm().zoomForm().ZeigenModal();
        platform.onModal = nullptr;
        EXPECT_EQ(mitte(zoom), QColor(Qt::red));
    }
    // Shown again, the picture is the new file, and its full resolution is read for the zoom.
    form().BildAnzeigen();
    EXPECT_EQ(mitte(bild().Image1Bild().image), QColor(Qt::blue));
    taste(Qt::Key_F4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bild().Image1Bild().image.width() == 2048; }, 20000));
    EXPECT_EQ(mitte(bild().grab().toImage()), QColor(Qt::blue));
    EXPECT_TRUE(platform.messages.empty());
}

TEST(VolleAufloesung, DecodesOnceOnTheWorkerWithinItsCap)
{
    QTemporaryDir dir;
    const QString datei = dir.path() + QStringLiteral("/gross.jpg");
    Fixtures::writePicture(datei, 2048, 1536, Qt::darkCyan);
    PictureLoader lader;
    const LoadedPicture schirm = lader.load(datei, QSize(512, 384));
    ASSERT_EQ(schirm.image.size(), QSize(512, 384));
    const Dateistempel stempel = Dateistempel::von(datei);

    // Sizes within the cap stay; above it the largest half, quarter or eighth within it.
    EXPECT_EQ(VolleAufloesung::Zielgroesse({2048, 1536}, 4 << 20), QSize(2048, 1536));
    EXPECT_EQ(VolleAufloesung::Zielgroesse({2048, 1536}, 1 << 20), QSize(1024, 768));
    EXPECT_EQ(VolleAufloesung::Zielgroesse({11585, 11585}), QSize(5793, 5793));
    EXPECT_EQ(VolleAufloesung::Zielgroesse({8688, 5792}), QSize(8688, 5792));
    EXPECT_EQ(VolleAufloesung::Zielgroesse({3, 1}, 1), QSize(1, 1));

    BildVorlader vorlader(nullptr);
    auto dekodiert = std::make_shared<std::atomic<int>>(0);
    auto arbeitsLader = std::make_shared<PictureLoader>();
    vorlader.setLadefunktion([dekodiert, arbeitsLader](const QString& p, QSize a, const ByteTable* t, const CancelFlag& c) {
        ++*dekodiert;
        return arbeitsLader->load(p, a, t, &c);
    });
    int angekommen = 0;
    VolleAufloesung voll(vorlader, [&] { ++angekommen; }, 1 << 20);
    auto fertig = [&](int n) { return QTest::qWaitFor([&] { return angekommen == n && vorlader.ruhig(); }, 20000); };
    // The screen copy suffices, also where the placement rounds a pixel above it: nothing is read.
    EXPECT_FALSE(voll.Fuer(schirm, QSize(512, 384), datei, stempel, nullptr));
    EXPECT_FALSE(voll.Fuer(schirm, QSize(513, 385), datei, stempel, nullptr));
    EXPECT_TRUE(vorlader.ruhig());
    // Larger: read on the worker; until it is there, nothing (the copy on screen is stretched).
    EXPECT_FALSE(voll.Fuer(schirm, QSize(514, 384), datei, stempel, nullptr));
    EXPECT_FALSE(voll.Fuer(schirm, QSize(4096, 3072), datei, stempel, nullptr));
    ASSERT_TRUE(fertig(1));
    const auto paar = voll.Fuer(schirm, QSize(4096, 3072), datei, stempel, nullptr);
    ASSERT_TRUE(paar);
    EXPECT_EQ(paar->bild.image.size(), QSize(1024, 768));
    EXPECT_EQ(paar->bild.naturalSize, QSize(2048, 1536));
    const auto nochmal = voll.Fuer(schirm, QSize(2000, 1500), datei, stempel, nullptr);
    ASSERT_TRUE(nochmal);
    EXPECT_EQ(nochmal->bild.image.cacheKey(), paar->bild.image.cacheKey());
    EXPECT_EQ(*dekodiert, 1);

    // Brightened in the decode, before the reduction to the cap (one colour, so the order shows
    // only in rounding); the decode at the largest size is not asked for more.
    const Helligkeit::Tabelle t = Helligkeit::TabelleBerechnen(40);
    EXPECT_FALSE(voll.Fuer(schirm, QSize(4096, 3072), datei, stempel, &t));
    ASSERT_TRUE(fertig(2));
    const auto hell = voll.Fuer(schirm, QSize(4096, 3072), datei, stempel, &t);
    ASSERT_TRUE(hell);
    EXPECT_EQ(hell->bild.image.size(), QSize(1024, 768));
    EXPECT_EQ(hell->bild.byteTable, t);
    const QRgb q = paar->bild.image.pixel(100, 100), b = hell->bild.image.pixel(100, 100);
    EXPECT_NEAR(qGreen(b), t[size_t(qGreen(q))], 1);
    EXPECT_NE(qGreen(b), qGreen(q));
    EXPECT_FALSE(voll.Fuer(hell->bild, QSize(4096, 3072), datei, stempel, &t));

    // A picture change stops a decode under way; one that ended gives nothing when asked again.
    voll.Vergessen();
    EXPECT_FALSE(voll.Fuer(schirm, QSize(4096, 3072), datei, stempel, nullptr));
    voll.Vergessen();
    ASSERT_TRUE(QTest::qWaitFor([&] { return vorlader.ruhig(); }, 20000));
    EXPECT_EQ(angekommen, 2);
    // A file that vanished, or whose decode for the screen saw it change, is not read at all.
    const int vorher = *dekodiert;
    EXPECT_FALSE(voll.Fuer(schirm, QSize(4096, 3072), datei, Dateistempel{}, nullptr));
    QFile::remove(datei);
    EXPECT_FALSE(voll.Fuer(schirm, QSize(4096, 3072), datei, stempel, nullptr));
    ASSERT_TRUE(QTest::qWaitFor([&] { return vorlader.ruhig(); }, 20000));
    EXPECT_EQ(*dekodiert, vorher);
    EXPECT_EQ(angekommen, 2);
}
