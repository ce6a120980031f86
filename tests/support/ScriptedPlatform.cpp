#include "support/ScriptedPlatform.h"

#include "platform/FileSystem.h"
#include "platform/LinuxShell.h"
#include "platform/Trash.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPointer>

QStringList ScriptedPlatform::messageTexts() const
{
    QStringList texts;
    for (const auto& m : messages)
        texts.append(m.text);
    return texts;
}

int ScriptedPlatform::messageBox(const MessageBoxRequest& request)
{
    messages.push_back(request);
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    const bool second = request.defaultButton == MsgBox::StandardKnopf2;
    switch (request.buttons) {
    case MsgBox::JaNein:
    case MsgBox::JaNeinAbbrechen:
        return second ? MsgBox::Nein : MsgBox::Ja;
    case MsgBox::OkAbbrechen:
        return second ? MsgBox::Abbrechen : MsgBox::Ok;
    default:
        return MsgBox::Ok;
    }
}

void ScriptedPlatform::execModal(QDialog& dialog)
{
    ++modalDialogs;
    // The dialog may unload itself (and be deleted) while the test drives it.
    QPointer<QDialog> offen(&dialog);
    dialog.show();
    if (onModal)
        onModal(dialog);
    if (offen && offen->isVisible())
        offen->hide();
}

FolderEntries ScriptedPlatform::listFolder(const QString& folder, Order order)
{
    return FileSystem::listFolder(folder, order == Order::ByName);
}

QStringList ScriptedPlatform::arguments()
{
    QStringList absolut;
    for (const QString& a : givenArguments)
        absolut.append(FileSystem::absolutePath(a, workingFolder));
    return absolut;
}

bool ScriptedPlatform::readFile(const QString& path, qint64 limit, QByteArray& content, Refusal* refusal)
{
    return FileSystem::readFile(path, limit, content, refusal);
}

QString ScriptedPlatform::chooseOpenFile(const QString& title, const QString& filter)
{
    fileDialogs.append(title + u'|' + filter);
    if (chosenFiles.empty())
        return QString();
    const QString f = chosenFiles.front();
    chosenFiles.pop_front();
    return f;
}

void ScriptedPlatform::processEvents()
{
    ++processEventsCalls;
    if (onProcessEvents)
        onProcessEvents();
    QCoreApplication::processEvents();
}

int ScriptedPlatform::execPopupMenu(QMenu& menu)
{
    QStringList captions;
    QAction* gewaehlt = nullptr;
    const QString wahl = menuPicks.empty() ? QString() : menuPicks.front();
    if (!menuPicks.empty())
        menuPicks.pop_front();
    for (QAction* a : menu.actions()) {
        if (a->menu()) {
            for (QAction* u : a->menu()->actions()) {
                captions.append(a->text() + u'>' + u->text());
                if (!wahl.isEmpty() && captions.constLast() == wahl && u->isEnabled())
                    gewaehlt = u;
            }
            continue;
        }
        captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        if (!wahl.isEmpty() && a->text() == wahl && a->isEnabled() && !a->isSeparator())
            gewaehlt = a;
    }
    popupMenus.push_back(captions);
    return gewaehlt ? gewaehlt->data().toInt() : 0;
}

QString ScriptedPlatform::chooseFolder(const QString& title)
{
    folderDialogs.append(title);
    if (chosenFolders.empty())
        return QString();
    const QString f = chosenFolders.front();
    chosenFolders.pop_front();
    return f;
}

int ScriptedPlatform::naechstesShellErgebnis()
{
    if (shellResults.empty())
        return 42;
    const int r = shellResults.front();
    shellResults.pop_front();
    return r;
}

int ScriptedPlatform::openWithApplication(const QString& file)
{
    shellRequests.push_back({QStringLiteral("open"), file});
    return naechstesShellErgebnis();
}

int ScriptedPlatform::printPicture(const QString& file)
{
    shellRequests.push_back({QStringLiteral("print"), file});
    return naechstesShellErgebnis();
}

bool ScriptedPlatform::openLink(const QString& link)
{
    shellRequests.push_back({QStringLiteral("link"), link});
    return true;
}

void ScriptedPlatform::showInFileManager(const QString& file)
{
    shellRequests.push_back({QStringLiteral("show"), file});
}

int ScriptedPlatform::moveToTrash(const QStringList& files, Refusal* refusal)
{
    trashRequests.push_back(files);
    int ergebnis = 0;
    for (const QString& pfad : files) {
        Refusal grund;
        if (trashFailures.contains(pfad))
            grund = Refusal::of(Refusal::Kind::WriteProtected, pfad);
        else if (!trashFolder.isEmpty())
            grund = Trash::moveToTrash(pfad, trashFolder);
        if (!grund.refused())
            continue;
        ergebnis = Trash::resultCode(grund);
        if (refusal)
            *refusal = grund;
    }
    return ergebnis;
}

int ScriptedPlatform::copyFile(const QString& source, const QString& target, QString& errorText)
{
    int nummer = 75;
    if (copyFailures.contains(source))
        errorText = QStringLiteral("Path/File access error");
    else if (copiesAreReal)
        nummer = LinuxShell::copyWithoutReplacing(source, target, errorText);
    else
        nummer = 0;
    copies.push_back({source, target, nummer});
    return nummer;
}
