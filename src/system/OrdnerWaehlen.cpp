// The folder chooser over the platform's folder dialog.
#include "system/OrdnerWaehlen.h"

#include "platform/Platform.h"

#include <QFileInfo>

QString OrdnerWaehlen(Platform& platform, const QString& Titel)
{
    const QString gewaehlt = platform.chooseFolder(Titel);
    // Only a folder of the file system can take files: a remote location or a file is no answer.
    const QFileInfo info(gewaehlt);
    if (gewaehlt.isEmpty() || !info.isAbsolute() || !info.isDir())
        return QString();
    return gewaehlt;
}
