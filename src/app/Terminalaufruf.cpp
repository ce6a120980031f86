#include "app/Terminalaufruf.h"

#ifndef FOTOLAUF_VERSION
#define FOTOLAUF_VERSION "unknown"
#endif

namespace Terminalaufruf {

std::optional<QString> Antwort(const QStringList& argumente)
{
    if (argumente.contains(QStringLiteral("--help")))
        return QStringLiteral(
            "Usage: fotolauf [PICTURE...]\n"
            "       fotolauf SLIDE-LIST.flf\n"
            "Shows BMP, CUR, DIB, EMF, GIF, ICO, JPG and WMF pictures full screen, one at a time.\n"
            "\n"
            "  PICTURE...      one picture: asks whether to show the other pictures of its folder\n"
            "                  (with or without sub-folders); several: exactly these, by name\n"
            "  SLIDE-LIST.flf  the pictures named in the file, one path per line, in its order\n"
            "  (nothing)       opens the container into which pictures are dragged\n"
            "  --help          shows this text\n"
            "  --version       shows the version\n"
            "\n"
            "Keys: F3/F2 next/previous picture, F5 picture list, F6/F7 start/stop the show,\n"
            "F10 settings, right click key help, Alt+F4 end. See fotolauf(1).\n");
    if (argumente.contains(QStringLiteral("--version")))
        return QStringLiteral("TESSRIN Fotolauf " FOTOLAUF_VERSION "\n");
    return std::nullopt;
}

QString Anzeigesystem(const QString& gewaehlt, const QString& sitzung, const QString& desktop, bool waylandPlugin)
{
    if (!gewaehlt.isEmpty() || sitzung != u"wayland")
        return QString();
    // The toolkit itself keeps GNOME on X11 (with a note in the terminal); so do we, without it.
    if (desktop.contains(QStringLiteral("gnome"), Qt::CaseInsensitive) || !waylandPlugin)
        return QStringLiteral("xcb");
    return QStringLiteral("wayland;xcb");
}

}  // namespace Terminalaufruf
