// A registry for tests: records every write and delete in order and answers value names as the
// test sets them.
#pragma once

#include "platform/Registry.h"

#include <QStringList>

#include <map>
#include <vector>

class ScriptedRegistry : public Registry {
public:
    struct Aenderung {
        RegistryRoot root;
        QString key;
        QString name;
        QString text;  // "(deleted)" for a deleted value
        bool operator==(const Aenderung&) const = default;
    };
    std::vector<Aenderung> changes;
    // The value names each key answers, by root and key.
    std::map<std::pair<RegistryRoot, QString>, QStringList> names;

    bool setText(RegistryRoot root, const QString& key, const QString& name, const QString& text) override
    {
        changes.push_back({root, key, name, text});
        return true;
    }
    bool deleteValue(RegistryRoot root, const QString& key, const QString& name) override
    {
        changes.push_back({root, key, name, QStringLiteral("(deleted)")});
        return true;
    }
    bool valueName(RegistryRoot root, const QString& key, int index, QString& name) override
    {
        const auto it = names.find({root, key});
        if (it == names.end() || index < 0 || index >= it->second.size())
            return false;
        name = it->second[index];
        return true;
    }
};
