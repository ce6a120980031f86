// What the program answers in the terminal, before any window opens: --help and --version.
// Every other argument is a picture or slide-list name for the viewer.
#pragma once

#include <QStringList>

#include <optional>

namespace Terminalaufruf {

// The text to print for the program's arguments (without the program name), or nothing when they
// start the viewer.
std::optional<QString> Antwort(const QStringList& argumente);

// The platform plugin the viewer asks for when the user named none: Wayland on a Wayland session
// where the toolkit's Wayland plugin is installed, X11 otherwise, so that a missing plugin is not
// reported in the terminal. Empty: leave the choice to the toolkit.
QString Anzeigesystem(const QString& gewaehlt, const QString& sitzung, const QString& desktop, bool waylandPlugin);

}  // namespace Terminalaufruf
