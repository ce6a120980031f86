// The folder chooser of the program: the platform's folder dialog, answering a local folder or "".
#pragma once

#include <QString>

class Platform;

// The chosen folder's full path; "" when the user cancels or the choice is not a local folder.
QString OrdnerWaehlen(Platform& platform, const QString& Titel);
