// The platform as the program uses it on a Linux desktop (X11 or Wayland through Qt).
#pragma once

#include "platform/LinuxRegistry.h"
#include "platform/Platform.h"

#include <memory>

class QTranslator;

class LinuxPlatform : public Platform {
public:
    explicit LinuxPlatform(QStringList arguments);
    ~LinuxPlatform() override;

    int messageBox(const MessageBoxRequest& request) override;
    void setUiLanguage(const QString& language) override;
    void execModal(QDialog& dialog) override;
    quint16 shiftKeyStateAtStart() override;
    QSize screenSizePixels() override;
    int logicalDpiX() override;
    int logicalDpiY() override;
    double devicePixelRatio() override;
    QString applicationDataFolder() override;
    QString programFolder() override;
    QString argumentString() override;
    FolderEntries listFolder(const QString& folder, Order order = Order::ByName) override;
    QString resolvePath(const QString& path) override;
    bool readFile(const QString& path, QByteArray& content) override;
    QString chooseOpenFile(const QString& title, const QString& filter) override;
    void processEvents() override;
    void setBusyPointer(bool busy) override;
    void endProgram() override;
    int execPopupMenu(QMenu& menu) override;
    QString chooseFolder(const QString& title) override;
    int openWithApplication(const QString& file) override;
    int printPicture(const QString& file) override;
    bool openLink(const QString& link) override;
    void showInFileManager(const QString& file) override;
    int moveToTrash(const QString& fileList) override;
    int copyFile(const QString& source, const QString& target, QString& errorText) override;
    Registry& registry() override { return m_registry; }

private:
    LinuxRegistry m_registry;
    QStringList m_arguments;
    bool m_busy = false;
    std::unique_ptr<QTranslator> m_translator;
};

// Joins program arguments the way a Windows command line carries them: separated by blanks,
// an argument that contains a blank enclosed in double quotes.
QString joinArguments(const QStringList& arguments);
