// Windows that come on screen while the picture window is shown belong to it, so that window
// managers keep them above the full-screen picture.
#include "support/ShowFixture.h"

#include <QGuiApplication>
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
    // ... but not once that one is hidden: a parent off the screen leaves it to the window manager.
    kind.hide();
    kind.show();
    EXPECT_EQ(eltern(kind), b.windowHandle()) << "a window whose parent was hidden";
    kind.hide();

    // A window closed by a key a moment ago is still reported as having the keyboard until the
    // window manager's word comes: the next window belongs to the picture, not to the hidden one.
    QWidget position(nullptr, Qt::Dialog);
    position.show();
    position.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == position.windowHandle(); }));
    position.hide();
    QWidget danach(nullptr, Qt::Dialog);
    danach.show();
    EXPECT_EQ(eltern(danach), b.windowHandle()) << "a window shown right after a hidden one had the keyboard";
    danach.hide();

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
