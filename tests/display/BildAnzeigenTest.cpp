// Showing the selected picture through the program object on a 1024 × 768 scripted screen.
#include "support/ProgrammFixture.h"
#include "windows/ImageForm.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

class BildAnzeigen : public ProgrammTest {
protected:
    // Starts with the given pictures (several names: the working list is sorted).
    void starten(const QStringList& namen)
    {
        QStringList pfade;
        for (const QString& n : namen)
            pfade.append(pfad(n));
        platform.givenArguments = pfade;
        programm().Starten();
    }
    void zeigen(int index)
    {
        arbeitsliste().setListIndex(index);
        form().BildAnzeigen();
    }
    ImageForm& bild() { return programm().imageForm(); }
    QString groesse() { return programm().xyPos().lblBildgroesse->text(); }
};

TEST_F(BildAnzeigen, LargePictureIsFittedSmallOneCentredOrEnlargedByTheRuleWithSizeTextAndScale)
{
    Fixtures::writePicture(pfad("a.jpg"), 2000, 1000, Qt::blue);
    Fixtures::writePicture(pfad("b.jpg"), 800, 600, Qt::red);
    starten({"b.jpg", "a.jpg"});
    EXPECT_EQ(bild().Image1.pixel(), QRect(0, 128, 1024, 512));
    EXPECT_TRUE(bild().Image1.Visible);
    EXPECT_EQ(groesse(), QStringLiteral("2000 x 1000"));
    EXPECT_DOUBLE_EQ(bild().PIV, 2000.0 / 1024.0);
    EXPECT_EQ(programm().AngezeigteDatei, pfad("a.jpg").toLower());
    EXPECT_TRUE(bild().isVisible());
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(programm().listBoxForm().windowTitle(), "Dateiname des angezeigten Bildes=" + pfad("a.jpg").toLower());
    EXPECT_TRUE(programm().listBoxForm().chkExifAnzeigen->isEnabled());
    EXPECT_TRUE(programm().listBoxForm().chkIptcAnzeigen->isEnabled());

    zeigen(1);
    EXPECT_EQ(bild().Image1.pixel(), QRect(112, 84, 800, 600));
    EXPECT_EQ(groesse(), QStringLiteral("800 x 600"));
    EXPECT_DOUBLE_EQ(bild().PIV, 1.0);
    // The enlargement rule of the settings window applies.
    programm().wertxForm().Opt640->setChecked(true);
    zeigen(1);
    EXPECT_EQ(bild().Image1.pixel(), QRect(0, 0, 1024, 768));
    EXPECT_DOUBLE_EQ(bild().PIV, 800.0 / 1024.0);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(BildAnzeigen, FileThatCannotBeLoadedGivesTheMessageAndABlackWindow)
{
    Fixtures::writePicture(pfad("a.jpg"), 100, 100);
    Fixtures::writeFile(pfad("b.jpg"), "kein Bild");
    for (int language : {0, 1}) {
        sprache(language);
        ScriptedPlatform p2;
        p2.appDataFolder = platform.appDataFolder;
        p2.givenArguments = {pfad("a.jpg"), pfad("b.jpg"), pfad("c.jpg")};
        Programm p(p2);
        p.Starten();
        for (int i : {1, 2}) {
            p.Arbeitsliste().setListIndex(i);
            p.fotolaufForm().BildAnzeigen();
            ASSERT_EQ(p2.messages.size(), static_cast<size_t>(i));
            const QString name = p.Arbeitsliste().List(i);
            EXPECT_EQ(p2.messages.back().text,
                      language == 0 ? "Bild kann nicht geladen werden.\r\n" + name +
                                          "\r\nPrüfen Sie ob diese Datei existiert\r\noder ob es sich um einen verbotenen "
                                          "Dateityp handelt."
                                    : "Image can not be loaded.\r\n" + name +
                                          "\r\nCheck if this file exists\r\nor if this filetype is not allowed");
            EXPECT_EQ(p2.messages.back().icon, MsgBox::Information);
            EXPECT_FALSE(p.imageForm().Image1.Visible);
            EXPECT_TRUE(p.imageForm().isVisible());
            EXPECT_EQ(p.AngezeigteDatei, name);
            EXPECT_EQ(p.Arbeitsliste().ListIndex(), i);
        }
    }
}

TEST_F(BildAnzeigen, BrightnessChangesOnlyTwentyFourBitPictures)
{
    Fixtures::writePicture(pfad("a.jpg"), 64, 48, Qt::gray);
    QImage palette(64, 48, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(128, 128, 128)});
    palette.fill(0);
    palette.save(pfad("b.bmp"), "BMP");
    starten({"a.jpg", "b.bmp"});
    const QRgb vorher = bild().Image1Bild().image.pixel(10, 10);

    form().Helligkeit = 175;
    zeigen(0);
    const QRgb nachher = bild().Image1Bild().image.pixel(10, 10);
    EXPECT_GT(qRed(nachher), qRed(vorher));
    EXPECT_EQ(qRed(nachher), 255);  // every input of 39 or more becomes 255
    EXPECT_TRUE(platform.messages.empty());

    form().Helligkeit = 0;
    zeigen(0);
    EXPECT_NEAR(qRed(bild().Image1Bild().image.pixel(10, 10)), qRed(vorher) / 5.0, 1.0);
    // The pass once more on what the decode darkened leaves it (a second darkening would take
    // another fifth); on a copy decoded without the table it darkens that copy's source.
    const QRgb einmal = form().Pictbox.image.pixel(10, 10);
    form().DoImagePro(QStringLiteral("Brightness/Contrast"));
    EXPECT_EQ(form().Pictbox.image.pixel(10, 10), einmal);
    form().Pictbuf = PictureLoader().load(pfad("a.jpg"));
    form().Pictbox = form().Pictbuf;
    form().DoImagePro(QStringLiteral("Brightness/Contrast"));
    EXPECT_EQ(form().Pictbox.image.pixel(10, 10), einmal);
    EXPECT_EQ(form().Pictbuf.image.pixel(10, 10), vorher);

    form().Helligkeit = 100;
    for (int mal = 1; mal <= 2; ++mal) {
        zeigen(1);
        ASSERT_EQ(platform.messages.size(), static_cast<size_t>(mal));
        EXPECT_EQ(platform.messages.back().text, QStringLiteral(" 24-bit bitmaps only"));
        EXPECT_EQ(platform.messages.back().icon, MsgBox::Kritisch);
        EXPECT_EQ(qRed(bild().Image1Bild().image.pixel(10, 10)), 128);
        EXPECT_TRUE(bild().Image1.Visible);
    }
}

TEST_F(BildAnzeigen, StoredRectangleOverridesThePlacementWhenEnabled)
{
    Fixtures::writePicture(pfad("a.jpg"), 800, 600);
    Fixtures::writePicture(pfad("b.jpg"), 800, 600);
    starten({"a.jpg", "b.jpg"});
    programm().BildPosList.assign(3, Positionssatz{});
    programm().BildPosList[1] = Positionssatz{0, 1500, 3000, 1500};  // only the top is 0: still stored
    zeigen(1);
    EXPECT_EQ(bild().Image1.pixel(), QRect(112, 84, 800, 600));  // not enabled
    programm().wertxForm().CheckSpeichernBildPosition->setChecked(true);
    zeigen(1);
    EXPECT_EQ(bild().Image1.pixel(), QRect(100, 0, 200, 100));
    EXPECT_DOUBLE_EQ(bild().PIV, 4.0);
    zeigen(0);
    EXPECT_EQ(bild().Image1.pixel(), QRect(112, 84, 800, 600));
}
