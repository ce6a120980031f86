// The three registry operations of the file-type association, over the platform's registry.
// Their results are not looked at: what cannot be written or read is passed over.
#pragma once

#include "platform/Registry.h"

#include <QStringList>

class Platform;

void RegSchreibeText(Platform& platform, RegistryRoot root, const QString& schluessel, const QString& wertname, const QString& text);
void RegLoescheWert(Platform& platform, RegistryRoot root, const QString& schluessel, const QString& wertname);
// Appends the names of the key's values to the collection, up to the first that cannot be read.
void RegListeWerte(Platform& platform, RegistryRoot root, const QString& schluessel, QStringList& sammlung);
