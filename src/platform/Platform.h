// The operating-system facilities the viewer relies on, behind one interface: the Linux
// implementation serves the program, a scripted one in the tests records and answers.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include "platform/Refusal.h"
#include <functional>

class QDialog;
class QMenu;
class Registry;

// Buttons, icon and default button of a message box, with the classic numeric values so that
// callers can combine them as the messages are written (e.g. JaNein | Frage).
namespace MsgBox {
enum Buttons : int { OkNur = 0, OkAbbrechen = 1, JaNeinAbbrechen = 3, JaNein = 4 };
enum Icon : int { KeinIcon = 0, Kritisch = 16, Frage = 32, Ausrufezeichen = 48, Information = 64 };
enum Standard : int { StandardKnopf1 = 0, StandardKnopf2 = 256, StandardKnopf3 = 512 };
enum Antwort : int { Ok = 1, Abbrechen = 2, Ja = 6, Nein = 7 };
}  // namespace MsgBox

struct MessageBoxRequest {
    QString text;
    QString title;  // empty: the program's default title
    int buttons = MsgBox::OkNur;
    int icon = MsgBox::KeinIcon;
    int defaultButton = MsgBox::StandardKnopf1;
};

// One entry of a folder listing.
struct FolderEntries {
    QStringList files;       // plain names of regular (and read-only) files, hidden ones left out
    QStringList subfolders;  // plain names of sub-folders, hidden ones left out
    bool opened = false;     // false: the folder could not be read
};

class Platform {
public:
    virtual ~Platform() = default;

    // Modal message box; returns the answer (MsgBox::Antwort).
    virtual int messageBox(const MessageBoxRequest& request) = 0;

    // The language of the toolkit's own texts (standard buttons, file and folder dialogs), "de" or
    // "en", set once the interface language is known.
    virtual void setUiLanguage(const QString& language) { Q_UNUSED(language); }

    // Runs a dialog modally and returns when it is closed.
    virtual void execModal(QDialog& dialog) = 0;

    // State of the Shift key when the program starts: 0x8001 when held down.
    virtual quint16 shiftKeyStateAtStart() = 0;

    // Screen size in logical pixels and the desktop's logical pixels per inch.
    virtual QSize screenSizePixels() = 0;
    virtual int logicalDpiX() = 0;
    virtual int logicalDpiY() = 0;
    // Device pixels per logical pixel of the screen (2 on a doubled HiDPI screen).
    virtual double devicePixelRatio() = 0;

    // The per-user application-data folder ($XDG_CONFIG_HOME, else ~/.config), without a trailing "/".
    virtual QString applicationDataFolder() = 0;

    // The folder of the program file, without a trailing "/" ("" when it is the root).
    virtual QString programFolder() = 0;

    // The program's arguments, each made absolute against the working folder it was started in.
    virtual QStringList arguments() = 0;

    // Files and sub-folders of a folder, sorted by name without regard to case or in the order the
    // file system keeps them. The path is resolved without regard to case when it does not exist
    // as given.
    enum class Order { ByName, AsStored };
    virtual FolderEntries listFolder(const QString& folder, Order order = Order::ByName) = 0;

    // Whole content of exactly this file when it is a regular file of at most limit bytes; false
    // otherwise (missing, a FIFO, a device, a folder, too large), without ever blocking, with the
    // reason in refusal when one is given.
    virtual bool readFile(const QString& path, qint64 limit, QByteArray& content, Refusal* refusal = nullptr) = 0;

    // The file-open dialog; "" when cancelled. filter: "Description(*.ext)".
    virtual QString chooseOpenFile(const QString& title, const QString& filter) = 0;

    // Lets pending window events run.
    virtual void processEvents() = 0;

    // Busy pointer for the whole screen, and back to the normal one.
    virtual void setBusyPointer(bool busy) = 0;

    // Ends the program at once, saving nothing. The scripted platform only records the request,
    // so every caller returns right after it.
    virtual void endProgram() = 0;
    // --- file actions, popup menu and folder chooser -----------------------------------------
    // The file actions take a file exactly as named: they never look for another letter case.
    // Shows a popup menu at the pointer position and waits until it closes; returns the number
    // stored in the chosen action's data, 0 when the menu was dismissed.
    virtual int execPopupMenu(QMenu& menu) = 0;

    // The folder chooser; "" when cancelled.
    virtual QString chooseFolder(const QString& title) = 0;

    // Opens a file with the application the desktop associates with its type. Like the Windows
    // shell it returns a value above 32 on success, otherwise an error code (2 file not found,
    // 3 path not found, 31 no application for the type).
    virtual int openWithApplication(const QString& file) = 0;

    // Prints a picture through the print dialog, fitted to the page; codes as openWithApplication
    // (31 when no printer is available).
    virtual int printPicture(const QString& file) = 0;

    // Hands a link (mailto:) to the desktop's opener; false when no opener could be started.
    virtual bool openLink(const QString& link) = 0;

    // Shows the file manager with the file selected (its folder when that cannot be done).
    virtual void showInFileManager(const QString& file) = 0;

    // Moves each file of the list, exactly as named, into the desktop's trash, never erasing one;
    // 0 when all of them went there, otherwise 2 (a file is missing) or 5, with the reason of the
    // last refusal in refusal when one is given (WriteProtected for the file or its folder).
    virtual int moveToTrash(const QStringList& files, Refusal* refusal = nullptr) = 0;

    // Copies a file; an existing target is never replaced. Returns 0 on success, otherwise an error
    // number with its text in errorText.
    virtual int copyFile(const QString& source, const QString& target, QString& errorText) = 0;

    // --- file-type association ------------------------------------------------------------------
    // The store of the file-type association's keys (see Registry.h).
    virtual Registry& registry() = 0;
};
