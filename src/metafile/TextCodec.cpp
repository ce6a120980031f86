// Character-set decoding for metafile text.
#include "TextCodec.h"

#include <QStringDecoder>

namespace metafile {

namespace {

const char* codecName(int charset)
{
    switch (charset) {
    case 77: return "macintosh";
    case 128: return "Shift_JIS";
    case 129: return "windows-949";
    case 130: return "windows-1361";
    case 134: return "GBK";
    case 136: return "Big5";
    case 161: return "windows-1253";
    case 162: return "windows-1254";
    case 163: return "windows-1258";
    case 177: return "windows-1255";
    case 178: return "windows-1256";
    case 186: return "windows-1257";
    case 204: return "windows-1251";
    case 222: return "windows-874";
    case 238: return "windows-1250";
    case 255: return "IBM437";
    default: return "windows-1252";
    }
}

// The Symbol font's layout above 0x20: Greek letters on the Latin keys and mathematical signs.
// 0 keeps the byte's own Latin-1 meaning.
constexpr char16_t kSymbol[224] = {
    0, 0, 0x2200, 0, 0x2203, 0, 0, 0x220B, 0, 0, 0x2217, 0, 0, 0x2212, 0, 0,           // 20
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                                    // 30
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0, 0x2234, 0, 0x22A5, 0,
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0, 0, 0, 0x223C, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                                    // 80
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                                    // 90
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,
    0, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,
};

QChar symbolChar(uint code)
{
    if (code >= 0x20 && code <= 0xFF && kSymbol[code - 0x20] != 0)
        return QChar(kSymbol[code - 0x20]);
    return QChar(char16_t(code));
}

}  // namespace

bool isSymbolFace(const QString& face)
{
    return face.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
}

QString decodeCharset(QByteArrayView bytes, int charset, bool symbolFace)
{
    if (charset == SYMBOL_CHARSET || symbolFace) {
        QString text;
        text.reserve(bytes.size());
        for (char c : bytes)
            text.append(symbolFace ? symbolChar(uchar(c)) : QChar(char16_t(uchar(c))));
        return text;
    }
    QStringDecoder decoder(codecName(charset));
    if (!decoder.isValid())
        return QString::fromLatin1(bytes.data(), bytes.size());
    return decoder.decode(bytes);
}

QString mapSymbolText(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        uint code = c.unicode();
        if (code >= 0xF020 && code <= 0xF0FF)
            code -= 0xF000;
        if (code >= 0x20 && code <= 0xFF)
            c = symbolChar(code);
    }
    return out;
}

}  // namespace metafile
