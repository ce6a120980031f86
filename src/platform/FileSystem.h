// File-system access shared by the Linux platform and the scripted test platform: folder
// listings with hidden entries left out, and paths resolved without regard to case.
#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QString>

namespace FileSystem {

// See Platform::resolvePath.
QString resolvePath(const QString& path);

// See Platform::listFolder. Symbolic links count as what they point to.
FolderEntries listFolder(const QString& folder, bool sortByName = true);

// See Platform::readFile.
bool readFile(const QString& path, QByteArray& content);

// Identity of a folder (device and inode), used to notice links that lead back into a folder
// already visited; false when the folder cannot be examined.
struct FolderId {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FolderId&) const = default;
};
bool folderId(const QString& folder, FolderId& id);

}  // namespace FileSystem
