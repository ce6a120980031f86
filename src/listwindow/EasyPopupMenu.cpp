// The popup menu over QMenu; the item number travels in each action's data.
#include "listwindow/EasyPopupMenu.h"

#include "platform/Platform.h"

#include <QActionGroup>
#include <QMenu>

EasyPopupMenu::EasyPopupMenu(Platform& platform)
    : m_platform(platform)
{
    CreateMenu();
}

EasyPopupMenu::~EasyPopupMenu()
{
    DeleteMenu();
}

void EasyPopupMenu::CreateMenu()
{
    if (!m_menu)
        m_menu = std::make_unique<QMenu>();
}

void EasyPopupMenu::anhaengen(QMenu* menu, const QString& caption, qint32 type, qint32 number)
{
    if (!menu)
        return;
    if (type & MF_SEPARATOR) {
        menu->addSeparator();
        return;
    }
    QAction* eintrag = menu->addAction(caption);
    eintrag->setData(number);
    eintrag->setEnabled(!(type & (MF_GRAYED | MF_DISABLED)));
    if (type & MF_CHECKED) {
        eintrag->setCheckable(true);
        eintrag->setChecked(true);
    }
}

void EasyPopupMenu::AddMenuItem(const QString& ItemCaption, qint32 ItemType, qint32 ItemNumber)
{
    anhaengen(m_menu.get(), ItemCaption, ItemType, ItemNumber);
}

void EasyPopupMenu::CreateSubmenu(const QString& ItemCaption)
{
    if (!m_menu)
        return;
    m_untermenue = m_menu->addMenu(ItemCaption);
}

void EasyPopupMenu::AddSubmenuItem(const QString& ItemCaption, qint32 ItemType, qint32 ItemNumber)
{
    anhaengen(m_untermenue, ItemCaption, ItemType, ItemNumber);
}

void EasyPopupMenu::CheckRadioItem(qint32 FirstItem, qint32 LastItem, qint32 RadioItem)
{
    if (!m_untermenue)
        return;
    const QList<QAction*> eintraege = m_untermenue->actions();
    if (FirstItem < 0 || LastItem >= eintraege.size() || FirstItem > LastItem || RadioItem < FirstItem || RadioItem > LastItem)
        return;
    // An exclusive group draws the items of the range with radio bullets.
    auto* gruppe = new QActionGroup(m_untermenue);
    for (qint32 i = FirstItem; i <= LastItem; ++i) {
        QAction* a = eintraege[i];
        if (a->isSeparator())
            continue;
        a->setCheckable(true);
        a->setActionGroup(gruppe);
        a->setChecked(i == RadioItem);
    }
}

qint32 EasyPopupMenu::TrackMenu(QWidget* /*FormHandler: Qt places a popup without an owner*/)
{
    if (!m_menu)
        return 0;
    return m_platform.execPopupMenu(*m_menu);
}

void EasyPopupMenu::DeleteMenu()
{
    m_menu.reset();
}
