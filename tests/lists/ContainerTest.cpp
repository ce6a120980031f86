// The drop container: drops in both orders, duplicates, the start button's roads, the new
// compilation with and without ticked pictures, and the slide-list road.
#include "support/ShowFixture.h"

#include <QCheckBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QUrl>

class Container : public ShowTest {
protected:
    void leerStarten()
    {
        platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
        programm().Starten();
    }
    QString bildDatei(const QString& name, int w = 40, int h = 30) { return Fixtures::writePicture(pfad(name), w, h); }
    // Drops the files onto a list the way a file manager does (text/uri-list of local files).
    void ablegen(BildListenFeld& liste, const QStringList& dateien)
    {
        QMimeData daten;
        QList<QUrl> urls;
        for (const QString& d : dateien)
            urls.append(QUrl::fromLocalFile(d));
        daten.setUrls(urls);
        const QPoint mitte = liste.viewport()->rect().center();
        QDragEnterEvent hinein(mitte, Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(liste.viewport(), &hinein);
        QDropEvent ab(QPointF(mitte), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(liste.viewport(), &ab);
    }
};

TEST_F(Container, DropsAreSortedOrKeptInDropOrderWithoutDuplicates)
{
    leerStarten();
    const QString z = bildDatei("z.jpg"), a = bildDatei("a.jpg"), grossA = bildDatei("A.JPG");
    // A file dropped twice is taken once; A.JPG beside a.jpg is another picture.
    ablegen(*form().List1, {z, a, grossA, a});
    EXPECT_EQ(eintraege(*form().List1), QStringList({a, grossA, z}));
    EXPECT_TRUE(platform.messages.empty());

    form().chkSortAsDragAndDrop->click();  // ticking the box empties the container
    EXPECT_EQ(form().List1->ListCount(), 0);
    ablegen(*form().List1, {z, a});  // the mode decides the target, not the list dropped on
    EXPECT_EQ(eintraege(*form().List1Unsorted), QStringList({z, a}));
    EXPECT_EQ(programm().BildPosList.size(), 3u);
}

TEST_F(Container, UnsupportedFilesAndOtherDataAreSkippedWithOneHint)
{
    leerStarten();
    const QString a = bildDatei("a.jpg");
    ablegen(*form().List1, {pfad("x.png"), a, pfad("y.txt"), pfad("bmp")});
    EXPECT_EQ(eintraege(*form().List1), QStringList({a, pfad("bmp")}));  // no dot needed here
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith(QStringLiteral("Nur Dateinamen-Erweiterungen ")));
    // Data without local files (a web link) is not taken.
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/b.jpg"))});
    EXPECT_TRUE(BildListenFeld::LokaleDateien(&web).isEmpty());
}

TEST_F(Container, StartButtonRoads)
{
    leerStarten();
    form().cmdStartAfterDragDrop->click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Sie haben keine Dateien ausgewählt"));
    EXPECT_TRUE(form().isVisible());

    const QString b = bildDatei("ordner/b.jpg"), a = bildDatei("ordner/a.gif"), c = bildDatei("ordner/c.bmp");
    ablegen(*form().List1, {b});
    QSignalSpy angezeigt(&form(), &FotolaufForm::BildAngezeigt);
    form().cmdStartAfterDragDrop->click();
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text,
              QStringLiteral("Wenn Sie ein einzelnes Bild auswählen,\r\ndurchsucht das Programm den gesamten Ordner nach weiteren "
                             "Bildern\r\nMit F5 können Sie die Liste aller gefundenen Bilder anzeigen\r\nMit F3 vorwärts- mit F2 "
                             "rückwärtsblättern\r\n"));
    EXPECT_EQ(working(), QStringList({a, b, c}));
    EXPECT_EQ(arbeitsliste().Text(), b);
    EXPECT_EQ(angezeigt.count(), 1);
    EXPECT_FALSE(form().isVisible());
    EXPECT_TRUE(bild().isVisible());
}

TEST_F(Container, NewCompilationAsksAboutTickedPicturesAndKeepsTheContainer)
{
    const QString a = bildDatei("a.jpg"), b = bildDatei("b.jpg");
    platform.givenArguments = {a, b};
    platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
    programm().Starten();
    arbeitsliste().setSelected(1, true);
    platform.answers = {MsgBox::Nein};
    taste(Qt::Key_F8);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              QStringLiteral("Es gibt mit Häkchen markierte Dateien, wollen Sie diese wirklich ignorieren?"));
    EXPECT_EQ(platform.messages[0].buttons, MsgBox::JaNein);
    EXPECT_FALSE(form().isVisible());  // No: the show goes on unchanged
    EXPECT_EQ(arbeitsliste().ListCount(), 2);

    platform.answers = {MsgBox::Ja};
    taste(Qt::Key_F8);
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(bild().isVisible());
    EXPECT_EQ(form().windowTitle(), QStringLiteral("TESSRIN Fotolauf"));
    EXPECT_EQ(eintraege(*form().List1), QStringList({a.toLower(), b.toLower()}));  // kept for editing
    form().cmdStartAfterDragDrop->click();
    EXPECT_EQ(working(), QStringList({a.toLower(), b.toLower()}));
    EXPECT_TRUE(bild().isVisible());

    // Emptying the container clears the lists and hides its button.
    arbeitsliste().setSelected(0, false);
    arbeitsliste().setSelected(1, false);
    taste(Qt::Key_F8);
    form().cmdKeinNeustart->click();
    EXPECT_EQ(form().List1->ListCount(), 0);
    EXPECT_EQ(arbeitsliste().ListCount(), 0);
    EXPECT_FALSE(form().cmdKeinNeustart->isVisibleTo(&form()));
}

TEST_F(Container, AfterASlideListF8AsksForAnotherUntilChosenOrEnded)
{
    const QString a = bildDatei("a.jpg"), b = bildDatei("b.jpg");
    const QString flf1 = Fixtures::writeFile(pfad("eins.flf"), (b + "\n" + a + "\n").toUtf8());
    const QString flf2 = Fixtures::writeFile(pfad("zwei.flf"), (a + "\n").toUtf8());
    platform.givenArguments = {flf1};
    platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
    programm().Starten();
    EXPECT_EQ(working(), QStringList({b, a}));

    // Cancel → "really end?" → No → the dialog again → a file: its pictures are shown.
    platform.chosenFiles = {QString(), flf2};
    platform.answers = {MsgBox::Nein};
    taste(Qt::Key_F8);
    EXPECT_EQ(platform.fileDialogs.size(), 2);
    EXPECT_EQ(platform.fileDialogs[0], QStringLiteral("Wählen Sie die Flf-Datei aus|Fotolauf(*.flf *.FLF *.Flf)"));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Wollen Sie wirklich das Programm abbrechen(beenden)?"));
    EXPECT_EQ(working(), QStringList({a}));
    EXPECT_FALSE(form().isVisible());
    EXPECT_TRUE(form().blnListBoxNeuDblClick);
    EXPECT_EQ(platform.endRequests, 0);

    // Cancel → Yes ends the program.
    platform.chosenFiles = {QString()};
    platform.answers = {MsgBox::Ja};
    taste(Qt::Key_F8);
    EXPECT_EQ(platform.endRequests, 1);
}
