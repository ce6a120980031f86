// The registry keys of the file-type association translated onto the freedesktop mechanisms:
// an application's open command becomes a per-user desktop entry, an extension's "Application"
// the default for its MIME types in mimeapps.list, and the installer's folder list answers the
// help folders of the program's installations. Keys without a counterpart are not found.
#pragma once

#include "platform/Registry.h"

#include <QStringList>

class LinuxRegistry : public Registry {
public:
    // installations: folders that may hold an installed program. Empty: the running program's
    // folder and the folder of the program that the PATH finds.
    explicit LinuxRegistry(QStringList installations = {});

    bool setText(RegistryRoot root, const QString& key, const QString& name, const QString& text) override;
    bool deleteValue(RegistryRoot root, const QString& key, const QString& name) override;
    bool valueName(RegistryRoot root, const QString& key, int index, QString& name) override;
    QList<Refusal> takeRefusals() override;

    // The MIME types that stand for a file extension (without the dot, any case); empty for
    // extensions the viewer does not register.
    static QStringList mimeTypesOf(const QString& extension);
    // The Exec line of a desktop entry for a command written the Windows way: the program and
    // its arguments, each in double quotes where it holds blanks; "%1" stands for the opened files.
    static QString execLine(const QString& command);

private:
    QStringList installationFolders() const;
    // Notes a refusal for takeRefusals; true when there was none.
    bool angenommen(const Refusal& grund);
    QStringList m_installations;
    QList<Refusal> m_refusals;
};
