// The pictures of one folder and the walk through its sub-folders.
#include "lists/frmDurchsuchenUnterOrdner.h"
#include "support/ProgrammFixture.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

class Ordner : public ProgrammTest {
protected:
    void einBild(const QString& bild)
    {
        form().List1->Clear();
        form().List1->AddItem(bild);
    }
    QStringList gesammelt() { return eintraege(*form().lstFilesImGleichenOrdner); }
    void leereDateien(const QString& ordner, int anzahl, const char* endung)
    {
        QDir().mkpath(ordner);
        for (int i = 0; i < anzahl; ++i) {
            QFile f(ordner + QStringLiteral("/p%1.").arg(i, 5, 10, QChar(u'0')) + QString::fromLatin1(endung));
            f.open(QIODevice::WriteOnly);
        }
    }
    void mitUnterordnern()
    {
        platform.onModal = [](QDialog& d) { dynamic_cast<frmDurchsuchenUnterOrdner&>(d).btnMitUnterOrdnern->click(); };
        frmDurchsuchenUnterOrdner frage(programm());
        frage.zeigenModal();
    }
};

TEST_F(Ordner, OnlyTheThreeLetterEndingCountsHiddenFilesAreLeftOutAndAnEmptyFolderGivesNone)
{
    for (const char* n : {"a.jpg", "B.JPG", "c.png", "d.jpeg", "bmp", ".versteckt.jpg", "e.Gif"})
        Fixtures::writeFile(pfad(QStringLiteral("f/") + QString::fromLatin1(n)));
    Fixtures::writeFile(pfad("f/unter/x.jpg"));
    einBild(pfad("F/b.jpg"));  // the case differs from the name on disk
    form().ListAlleFilesImGleichenOrdner();
    const QString o = pfad("F/");
    EXPECT_EQ(gesammelt(), QStringList({o + "a.jpg", o + "B.JPG", o + "bmp", o + "e.Gif"}));
    EXPECT_EQ(form().lstFilesImGleichenOrdner->ListIndex(), 1);
    EXPECT_TRUE(platform.messages.empty());

    QDir().mkpath(pfad("leer"));
    einBild(pfad("leer/weg.jpg"));
    form().ListAlleFilesImGleichenOrdner();
    form().KopiereListBox();
    EXPECT_EQ(form().List1->ListCount(), 0);
    EXPECT_EQ(arbeitsliste().ListCount(), 0);
    EXPECT_EQ(form().strStartBild, pfad("leer/weg.jpg"));
}

TEST_F(Ordner, WalkIsDepthFirstByNameCollectsOnlyPicturesAndFollowsNoLinkBack)
{
    for (const char* n : {"a.jpg", "b.JPG", "c.png", "d.jpeg", "X/e.gif", "X/Y/f.bmp", "W/g.ico", ".h/i.jpg"})
        Fixtures::writeFile(pfad(QStringLiteral("Bilder/") + QString::fromLatin1(n)));
    // Links back into visited folders are not followed.
    ASSERT_TRUE(QFile::link(pfad("Bilder"), pfad("Bilder/X/Y/zurueck")));
    ASSERT_TRUE(QFile::link(pfad("Bilder/X"), pfad("Bilder/Z")));
    einBild(pfad("Bilder/a.jpg"));
    mitUnterordnern();
    const QString o = pfad("Bilder/");
    EXPECT_EQ(gesammelt(), QStringList({o + "a.jpg", o + "b.JPG", o + "W/g.ico", o + "X/e.gif", o + "X/Y/f.bmp"}));
    EXPECT_EQ(working(), gesammelt());
    EXPECT_EQ(programm().BildPosList.size(), 6u);
    for (const auto& satz : programm().BildPosList)
        EXPECT_TRUE(satz.leer());
    // One chance for pending events before each sub-folder.
    EXPECT_GE(platform.processEventsCalls, 3);
}

TEST_F(Ordner, TheLimitGivesTheMessageOnceKeepsTheFirstPicturesAndTheWalkStillVisitsEveryFolder)
{
    leereDateien(pfad("g/a"), 32767, "jpg");
    Fixtures::writeFile(pfad("g/a/zzz.txt"));
    leereDateien(pfad("g/b"), 10, "gif");
    Fixtures::writeFile(pfad("g/start.bmp"));
    Fixtures::writeFile(pfad("g/c/zuletzt.jpg"));
    // A folder of exactly as many pictures as a list takes.
    einBild(pfad("g/a/p00000.jpg"));
    form().ListAlleFilesImGleichenOrdner();
    EXPECT_EQ(form().lstFilesImGleichenOrdner->ListCount(), 32767);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, programm().Text(2332));
    EXPECT_EQ(form().lstFilesImGleichenOrdner->ListIndex(), 0);

    // The walk reaches the limit in its first sub-folder.
    platform.messages.clear();
    platform.processEventsCalls = 0;
    einBild(pfad("g/start.bmp"));
    mitUnterordnern();
    EXPECT_EQ(form().lstFilesImGleichenOrdner->ListCount(), 32767);
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_FALSE(gesammelt().contains(pfad("g/c/zuletzt.jpg")));
    EXPECT_TRUE(gesammelt().contains(pfad("g/start.bmp")));
    // Once at the start, once before each of the three sub-folders, once at the end.
    EXPECT_EQ(platform.processEventsCalls, 1 + 3 + 1);
}

TEST_F(Ordner, CancelDuringTheWalkEndsTheProgram)
{
    for (int i = 0; i < 5; ++i)
        Fixtures::writeFile(pfad(QStringLiteral("k/u%1/a.jpg").arg(i)));
    Fixtures::writeFile(pfad("k/a.jpg"));
    einBild(pfad("k/a.jpg"));
    frmDurchsuchenUnterOrdner frage(programm());
    int runden = 0;
    platform.onProcessEvents = [&] {
        if (++runden == 3)
            frage.btnAbbrechen->click();
    };
    frage.btnMitUnterOrdnern_Click();
    EXPECT_EQ(platform.endRequests, 1);
    EXPECT_EQ(runden, 3);  // nothing more was walked
    EXPECT_EQ(arbeitsliste().ListCount(), 0);
}
