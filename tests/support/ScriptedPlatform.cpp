#include "support/ScriptedPlatform.h"

#include "platform/FileSystem.h"

#include <QCoreApplication>
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

QString ScriptedPlatform::resolvePath(const QString& path)
{
    return FileSystem::resolvePath(path);
}

bool ScriptedPlatform::readFile(const QString& path, QByteArray& content)
{
    return FileSystem::readFile(path, content);
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
