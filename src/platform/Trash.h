// The freedesktop trash: files are moved into it, never erased or copied. Made here rather than
// taken from the toolkit, because the toolkit's trash neither makes a missing trash folder on a
// new account nor keeps names that are not UTF-8.
#pragma once

#include "platform/Refusal.h"

#include <QString>

namespace Trash {

// The user's home trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
QString homeTrash();

// Moves the file (exactly as named; a link is moved, not what it points to) into the trash: the
// home trash when it lies on the same file system, otherwise the trash at the top of the file
// system that holds the file. Missing trash folders are made with the modes the trash layout asks
// for. A name too long for the trash's bookkeeping is shortened there; the info file keeps the
// original path. Refused (the file stays where it was): Missing, NotRegular (a folder),
// WriteProtected (the file or its folder), NoTrash, TrashNamesUsed, Failed.
Refusal moveToTrash(const QString& path, const QString& homeTrashFolder);

// The classic result code of a trash refusal: 0 none, 2 missing, 5 every other.
int resultCode(const Refusal& refusal);

}  // namespace Trash
