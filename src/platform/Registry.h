// The settings store the file-type association writes to: keys below three roots, each key holding
// named text values. On Linux the few keys that matter are translated onto the desktop's own
// mechanisms (desktop entries, mimeapps.list); a scripted store answers in the tests.
#pragma once

#include "platform/Refusal.h"

#include <QList>
#include <QString>

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

class Registry {
public:
    virtual ~Registry() = default;

    // Creates the key if needed and sets the named text value (an empty name is the key's default
    // value); false when it could not be written.
    virtual bool setText(RegistryRoot root, const QString& key, const QString& name, const QString& text) = 0;

    // Deletes the named value of the key; false when the key or the value could not be found or
    // changed.
    virtual bool deleteValue(RegistryRoot root, const QString& key, const QString& name) = 0;

    // The name of the key's value with the given index (0, 1, 2, …); false when there is none at
    // that index or the key cannot be opened.
    virtual bool valueName(RegistryRoot root, const QString& key, int index, QString& name) = 0;

    // Why writes and deletes since the last call were refused by the store itself (a file of the
    // desktop too large to read, write-protected, …), each reason once; forgotten afterwards.
    // Keys the store has no place for are no refusal.
    virtual QList<Refusal> takeRefusals() { return {}; }
};
