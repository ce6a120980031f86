// Parsing of argument strings (blank-separated, optionally quoted picture names) and of
// slide-list (.flf) files; pure functions without side effects.
#pragma once

#include <QString>
#include <QStringList>

namespace Argumente {

// Joins program arguments the way a Windows command line carries them: separated by blanks,
// an argument that contains a blank enclosed in double quotes.
QString Verbinden(const QStringList& argumente);

// The argument string names a slide-list file: the first ".flf" (any case) ends the string or is
// followed by one more character. A string of three or four characters without ".flf" counts too.
bool IstFotolaufDatei(const QString& argumente);

// The names of a blank-separated argument string; a quoted name may contain blanks. Empty names
// (two blanks in a row, a trailing blank) are kept, as they are reported like other bad names.
QStringList NamenZerlegen(const QString& argumente);

// The fields of a slide-list file's text: a field ends at a comma or a line end; leading blanks
// are skipped; a field in double quotes runs to the closing quote and may contain commas. Empty
// lines give empty fields; a final line break does not start another field.
QStringList FotolaufDateiFelder(const QString& text);

}  // namespace Argumente
