// The roads of start-up: no arguments, Shift held, one picture with the folder question,
// several pictures, a slide-list file, and the messages that end the program.
#include "lists/frmDurchsuchenUnterOrdner.h"
#include "platform/FileSystem.h"
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
    // A program of its own on a platform with this test's settings.
    std::unique_ptr<Programm> neu(ScriptedPlatform& p, const QStringList& argumente)
    {
        p.appDataFolder = platform.appDataFolder;
        p.givenArguments = argumente;
        auto programm = std::make_unique<Programm>(p);
        programm->Starten();
        return programm;
    }
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
    EXPECT_EQ(arbeitsliste().ListCount(), 0);
    EXPECT_EQ(form().Helligkeit, 80);
    EXPECT_TRUE(form().blnMauszeigerSichtbar);
    EXPECT_EQ(form().ScreenWidth, 15360);
    EXPECT_EQ(form().ScreenHeight, 11520);
    EXPECT_DOUBLE_EQ(form().SGVH, 4.0 / 3.0);
    EXPECT_EQ(programm().AppPfad, QStringLiteral("/opt/fotolauf"));
    EXPECT_EQ(platform.endRequests, 0);

    // A denser screen keeps the aspect; a program folder at the root gives an empty path.
    ScriptedPlatform dicht;
    dicht.dpiX = dicht.dpiY = 120;
    dicht.programFolderPath = QStringLiteral("/");
    const auto p = neu(dicht, {});
    EXPECT_EQ(p->fotolaufForm().ScreenWidth, 12288);
    EXPECT_DOUBLE_EQ(p->fotolaufForm().SGVH, 4.0 / 3.0);
    EXPECT_EQ(p->AppPfad, QString());
}

TEST_F(Startup, ShiftHeldOpensTheContainerInsteadOfThePictures)
{
    Fixtures::writeFile(pfad("a.jpg"));
    Fixtures::writeFile(pfad("b.jpg"));
    platform.shiftState = 0x8001;
    starten({pfad("a.jpg"), pfad("b.jpg")});
    EXPECT_TRUE(form().CommandLine.isEmpty());
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(arbeitsliste().ListCount(), 0);

    // Any other state (Shift merely down, not newly pressed) does not count.
    ScriptedPlatform anders;
    anders.shiftState = 0x8000;
    anders.givenArguments = {pfad("a.jpg"), pfad("b.jpg")};
    Programm p(anders);
    p.Starten();
    EXPECT_EQ(p.Arbeitsliste().ListCount(), 2);
}

TEST_F(Startup, OnePictureAsksAboutSubfoldersAndEveryAnswerIsHonoured)
{
    // A folder with a blank in its name holding b.JPG, A.gif, c.txt and a sub-folder with d.bmp.
    Fixtures::writePicture(pfad("Mein Urlaub/b.JPG"), 40, 30);
    Fixtures::writePicture(pfad("Mein Urlaub/A.gif"), 30, 40);
    Fixtures::writeFile(pfad("Mein Urlaub/c.txt"));
    Fixtures::writePicture(pfad("Mein Urlaub/Sub/d.bmp"), 20, 20);
    const QString ordner = pfad("Mein Urlaub/").toLower();
    auto knopf = [](QPushButton* frmDurchsuchenUnterOrdner::*k) {
        return [k](QDialog& d) { (dynamic_cast<frmDurchsuchenUnterOrdner&>(d).*k)->click(); };
    };
    struct Fall {
        std::function<void(QDialog&)> antwort;
        QStringList liste;
        int ende;
    };
    const std::vector<Fall> faelle = {
        {knopf(&frmDurchsuchenUnterOrdner::btnOhneUnterordner), {ordner + "A.gif", ordner + "b.JPG"}, 0},
        {knopf(&frmDurchsuchenUnterOrdner::btnMitUnterOrdnern), {ordner + "A.gif", ordner + "b.JPG", ordner + "Sub/d.bmp"}, 0},
        {[](QDialog& d) { d.reject(); }, {ordner + "A.gif", ordner + "b.JPG"}, 0},  // closed: without sub-folders
        {knopf(&frmDurchsuchenUnterOrdner::btnAbbrechen), {}, 1},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.liste.size());
        ScriptedPlatform p;
        p.onModal = f.antwort;
        const auto programm = neu(p, {pfad("Mein Urlaub/b.JPG")});
        const FotolaufForm& m = programm->fotolaufForm();
        EXPECT_EQ(p.modalDialogs, 1);
        // A name with a blank stays one name, in quotes.
        EXPECT_EQ(m.CommandLine, u'"' + ordner + "b.jpg" + u'"');
        EXPECT_EQ(m.strArgumente, m.CommandLine);
        EXPECT_EQ(eintraege(programm->Arbeitsliste()), f.liste);
        EXPECT_EQ(p.endRequests, f.ende);
        if (f.ende == 0) {
            EXPECT_EQ(programm->Arbeitsliste().Text(), ordner + "b.JPG");
            EXPECT_EQ(m.strStartBild, ordner + "b.jpg");
            EXPECT_TRUE(m.blnOhneUnterOrdner);
            EXPECT_EQ(programm->BildPosList.size(), static_cast<size_t>(f.liste.size() + 1));
            EXPECT_TRUE(p.messages.empty());
            EXPECT_FALSE(p.busy);
        }
    }
}

TEST_F(Startup, SlideListFileKeepsItsOrderAndOneWrittenOnWindowsIsReadAsWindows1252)
{
    const QByteArray inhalt = (pfad("z.jpg") + "\r\n" + pfad("a.jpg") + "\r\n" + pfad("m.jpg") + "\r\n").toUtf8();
    Fixtures::writeFile(pfad("Show.FLF"), inhalt);
    starten({pfad("Show.FLF")});
    EXPECT_EQ(working(), QStringList({pfad("z.jpg"), pfad("a.jpg"), pfad("m.jpg")}));
    EXPECT_EQ(arbeitsliste().ListIndex(), 0);
    EXPECT_TRUE(form().optVorhandeneFotolaufDateiBenutzen->isChecked());
    EXPECT_EQ(form().ZeilenZaehler, 3);
    EXPECT_EQ(platform.endRequests, 0);

    Fixtures::writeFile(pfad("alt.flf"), pfad("").toUtf8() + "K\xe4se.jpg\n" + pfad("").toUtf8() + "\xe9t\xe9.jpg");
    ScriptedPlatform p;
    const auto alt = neu(p, {pfad("alt.flf")});
    EXPECT_EQ(eintraege(alt->Arbeitsliste()), QStringList({pfad("Käse.jpg"), pfad("été.jpg")}));
}

TEST_F(Startup, MessagesInBothLanguagesAndWhichOfThemEndTheProgram)
{
    Fixtures::writePicture(pfad("a.jpg"), 10, 10);
    Fixtures::writePicture(pfad("b.jpg"), 10, 10);
    const QString fehlt = pfad("fehlt.flf");
    const QString leer = Fixtures::writeFile(pfad("leer.flf"), QByteArray());
    const QString luecke = Fixtures::writeFile(pfad("luecke.flf"), (pfad("a.jpg") + "\r\n" + pfad("b.jpg") + "\r\n\r\n").toUtf8());
    const QString gross = pfad("gross.flf");  // sparse: larger than the reader takes, without taking the disk
    QFile(Fixtures::writeFile(gross)).resize(FileSystem::Limit::kSlideList + 1);
    // Unsupported names are skipped with one hint; with none left, the program ends.
    const QStringList hinweis = {
        "Nur Dateinamen-Erweiterungen 'BMP', 'CUR', 'DIB', 'EMF', 'GIF', 'ICO', 'JPG', 'WMF'\r\nsind erlaubt.\r\nNur die "
        "gültigen Dateinamen-Erweiterungen werden übernommen.\r\nDieser Hinweis wird nicht wiederholt.",
        "Only filetypes 'BMP', 'CUR', 'DIB', 'EMF', 'GIF', 'ICO', 'JPG', 'WMF'\r\nare allowed.\r\nOnly the valid filetypes will "
        "be accepted.\r\nthis message will not be repeated."};
    struct Fall {
        QStringList argumente;
        QStringList deutsch, englisch;
        int icon;
        int ende, eintraege;
    } faelle[] = {
        {{fehlt},
         {"Sie haben folgende Foto-Lauf-Datei angegeben:\r\n" + fehlt.toLower() + "\r\nDiese Datei existiert nicht"},
         {"you delivered following fotolauf filename:\r\n" + fehlt.toLower() + "\r\nthis file does not exist"},
         MsgBox::Kritisch, 1, 0},
        {{leer}, {"Formatfehler in " + leer.toLower()}, {"format error in" + leer.toLower()}, MsgBox::Kritisch, 1, 0},
        // It exists: not "does not exist", but why it cannot be opened.
        {{gross},
         {"Errortext=File too large (more than 16 MiB)\r\n\r\nSie haben folgende Foto-Lauf-Datei angegeben:\r\n" + gross.toLower() +
          "\r\nDiese Datei kann nicht geöffnet werden"},
         {"Errortext=File too large (more than 16 MiB)\r\n\r\nyou delivered following fotolauf filename:\r\n" + gross.toLower() +
          "\r\nThis file cannot be opened"},
         MsgBox::Kritisch, 1, 0},
        {{luecke},
         {"Fehlerhafte Zeile in " + luecke.toLower() + "\r\n\r\nZeilenNummer: 3"},
         {"error in line" + luecke.toLower() + "\r\n\r\nline number:3"},
         MsgBox::Kritisch, 1, 0},
        {{pfad("bild.png")},
         {hinweis[0], "Sie haben per Drag&Drop keine gültigen Dateinamen-Erweiterungen angeboten"},
         {hinweis[1], "you did not deliver valid filetypes per Drag&Drop"},
         MsgBox::KeinIcon, 1, 0},
        {{pfad("x.png"), pfad("a.jpg"), pfad("y.txt"), pfad("b.jpg")}, {hinweis[0]}, {hinweis[1]}, MsgBox::KeinIcon, 0, 2},
    };
    for (const auto& f : faelle) {
        for (int language : {0, 1}) {
            SCOPED_TRACE(f.argumente.join(u' ').toStdString() + " language " + std::to_string(language));
            sprache(language);
            ScriptedPlatform p;
            const auto programm = neu(p, f.argumente);
            EXPECT_EQ(p.messageTexts(), language == 0 ? f.deutsch : f.englisch);
            for (const auto& m : p.messages) {
                EXPECT_EQ(m.icon, &m == &p.messages.back() ? f.icon : MsgBox::KeinIcon);
                EXPECT_EQ(m.buttons, MsgBox::OkNur);
            }
            EXPECT_EQ(p.endRequests, f.ende);
            EXPECT_EQ(programm->Arbeitsliste().ListCount(), f.eintraege);
        }
    }
}
