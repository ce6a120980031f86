// The platform for tests: records every request and answers as the test tells it. Files and
// folders are real (tests build them in temporary folders).
#pragma once

#include "platform/Platform.h"
#include "support/ScriptedRegistry.h"

#include <QByteArray>
#include <QDialog>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class ScriptedPlatform : public Platform {
public:
    // --- what the test sets ------------------------------------------------------------------
    QSize screen{1024, 768};
    int dpiX = 96;
    int dpiY = 96;
    double dpr = 1.0;  // device pixels per logical pixel
    quint16 shiftState = 0;
    QString appDataFolder = QStringLiteral("/nonexistent-appdata");
    QString programFolderPath = QStringLiteral("/opt/fotolauf");
    // The arguments as a shell would hand them over; relative ones are made absolute against
    // workingFolder, as the real platform does against the process's working folder.
    QStringList givenArguments;
    QString workingFolder = QStringLiteral("/");
    // Answers for the next message boxes, in order; without one a box answers with its default
    // button (OK, Yes or the default set).
    std::deque<int> answers;
    // Runs when a dialog is shown modally (for example to click one of its buttons).
    std::function<void(QDialog&)> onModal;
    // Answers of the file-open dialog, in order ("" = cancelled; cancelled when none is left).
    std::deque<QString> chosenFiles;
    QStringList fileDialogs;  // titles and filters asked for
    // Runs whenever pending events are let run (for example to press a button during a walk).
    std::function<void()> onProcessEvents;

    // --- what the test reads -----------------------------------------------------------------
    std::vector<MessageBoxRequest> messages;
    int endRequests = 0;
    int modalDialogs = 0;
    int processEventsCalls = 0;
    bool busy = false;
    QString uiLanguage;  // the toolkit's language, as last set

    QStringList messageTexts() const;

    // --- Platform ------------------------------------------------------------------------------
    int messageBox(const MessageBoxRequest& request) override;
    void setUiLanguage(const QString& language) override { uiLanguage = language; }
    void execModal(QDialog& dialog) override;
    quint16 shiftKeyStateAtStart() override { return shiftState; }
    QSize screenSizePixels() override { return screen; }
    int logicalDpiX() override { return dpiX; }
    int logicalDpiY() override { return dpiY; }
    double devicePixelRatio() override { return dpr; }
    QString applicationDataFolder() override { return appDataFolder; }
    QString programFolder() override { return programFolderPath; }
    QStringList arguments() override;
    FolderEntries listFolder(const QString& folder, Order order = Order::ByName) override;
    bool readFile(const QString& path, qint64 limit, QByteArray& content, Refusal* refusal = nullptr) override;
    QString chooseOpenFile(const QString& title, const QString& filter) override;
    void processEvents() override;
    void setBusyPointer(bool b) override { busy = b; }
    void endProgram() override { ++endRequests; }

    // --- file actions, popup menu and folder chooser -------------------------------------------
    // What the test sets: captions to choose in the next popup menus ("" dismisses; dismissed when
    // none is left), folders the chooser answers ("" = cancelled; cancelled when none is left),
    // results of open and print in order (success, 42, when none is left), paths whose trashing
    // fails as write-protected. With trashFolder set, files really go into that trash folder (the home trash of a
    // test). Copies are made for real (without replacing); copyFailures names sources whose copy
    // fails with error 75; with copiesAreReal false a copy is only recorded and succeeds.
    std::deque<QString> menuPicks;
    std::deque<QString> chosenFolders;
    std::deque<int> shellResults;
    QStringList trashFailures;
    QString trashFolder;
    QStringList copyFailures;
    bool copiesAreReal = true;
    // What the test reads: the captions of every menu shown (sub-menu items as "sub>item"), the
    // folder dialogs' titles, every shell request (action "open", "print", "link" or "show" and
    // its target), the file lists handed to the trash, every copy with its error number.
    struct ShellRequest {
        QString action;
        QString target;
    };
    struct CopyRequest {
        QString source;
        QString target;
        int errorNumber;
    };
    std::vector<QStringList> popupMenus;
    QStringList folderDialogs;
    std::vector<ShellRequest> shellRequests;
    std::vector<QStringList> trashRequests;
    std::vector<CopyRequest> copies;

    int execPopupMenu(QMenu& menu) override;
    QString chooseFolder(const QString& title) override;
    int openWithApplication(const QString& file) override;
    int printPicture(const QString& file) override;
    bool openLink(const QString& link) override;
    void showInFileManager(const QString& file) override;
    int moveToTrash(const QStringList& files, Refusal* refusal = nullptr) override;
    int copyFile(const QString& source, const QString& target, QString& errorText) override;

    // --- file-type association ----------------------------------------------------------------
    // The registry answers from scriptedRegistry unless a test hands in another (a real one).
    ScriptedRegistry scriptedRegistry;
    Registry* registryInstead = nullptr;
    Registry& registry() override { return registryInstead ? *registryInstead : scriptedRegistry; }

private:
    int naechstesShellErgebnis();
};
