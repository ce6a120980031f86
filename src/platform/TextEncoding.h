// Decoding of 8-bit text written on Windows: UTF-8 when the bytes are valid UTF-8, otherwise
// the Windows-1252 code page (Western European), which every byte decodes under.
#pragma once

#include <QByteArray>
#include <QString>

namespace TextEncoding {

bool isValidUtf8(QByteArrayView bytes);
QString fromWindows1252(QByteArrayView bytes);
// UTF-16 with a byte-order mark, UTF-8 (with or without mark) when valid, else Windows-1252.
QString decodeText(QByteArrayView bytes);

}  // namespace TextEncoding
