// The popup menu: building, sub-menus, radio marks, choosing and dismissing (scripted and with the
// real Qt menu), freeing.
#include "listwindow/EasyPopupMenu.h"
#include "platform/LinuxPlatform.h"
#include "support/ScriptedPlatform.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QStringList captions(const QMenu* menu)
{
    QStringList r;
    for (const QAction* a : menu->actions())
        r.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return r;
}

// Sends keys to the popup menu as soon as it is up (QMenu::exec runs its own loop).
void tastenAnsMenue(std::vector<Qt::Key> tasten)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, tasten] {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup || !popup->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        for (Qt::Key k : tasten)
            QTest::keyClick(popup, k);
    });
    timer->start(10);
}

}  // namespace

TEST(EasyPopupMenu, ItemsAndSubmenusAreChosenByNumberAndSubmenuOperationsWorkOnTheLatestSubmenu)
{
    ScriptedPlatform platform;
    EasyPopupMenu menue(platform);
    // Before any sub-menu: no effect, and no crash.
    menue.AddSubmenuItem(QStringLiteral("verloren"), 0, 1);
    menue.CheckRadioItem(0, 0, 0);
    EXPECT_TRUE(menue.Hauptmenue()->actions().isEmpty());

    menue.AddMenuItem(QStringLiteral("Oben"), 0, 1);
    menue.AddMenuItem(QString(), EasyPopupMenu::MF_SEPARATOR, 0);
    menue.AddMenuItem(QStringLiteral("Grau"), EasyPopupMenu::MF_GRAYED, 33);
    menue.CreateSubmenu(QStringLiteral("Erstes"));
    menue.AddSubmenuItem(QStringLiteral("A"), 0, 10);
    QMenu* erstes = menue.Untermenue();
    menue.CreateSubmenu(QStringLiteral("Zweites"));
    menue.AddSubmenuItem(QStringLiteral("B"), 0, 20);
    menue.AddSubmenuItem(QStringLiteral("C"), 0, 21);
    menue.AddSubmenuItem(QStringLiteral("D"), 0, 22);
    EXPECT_EQ(captions(menue.Hauptmenue()), (QStringList{"Oben", "-", "Grau", "Erstes", "Zweites"}));
    EXPECT_EQ(captions(erstes), QStringList{"A"});
    EXPECT_EQ(captions(menue.Untermenue()), (QStringList{"B", "C", "D"}));

    // Positions, not numbers: position 2 is D; a second call moves the mark.
    menue.CheckRadioItem(0, 2, 2);
    auto markiert = [&] {
        QList<bool> r;
        for (const QAction* a : menue.Untermenue()->actions())
            r.append(a->isChecked());
        return r;
    };
    EXPECT_EQ(markiert(), (QList<bool>{false, false, true}));
    menue.CheckRadioItem(0, 2, 0);
    EXPECT_EQ(markiert(), (QList<bool>{true, false, false}));
    // Positions outside the sub-menu change nothing.
    menue.CheckRadioItem(0, 7, 5);
    EXPECT_EQ(markiert(), (QList<bool>{true, false, false}));

    // Choosing answers the item's number; dismissing or a grey item answers 0.
    const std::vector<std::pair<QString, int>> wahlen = {{"Zweites>C", 21}, {"Oben", 1}, {"", 0}, {"Grau", 0}};
    for (const auto& [wahl, nummer] : wahlen)
        platform.menuPicks.push_back(wahl);
    for (const auto& [wahl, nummer] : wahlen)
        EXPECT_EQ(menue.TrackMenu(nullptr), nummer) << wahl.toStdString();
    EXPECT_EQ(platform.popupMenus.size(), wahlen.size());
    EXPECT_EQ(platform.popupMenus[0], (QStringList{"Oben", "-", "Grau", "Erstes>A", "Zweites>B", "Zweites>C", "Zweites>D"}));
}

TEST(EasyPopupMenu, DeleteMenuTwiceFreesOnceAndTheEndOfTheInstanceFreesTheMenu)
{
    ScriptedPlatform platform;
    QPointer<QMenu> haupt;
    QPointer<QMenu> unter;
    {
        EasyPopupMenu menue(platform);
        menue.AddMenuItem(QStringLiteral("x"), 0, 1);
        menue.CreateSubmenu(QStringLiteral("u"));
        haupt = menue.Hauptmenue();
        unter = menue.Untermenue();
        menue.DeleteMenu();
        EXPECT_TRUE(haupt.isNull());
        EXPECT_TRUE(unter.isNull());  // belonged to the main menu
        menue.DeleteMenu();
        // An empty handle: nothing is shown, nothing is chosen.
        platform.menuPicks = {QStringLiteral("x")};
        EXPECT_EQ(menue.TrackMenu(nullptr), 0);
        EXPECT_TRUE(platform.popupMenus.empty());
        // CreateMenu starts a new, empty menu that the end of the instance frees.
        menue.CreateMenu();
        haupt = menue.Hauptmenue();
        ASSERT_FALSE(haupt.isNull());
        EXPECT_TRUE(haupt->actions().isEmpty());
    }
    EXPECT_TRUE(haupt.isNull());
}

TEST(EasyPopupMenu, RealMenuAnswersZeroOnEscapeAndTheNumberOnReturn)
{
    LinuxPlatform platform({});
    EasyPopupMenu menue(platform);
    menue.AddMenuItem(QStringLiteral("Erstes"), 0, 5);
    menue.AddMenuItem(QStringLiteral("Zweites"), 0, 6);
    tastenAnsMenue({Qt::Key_Escape});
    EXPECT_EQ(menue.TrackMenu(nullptr), 0);
    tastenAnsMenue({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    EXPECT_EQ(menue.TrackMenu(nullptr), 6);
}
