// The texts of the shell's open errors and the message shown when a file cannot be opened; the
// list window's open action and the help menu share them.
#pragma once

#include <QString>

class Programm;

// The English text of an error code of the shell's open operation.
QString ShellFehlertext(int code);

// The message for a file that could not be opened: error text and number, the file, and how to
// choose an application for the named file type.
QString OeffnenFehlermeldung(const Programm& p, int code, const QString& datei, const QString& dateityp);
