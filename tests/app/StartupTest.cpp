// The roads of start-up: no arguments, Shift held, one picture with the folder question,
// several pictures, a slide-list file, and the messages that end the program.
#include "lists/frmDurchsuchenUnterOrdner.h"
#include "support/ProgrammFixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

class Startup : public ProgrammTest {
protected:
    void starten(const QStringList& argumente)
    {
        platform.givenArguments = argumente;
        programm().Starten();
    }
    // Answers the folder question with the given button.
    void frageBeantworten(QPushButton* frmDurchsuchenUnterOrdner::*knopf)
    {
        platform.onModal = [knopf](QDialog& d) {
            auto& frage = dynamic_cast<frmDurchsuchenUnterOrdner&>(d);
            (frage.*knopf)->click();
        };
    }
    // A folder with b.JPG, A.gif, c.txt and a sub-folder holding d.bmp.
    QString urlaub()
    {
        Fixtures::writePicture(pfad("Urlaub/b.JPG"), 40, 30);
        Fixtures::writePicture(pfad("Urlaub/A.gif"), 30, 40);
        Fixtures::writeFile(pfad("Urlaub/c.txt"));
        Fixtures::writePicture(pfad("Urlaub/Sub/d.bmp"), 20, 20);
        return pfad("Urlaub/").toLower();
    }
    QString ausgewaehlt() { return listBoxNeu().Text(); }
};

TEST_F(Startup, WithoutArgumentsShowsTheEmptyContainer)
{
    starten({});
    EXPECT_TRUE(form().isVisible());
    EXPECT_TRUE(form().List1->isVisibleTo(&form()));
    EXPECT_TRUE(form().List1Unsorted->isVisibleTo(&form()));
    EXPECT_TRUE(form().cmdStartAfterDragDrop->isVisibleTo(&form()));
    EXPECT_TRUE(form().lblDateinamen->isVisibleTo(&form()));
    EXPECT_FALSE(form().Frame1->isVisibleTo(&form()));
    EXPECT_EQ(listBoxNeu().ListCount(), 0);
    EXPECT_EQ(form().Helligkeit, 80);
    EXPECT_TRUE(form().blnMauszeigerSichtbar);
    EXPECT_EQ(form().ScreenWidth, 15360);
    EXPECT_EQ(form().ScreenHeight, 11520);
    EXPECT_DOUBLE_EQ(form().SGVH, 4.0 / 3.0);
    EXPECT_EQ(programm().AppPfad, QStringLiteral("/opt/fotolauf"));
    EXPECT_EQ(platform.endRequests, 0);
}

TEST_F(Startup, ScreenAspectDoesNotDependOnTheDensity)
{
    platform.dpiX = platform.dpiY = 120;
    starten({});
    EXPECT_EQ(form().ScreenWidth, 12288);
    EXPECT_DOUBLE_EQ(form().SGVH, 4.0 / 3.0);
}

TEST_F(Startup, ProgramFolderAtTheRootGivesAnEmptyAppPfad)
{
    platform.programFolderPath = QStringLiteral("/");
    starten({});
    EXPECT_EQ(programm().AppPfad, QString());
}

TEST_F(Startup, ShiftHeldOpensTheContainerInsteadOfThePictures)
{
    Fixtures::writeFile(pfad("a.jpg"));
    Fixtures::writeFile(pfad("b.jpg"));
    platform.shiftState = 0x8001;
    starten({pfad("a.jpg"), pfad("b.jpg")});
    EXPECT_TRUE(form().CommandLine.isEmpty());
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(listBoxNeu().ListCount(), 0);

    // Any other state (Shift merely down, not newly pressed) does not count.
    ScriptedPlatform anders;
    anders.shiftState = 0x8000;
    anders.givenArguments = {pfad("a.jpg"), pfad("b.jpg")};
    Programm p(anders);
    p.Starten();
    EXPECT_EQ(p.listBoxForm().ListBoxNeu->ListCount(), 2);
}

TEST_F(Startup, OnePictureWithoutSubfoldersTakesItsFolderSortedAndSelectsIt)
{
    const QString ordner = urlaub();
    frageBeantworten(&frmDurchsuchenUnterOrdner::btnOhneUnterordner);
    starten({pfad("Urlaub/b.JPG")});
    EXPECT_EQ(platform.modalDialogs, 1);
    EXPECT_EQ(form().CommandLine, pfad("Urlaub/b.JPG").toLower());
    EXPECT_EQ(working(), QStringList({ordner + "A.gif", ordner + "b.JPG"}));
    EXPECT_EQ(ausgewaehlt(), ordner + "b.JPG");
    EXPECT_EQ(form().strStartBild, ordner + "b.jpg");
    EXPECT_TRUE(form().blnOhneUnterOrdner);
    EXPECT_EQ(programm().BildPosList.size(), 3u);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(platform.busy);
}

TEST_F(Startup, TheOtherAnswersToTheFolderQuestion)
{
    const QString ordner = urlaub();
    struct Fall {
        std::function<void(QDialog&)> antwort;
        QStringList liste;
        int ende;
    };
    const std::vector<Fall> faelle = {
        {[](QDialog& d) { dynamic_cast<frmDurchsuchenUnterOrdner&>(d).btnMitUnterOrdnern->click(); },
         {ordner + "A.gif", ordner + "b.JPG", ordner + "Sub/d.bmp"}, 0},
        {[](QDialog& d) { d.reject(); }, {ordner + "A.gif", ordner + "b.JPG"}, 0},  // closed: without sub-folders
        {[](QDialog& d) { dynamic_cast<frmDurchsuchenUnterOrdner&>(d).btnAbbrechen->click(); }, {}, 1},
    };
    for (const Fall& f : faelle) {
        ScriptedPlatform p;
        p.givenArguments = {pfad("Urlaub/b.JPG")};
        p.onModal = f.antwort;
        Programm programm(p);
        programm.Starten();
        EXPECT_EQ(eintraege(*programm.listBoxForm().ListBoxNeu), f.liste);
        EXPECT_EQ(p.endRequests, f.ende);
        if (f.ende == 0) {
            EXPECT_EQ(programm.listBoxForm().ListBoxNeu->Text(), ordner + "b.JPG");
            EXPECT_EQ(programm.BildPosList.size(), static_cast<size_t>(f.liste.size() + 1));
        }
    }
}

TEST_F(Startup, SeveralPicturesAreSortedAndTheFirstIsSelected)
{
    Fixtures::writeFile(pfad("z.jpg"));
    Fixtures::writeFile(pfad("a.jpg"));
    starten({pfad("z.jpg"), pfad("a.jpg")});
    const QString ordner = dir.path().toLower() + u'/';
    EXPECT_EQ(working(), QStringList({ordner + "a.jpg", ordner + "z.jpg"}));
    EXPECT_EQ(listBoxNeu().ListIndex(), 0);
    EXPECT_EQ(platform.modalDialogs, 0);
    EXPECT_FALSE(form().isVisible());
}

TEST_F(Startup, QuotedPathWithBlanksIsOneName)
{
    Fixtures::writeFile(pfad("Meine Bilder/a.jpg"));
    Fixtures::writeFile(pfad("Meine Bilder/b.jpg"));
    frageBeantworten(&frmDurchsuchenUnterOrdner::btnOhneUnterordner);
    starten({pfad("Meine Bilder/a.jpg")});
    EXPECT_EQ(form().strArgumente, u'"' + pfad("Meine Bilder/a.jpg").toLower() + u'"');
    EXPECT_EQ(platform.modalDialogs, 1);
    EXPECT_EQ(listBoxNeu().ListCount(), 2);
    EXPECT_EQ(ausgewaehlt(), pfad("Meine Bilder/").toLower() + "a.jpg");
}

TEST_F(Startup, SlideListFileKeepsItsOrder)
{
    const QByteArray inhalt = (pfad("z.jpg") + "\r\n" + pfad("a.jpg") + "\r\n" + pfad("m.jpg") + "\r\n").toUtf8();
    Fixtures::writeFile(pfad("Show.FLF"), inhalt);
    starten({pfad("Show.FLF")});
    EXPECT_EQ(working(), QStringList({pfad("z.jpg"), pfad("a.jpg"), pfad("m.jpg")}));
    EXPECT_EQ(listBoxNeu().ListIndex(), 0);
    EXPECT_TRUE(form().optVorhandeneFotolaufDateiBenutzen->isChecked());
    EXPECT_EQ(form().ZeilenZaehler, 3);
    EXPECT_EQ(platform.endRequests, 0);
}

TEST_F(Startup, SlideListFileWrittenOnWindowsIsReadAsWindows1252)
{
    QByteArray inhalt = pfad("").toUtf8() + "K\xe4se.jpg\n" + pfad("").toUtf8() + "\xe9t\xe9.jpg";
    Fixtures::writeFile(pfad("alt.flf"), inhalt);
    starten({pfad("alt.flf")});
    EXPECT_EQ(working(), QStringList({pfad("Käse.jpg"), pfad("été.jpg")}));
}

TEST_F(Startup, FatalMessagesEndTheProgramInBothLanguages)
{
    const QString fehlt = pfad("fehlt.flf");
    const QString leer = Fixtures::writeFile(pfad("leer.flf"), QByteArray());
    const QString luecke = Fixtures::writeFile(pfad("luecke.flf"), (pfad("a.jpg") + "\r\n" + pfad("b.jpg") + "\r\n\r\n").toUtf8());
    struct Fall {
        QString argumente;
        QString deutsch;
        QString englisch;
        int icon;
    } faelle[] = {
        {fehlt, "Sie haben folgende Foto-Lauf-Datei angegeben:\r\n" + fehlt.toLower() + "\r\nDiese Datei existiert nicht",
         "you delivered following fotolauf filename:\r\n" + fehlt.toLower() + "\r\nthis file does not exist", MsgBox::Kritisch},
        {leer, "Formatfehler in " + leer.toLower(), "format error in" + leer.toLower(), MsgBox::Kritisch},
        {luecke, "Fehlerhafte Zeile in " + luecke.toLower() + "\r\n\r\nZeilenNummer: 3",
         "error in line" + luecke.toLower() + "\r\n\r\nline number:3", MsgBox::Kritisch},
        {pfad("bild.png"), "", "", MsgBox::KeinIcon},
    };
    for (const auto& f : faelle) {
        for (int language : {0, 1}) {
            sprache(language);
            ScriptedPlatform p2;
            p2.appDataFolder = platform.appDataFolder;
            p2.givenArguments = {f.argumente};
            Programm p(p2);
            p.Starten();
            EXPECT_EQ(p2.endRequests, 1) << f.argumente.toStdString();
            ASSERT_FALSE(p2.messages.empty());
            const auto& m = p2.messages.back();
            if (f.deutsch.isEmpty()) {
                // No usable name: the extension hint first, then the message that ends the program.
                ASSERT_EQ(p2.messages.size(), 2u);
                EXPECT_EQ(m.text, language == 0
                                      ? QStringLiteral("Sie haben per Drag&Drop keine gültigen Dateinamen-Erweiterungen angeboten")
                                      : QStringLiteral("you did not deliver valid filetypes per Drag&Drop"));
            } else {
                EXPECT_EQ(m.text, language == 0 ? f.deutsch : f.englisch);
                EXPECT_EQ(p2.messages.size(), 1u);
            }
            EXPECT_EQ(m.icon, f.icon);
            EXPECT_EQ(m.buttons, MsgBox::OkNur);
            EXPECT_EQ(p.listBoxForm().ListBoxNeu->ListCount(), 0);
        }
    }
}

TEST_F(Startup, UnsupportedNamesGiveOneHintInBothLanguages)
{
    Fixtures::writePicture(pfad("a.jpg"), 10, 10);
    Fixtures::writePicture(pfad("b.jpg"), 10, 10);
    for (int language : {0, 1}) {
        sprache(language);
        ScriptedPlatform p2;
        p2.appDataFolder = platform.appDataFolder;
        p2.givenArguments = {pfad("x.png"), pfad("a.jpg"), pfad("y.txt"), pfad("b.jpg")};
        Programm p(p2);
        p.Starten();
        ASSERT_EQ(p2.messages.size(), 1u);
        EXPECT_EQ(p2.messages[0].text,
                  language == 0 ? QStringLiteral("Nur Dateinamen-Erweiterungen 'BMP', 'CUR', 'DIB', 'EMF', 'GIF', 'ICO', 'JPG', "
                                                 "'WMF'\r\nsind erlaubt.\r\nNur die gültigen Dateinamen-Erweiterungen werden "
                                                 "übernommen.\r\nDieser Hinweis wird nicht wiederholt.")
                                : QStringLiteral("Only filetypes 'BMP', 'CUR', 'DIB', 'EMF', 'GIF', 'ICO', 'JPG', 'WMF'\r\nare "
                                                 "allowed.\r\nOnly the valid filetypes will be accepted.\r\nthis message will not "
                                                 "be repeated."));
        EXPECT_EQ(p2.messages[0].icon, MsgBox::KeinIcon);
        EXPECT_EQ(p.listBoxForm().ListBoxNeu->ListCount(), 2);
        EXPECT_EQ(p2.endRequests, 0);
    }
}
