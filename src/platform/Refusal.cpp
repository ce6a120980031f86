#include "platform/Refusal.h"

#include <QtGlobal>

namespace {

QString groesse(qint64 bytes)
{
    constexpr qint64 kMiB = 1LL << 20;
    if (bytes >= kMiB && bytes % kMiB == 0)
        return QStringLiteral("%1 MiB").arg(bytes / kMiB);
    return QStringLiteral("%1 bytes").arg(bytes);
}

}  // namespace

QString Refusal::text() const
{
    QString grund;
    switch (kind) {
    case Kind::None: return {};
    case Kind::Missing: grund = QStringLiteral("File not found"); break;
    case Kind::NotRegular: grund = QStringLiteral("Not a regular file"); break;
    case Kind::TooLarge: grund = QStringLiteral("File too large (more than %1)").arg(groesse(limit)); break;
    case Kind::WriteProtected: grund = QStringLiteral("Write-protected"); break;
    case Kind::OwnerNotKept: grund = QStringLiteral("The file's owner cannot be kept"); break;
    case Kind::NoTrash: grund = QStringLiteral("No usable trash for the file's file system"); break;
    case Kind::TrashNamesUsed: grund = QStringLiteral("Every name for the file in the trash is taken"); break;
    case Kind::Failed: return qt_error_string(error);
    }
    if (error != 0 && kind != Kind::Missing)
        grund += QStringLiteral(" (") + qt_error_string(error) + u')';
    return grund;
}
