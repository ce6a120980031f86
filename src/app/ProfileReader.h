// Reading of Windows-style private profile (ini) files with the Windows rules: section and key
// names compared without regard to case, the first matching section and key win, the value is
// trimmed and loses one pair of surrounding quotes, and at most size - 1 characters are returned.
#pragma once

#include <QString>

namespace ProfileReader {

// The value of key in section of the already read file text; fallback when either is absent.
QString value(const QString& fileText, const QString& section, const QString& key, const QString& fallback,
              int bufferSize);

}  // namespace ProfileReader
