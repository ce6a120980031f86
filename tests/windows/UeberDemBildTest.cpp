// Windows that come on screen while the picture window is shown belong to it, so that window
// managers keep them above the full-screen picture.
#include "support/ShowFixture.h"

#include <QWindow>

namespace {
QWindow* eltern(QWidget& fenster)
{
    return fenster.windowHandle() ? fenster.windowHandle()->transientParent() : nullptr;
}
}  // namespace

class UeberDemBild : public ShowTest {};

TEST_F(UeberDemBild, WindowsShownOverThePictureBelongToIt)
{
    starten({{100, 80}, {100, 80}});
    ImageForm& b = bild();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    QWidget dialog(nullptr, Qt::Dialog);
    dialog.show();
    EXPECT_EQ(eltern(dialog), b.windowHandle()) << "a dialog without a parent of its own";
    dialog.hide();
    ListBoxForm& liste = programm().listBoxForm();
    liste.show();
    EXPECT_EQ(eltern(liste), b.windowHandle()) << "the list window";
    // A window that already belongs to one over the picture keeps its parent.
    QWidget kind(nullptr, Qt::Dialog);
    kind.winId();
    kind.windowHandle()->setTransientParent(liste.windowHandle());
    kind.show();
    EXPECT_EQ(eltern(kind), liste.windowHandle());
    liste.hide();

    // Menus find their own parent; without the picture window on screen nothing is changed.
    QWidget menue(nullptr, Qt::Popup);
    menue.show();
    EXPECT_EQ(eltern(menue), nullptr);
    menue.hide();
    b.hide();
    QWidget spaeter(nullptr, Qt::Dialog);
    spaeter.show();
    EXPECT_EQ(eltern(spaeter), nullptr);
}
