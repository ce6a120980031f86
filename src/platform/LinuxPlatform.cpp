// Linux implementation of the platform: Qt dialogs and screens, XDG folders, readdir listings.
#include "platform/LinuxPlatform.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <cstdio>
#include <unistd.h>

LinuxPlatform::LinuxPlatform(const QStringList& arguments)
    : m_arguments(absoluteArguments(arguments))
{
}

QStringList LinuxPlatform::absoluteArguments(const QStringList& arguments)
{
    const QString folder = FileSystem::workingFolder();
    QStringList absolute;
    for (const QString& a : arguments)
        absolute.append(FileSystem::absolutePath(a, folder));
    return absolute;
}

QStringList programArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(FileSystem::fromNative(argv[i]));
    return arguments;
}

LinuxPlatform::~LinuxPlatform()
{
    setUiLanguage(QStringLiteral("en"));
}

void LinuxPlatform::setUiLanguage(const QString& language)
{
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator.get());
        m_translator.reset();
    }
    if (language == u"en")
        return;  // the toolkit's own texts are English
    // The toolkit's translations as the distribution installs them (Debian: qt6-translations-l10n).
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get()))
        m_translator = std::move(translator);
}

int LinuxPlatform::messageBox(const MessageBoxRequest& request)
{
    QMessageBox box;
    box.setWindowTitle(request.title);
    // Names read as text, and a very long one shortened in its middle, so the box stays readable.
    box.setText(TextEncoding::forDisplay(request.text));
    switch (request.icon) {
    case MsgBox::Kritisch: box.setIcon(QMessageBox::Critical); break;
    case MsgBox::Frage: box.setIcon(QMessageBox::Question); break;
    case MsgBox::Ausrufezeichen: box.setIcon(QMessageBox::Warning); break;
    case MsgBox::Information: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    // Buttons in their classic order, with their answers.
    std::vector<std::pair<QMessageBox::StandardButton, int>> buttons;
    switch (request.buttons) {
    case MsgBox::OkAbbrechen:
        buttons = {{QMessageBox::Ok, MsgBox::Ok}, {QMessageBox::Cancel, MsgBox::Abbrechen}};
        break;
    case MsgBox::JaNeinAbbrechen:
        buttons = {{QMessageBox::Yes, MsgBox::Ja}, {QMessageBox::No, MsgBox::Nein}, {QMessageBox::Cancel, MsgBox::Abbrechen}};
        break;
    case MsgBox::JaNein:
        buttons = {{QMessageBox::Yes, MsgBox::Ja}, {QMessageBox::No, MsgBox::Nein}};
        break;
    default:
        buttons = {{QMessageBox::Ok, MsgBox::Ok}};
        break;
    }
    for (const auto& b : buttons)
        box.addButton(b.first);
    const size_t defaultIndex = static_cast<size_t>(request.defaultButton / MsgBox::StandardKnopf2);
    if (defaultIndex < buttons.size())
        box.setDefaultButton(buttons[defaultIndex].first);
    if (request.buttons == MsgBox::OkNur || request.buttons == MsgBox::JaNeinAbbrechen || request.buttons == MsgBox::OkAbbrechen)
        box.setEscapeButton(buttons.back().first);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& b : buttons)
        if (b.first == clicked)
            return b.second;
    // Closed without a button (only possible where an escape button exists).
    return buttons.back().second;
}

void LinuxPlatform::execModal(QDialog& dialog)
{
    dialog.exec();
}

quint16 LinuxPlatform::shiftKeyStateAtStart()
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier) ? 0x8001 : 0;
}

QSize LinuxPlatform::screenSizePixels()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

int LinuxPlatform::logicalDpiX()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchX()) : 96;
}

int LinuxPlatform::logicalDpiY()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

double LinuxPlatform::devicePixelRatio()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

QString LinuxPlatform::applicationDataFolder()
{
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (folder.isEmpty() || !folder.startsWith(u'/'))  // relative values are invalid by the XDG rules
        folder = QDir::homePath() + QStringLiteral("/.config");
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder == u"/" ? QString() : folder;
}

QString LinuxPlatform::programFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

QStringList LinuxPlatform::arguments()
{
    return m_arguments;
}

FolderEntries LinuxPlatform::listFolder(const QString& folder, Order order)
{
    return FileSystem::listFolder(folder, order == Order::ByName);
}

bool LinuxPlatform::readFile(const QString& path, qint64 limit, QByteArray& content, Refusal* refusal)
{
    return FileSystem::readFile(path, limit, content, refusal);
}

QString LinuxPlatform::chooseOpenFile(const QString& title, const QString& filter)
{
    QFileDialog dialog(nullptr, title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void LinuxPlatform::processEvents()
{
    QCoreApplication::processEvents();
}

void LinuxPlatform::setBusyPointer(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void LinuxPlatform::endProgram()
{
    // At once and without saving anything: no window gets a chance to run more code.
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(0);
}
