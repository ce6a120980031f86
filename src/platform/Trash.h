// The freedesktop trash: files are moved into it, never erased or copied. Made here rather than
// taken from the toolkit, because the toolkit's trash neither makes a missing trash folder on a
// new account nor keeps names that are not UTF-8.
#pragma once

#include <QString>

namespace Trash {

// The user's home trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
QString homeTrash();

// Moves the file (exactly as named; a link is moved, not what it points to) into the trash: the
// home trash when it lies on the same file system, otherwise the trash at the top of the file
// system that holds the file. Missing trash folders are made with the modes the trash layout asks
// for. Returns 0 when the file now lies in the trash, 2 when it does not exist, 5 when it is a
// folder, write-protected, or could not be moved into a trash (it then stays where it was).
int moveToTrash(const QString& path, const QString& homeTrashFolder);

}  // namespace Trash
