// A popup menu built item by item, with at most one current sub-menu, shown at the pointer and
// answering the number of the chosen item (0 when dismissed). It owns its menu.
#pragma once

#include <QPointer>
#include <QString>

#include <memory>

class Platform;
class QMenu;
class QWidget;

class EasyPopupMenu {
public:
    // Item flags that are given a meaning; every other flag is ignored.
    static constexpr qint32 MF_GRAYED = 0x1;
    static constexpr qint32 MF_DISABLED = 0x2;
    static constexpr qint32 MF_CHECKED = 0x8;
    static constexpr qint32 MF_SEPARATOR = 0x800;

    explicit EasyPopupMenu(Platform& platform);
    ~EasyPopupMenu();
    EasyPopupMenu(const EasyPopupMenu&) = delete;
    EasyPopupMenu& operator=(const EasyPopupMenu&) = delete;

    void CreateMenu();
    void AddMenuItem(const QString& ItemCaption, qint32 ItemType, qint32 ItemNumber);
    void CreateSubmenu(const QString& ItemCaption);
    void AddSubmenuItem(const QString& ItemCaption, qint32 ItemType, qint32 ItemNumber);
    // Positions (not item numbers) in the current sub-menu, separators counted.
    void CheckRadioItem(qint32 FirstItem, qint32 LastItem, qint32 RadioItem);
    qint32 TrackMenu(QWidget* FormHandler);
    void DeleteMenu();

    // The main menu (nullptr once deleted) and the current sub-menu.
    QMenu* Hauptmenue() const { return m_menu.get(); }
    QMenu* Untermenue() const { return m_untermenue; }

private:
    static void anhaengen(QMenu* menu, const QString& caption, qint32 type, qint32 number);
    Platform& m_platform;
    std::unique_ptr<QMenu> m_menu;
    QPointer<QMenu> m_untermenue;  // belongs to the main menu
};
