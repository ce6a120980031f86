// Pictures the desktop hands to the viewer that it does not show. The association of a file type
// covers every name of that type (image/jpeg also takes .jpeg and .jpe), but the viewer shows
// only the eight three-letter types; such files go on to the application the desktop would
// choose if the viewer were not there, instead of ending in the viewer's refusal.
#pragma once

#include <QStringList>

namespace Weitergabe {

// The desktop entry file that opens files of the MIME type when the entry `eigene` (a desktop id)
// is left out: the first one of the mimeapps.list defaults and added associations, in the
// freedesktop order of folders, then of the installed entries' cache; "" when there is none.
QString NaechsteAnwendung(const QString& mimeTyp, const QString& eigene);

// The desktop entry the files go to: every one is a file of a type the viewer is associated with
// but of a name the viewer does not show, and another application takes that type; "" otherwise.
QString Ziel(const QStringList& dateien);

// Starts that application with the files (through gio); true when it was started.
bool Weiterreichen(const QStringList& dateien);

}  // namespace Weitergabe
