// The picture list window: layout, entry clicks and the metadata views, double click and
// Return, closing, the right mouse button.
#include "support/ShowFixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>

class ListeFenster : public ShowTest {
protected:
    ListBoxForm& liste() { return programm().listBoxForm(); }
};

TEST_F(ListeFenster, EnglishCaptionsAndTheLayoutFollowsTheInnerSize)
{
    sprache(1);
    starten({{10, 10}, {10, 10}});
    ListBoxForm& l = liste();
    EXPECT_EQ(l.btnAktionAusfuehren->text(), QStringLiteral("Select and &execute an action..."));
    EXPECT_EQ(l.chkExifAnzeigen->text(), QStringLiteral("EXIF fields"));
    EXPECT_EQ(l.chkIptcAnzeigen->text(), QStringLiteral("IPTC fields"));
    EXPECT_EQ(l.windowTitle(), "filename of the displayed image=" + arbeitsliste().List(0));
    l.Form_Resize(13392, 3936);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.ListBoxNeu).Width, 8120);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.ListBoxNeu).Height, 3071);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.ListBoxNeu).Left, 0);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.ListBoxNeu).Top, 600);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.FrameExifIptc).Left, 8220);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.FrameExifIptc).Height, 3636);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.lstExifIptc).Height, 2971);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.txtEXIFInfo).Height, 2821);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.btnAktionAusfuehren).Left, 2520);
    // Narrower than the frame plus 100 twips: the list keeps its last width, the rest still runs.
    l.Form_Resize(5000, 2000);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.ListBoxNeu).Width, 8120);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.FrameExifIptc).Left, -172);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.ListBoxNeu).Height, 1135);
    // Too low as well: each failing step leaves its control, the others follow.
    l.Form_Resize(5000, 700);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.ListBoxNeu).Height, 1135);
    EXPECT_DOUBLE_EQ(l.Geometrie(l.FrameExifIptc).Height, 1700);
}

TEST_F(ListeFenster, ClickOnAnotherEntryShowsTheHintAndTheTwoBoxesSwitchTheViews)
{
    starten({{10, 10}, {10, 10}});
    ListBoxForm& l = liste();
    l.show();
    l.chkExifAnzeigen->setChecked(true);
    arbeitsliste().setListIndex(1);  // not the picture on screen
    EXPECT_EQ(l.txtEXIFInfo->toPlainText(),
              QStringLiteral("Der Dateiname in der Dateinamenliste\r\nund der Name der aktuell angezeigten\r\nDatei sind "
                             "unterschiedlich.\r\nSie müssen Doppelklicken oder\r\ndie Enter-Taste drücken, um die\r\nausgewählte "
                             "Datei anzuzeigen.")
                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_TRUE(l.txtEXIFInfo->isVisible());
    EXPECT_FALSE(l.chkExifAnzeigen->isEnabled());
    EXPECT_FALSE(l.chkIptcAnzeigen->isEnabled());

    // The entry of the picture on screen: the boxes come back, and the ticked view is filled.
    arbeitsliste().setListIndex(0);
    EXPECT_TRUE(l.chkExifAnzeigen->isEnabled());
    EXPECT_TRUE(l.txtEXIFInfo->isVisible());
    EXPECT_FALSE(l.txtEXIFInfo->toPlainText().isEmpty());
    EXPECT_FALSE(l.lstExifIptc->isVisible());

    // The two boxes switch between the views.
    l.chkIptcAnzeigen->setChecked(true);
    EXPECT_FALSE(l.chkExifAnzeigen->isChecked());
    EXPECT_TRUE(l.lstExifIptc->isVisible());
    EXPECT_FALSE(l.txtEXIFInfo->isVisible());
    l.chkExifAnzeigen->setChecked(true);
    EXPECT_FALSE(l.chkIptcAnzeigen->isChecked());
    EXPECT_FALSE(l.lstExifIptc->isVisible());
    l.chkExifAnzeigen->setChecked(false);
    EXPECT_FALSE(l.txtEXIFInfo->isVisible());

    // Without a selection each view says so.
    arbeitsliste().setListIndex(-1);
    l.chkExifAnzeigen->setChecked(true);
    EXPECT_EQ(l.txtEXIFInfo->toPlainText(), QStringLiteral("keine Datei markiert"));
    l.chkIptcAnzeigen->setChecked(true);
    ASSERT_EQ(l.lstExifIptc->count(), 1);
    EXPECT_EQ(l.lstExifIptc->item(0)->text(), QStringLiteral("keine Datei markiert"));
}

TEST_F(ListeFenster, DoubleClickShowsTheEntryAndClosingOnlyHides)
{
    starten({{10, 10}, {10, 10}});
    ListBoxForm& l = liste();
    l.show();
    arbeitsliste().setListIndex(1);
    emit listBoxNeu().EintragDoppelgeklickt();
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(programm().AngezeigteDatei, arbeitsliste().List(1));
    EXPECT_TRUE(form().blnListBoxNeuDblClick);

    l.show();
    l.close();
    EXPECT_FALSE(l.isVisible());
    EXPECT_TRUE(programm().hatListBoxForm());
    taste(Qt::Key_F5);
    EXPECT_TRUE(l.isVisible());
    EXPECT_EQ(arbeitsliste().ListIndex(), 1);
    EXPECT_EQ(arbeitsliste().ListCount(), 2);
}

TEST_F(ListeFenster, RightButtonOnEntriesOrFreeAreaOnlyOpensTheKeyHelp)
{
    starten({{10, 10}, {10, 10}, {10, 10}});
    ListBoxForm& l = liste();
    l.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&l));
    // An entry that is not the current one, the free area above the list, and the empty bottom of
    // the metadata frame.
    const QPoint eintrag = l.ListBoxNeu->viewport()->mapTo(&l, l.ListBoxNeu->visualRect(l.ListBoxNeu->model()->index(2, 0)).center());
    const QPoint frei(5, 5);
    const QPoint imRahmen = l.FrameExifIptc->mapTo(&l, QPoint(l.FrameExifIptc->width() / 2, l.FrameExifIptc->height() - 3));
    for (const QPoint& punkt : {eintrag, frei, imRahmen}) {
        programm().HilfeBoxSchliessen();
        QWidget* darunter = l.childAt(punkt) ? l.childAt(punkt) : &l;
        QTest::mouseClick(darunter, Qt::RightButton, {}, darunter->mapFrom(&l, punkt));
        EXPECT_TRUE(programm().hatHilfeBoxForm()) << punkt.x() << "," << punkt.y();
        EXPECT_EQ(index(), 0);
        EXPECT_EQ(l.ListBoxNeu->currentIndex().row(), 0);
    }
}

TEST_F(ListeFenster, HighlightStaysOnTheCurrentEntryWhenTheListChanges)
{
    starten({{10, 10}, {10, 10}, {10, 10}, {10, 10}});
    ListBoxForm& l = liste();
    arbeitsliste().setListIndex(2);
    arbeitsliste().setSelected(0, true);
    arbeitsliste().setSelected(3, true);
    platform.answers = {MsgBox::Ja};
    l.WeiterAnShellExecute(5);  // the ticked first and last entry go to the trash
    ASSERT_EQ(arbeitsliste().ListCount(), 2);
    EXPECT_EQ(index(), 1);
    EXPECT_EQ(l.ListBoxNeu->currentIndex().row(), 1);
    EXPECT_TRUE(l.ListBoxNeu->selectionModel()->isRowSelected(1, {}));
}
