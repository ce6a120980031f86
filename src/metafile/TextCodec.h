// Text of metafile records: 8-bit strings decoded by the code page that the font's character
// set names, and the Symbol font's private code points turned into the characters they show.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace metafile {

enum { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2 };

QString decodeCharset(QByteArrayView bytes, int charset, bool symbolFace);
// Symbol-font text recorded as UTF-16 (often U+F020..U+F0FF) shown with a Unicode font.
QString mapSymbolText(const QString& text);
bool isSymbolFace(const QString& face);

}  // namespace metafile
