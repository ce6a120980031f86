// The platform as the program uses it on a Linux desktop (X11 or Wayland through Qt).
#pragma once

#include "platform/LinuxRegistry.h"
#include "platform/Platform.h"

#include <memory>

class QTranslator;

class LinuxPlatform : public Platform {
public:
    // arguments: as the program got them (relative names are made absolute here).
    explicit LinuxPlatform(const QStringList& arguments);
    ~LinuxPlatform() override;
    // The arguments as arguments() gives them: relative names made absolute against the working
    // folder.
    static QStringList absoluteArguments(const QStringList& arguments);

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
    QStringList arguments() override;
    FolderEntries listFolder(const QString& folder, Order order = Order::ByName) override;
    bool readFile(const QString& path, qint64 limit, QByteArray& content, Refusal* refusal = nullptr) override;
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
    int moveToTrash(const QStringList& files, Refusal* refusal = nullptr) override;
    int copyFile(const QString& source, const QString& target, QString& errorText) override;
    Registry& registry() override { return m_registry; }

private:
    LinuxRegistry m_registry;
    QStringList m_arguments;
    bool m_busy = false;
    std::unique_ptr<QTranslator> m_translator;
};

// The arguments of main() after the toolkit took its own, converted byte for byte.
QStringList programArguments(int argc, char* argv[]);
