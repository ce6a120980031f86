// Decoding of 8-bit text written on Windows: UTF-8 when the bytes are valid UTF-8, otherwise
// the Windows-1252 code page (Western European), which every byte decodes under. And the one
// conversion between file names on disk (bytes) and the names the program handles (text).
#pragma once

#include <QByteArray>
#include <QString>

namespace TextEncoding {

bool isValidUtf8(QByteArrayView bytes);
QString fromWindows1252(QByteArrayView bytes);
// UTF-16 with a byte-order mark, UTF-8 (with or without mark) when valid, else Windows-1252.
QString decodeText(QByteArrayView bytes);

// File names are bytes; most are UTF-8, but names from old archives and USB sticks are often
// Windows-1252. A byte that is not part of valid UTF-8 becomes one reserved code point
// (kEscapeBase + byte, in the private use area) and turns back into the same byte, so every name
// survives the round trip byte for byte. A name that really holds a reserved code point has its
// UTF-8 bytes escaped the same way.
constexpr char16_t kEscapeBase = 0xEF00;
QString decodeFileName(QByteArrayView bytes);
QByteArray encodeFileName(QStringView name);
// The name as a person reads it: escaped bytes shown as their Windows-1252 characters.
QString readableName(QStringView name);
// Text for a label or message: readable names, and every line longer than maxLineLength cut in
// its middle (its start and end stay visible).
QString forDisplay(QStringView text, qsizetype maxLineLength = 160);

}  // namespace TextEncoding
