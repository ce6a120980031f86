#include "platform/TextEncoding.h"

#include <QStringDecoder>

#include <algorithm>

namespace TextEncoding {
namespace {

// Windows-1252 in the range 0x80..0x9F; the five unassigned bytes map to the C1 controls, as
// Windows' own conversion does.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Length of the valid UTF-8 sequence at p[i] with its code point; 0 when the byte starts none.
// Overlong forms, surrogates and values beyond Unicode are not UTF-8.
int utf8Sequence(const unsigned char* p, qsizetype n, qsizetype i, char32_t& cp)
{
    const unsigned char c = p[i];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    int len;
    if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
    else return 0;
    if (i + len > n)
        return 0;
    for (int k = 1; k < len; ++k) {
        if ((p[i + k] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return 0;
    return len;
}

bool isEscape(char16_t c)
{
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

QChar windows1252(unsigned char c)
{
    return (c >= 0x80 && c < 0xA0) ? QChar(kHigh[c - 0x80]) : QChar(c);
}

}  // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    char32_t cp;
    for (qsizetype i = 0; i < bytes.size();) {
        const int len = utf8Sequence(p, bytes.size(), i, cp);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        d[i] = windows1252(c);
    }
    return out;
}

QString decodeText(QByteArrayView bytes)
{
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
            auto decoder = QStringDecoder(b0 == 0xFF ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                                          QStringDecoder::Flag::Stateless);
            return decoder(bytes.sliced(2));
        }
    }
    if (bytes.size() >= 3 && bytes.first(3) == QByteArrayView("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return fromWindows1252(bytes);
}

QString decodeFileName(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(n);
    for (qsizetype i = 0; i < n;) {
        char32_t cp = 0;
        const int len = utf8Sequence(p, n, i, cp);
        if (len == 0 || (cp >= char32_t(kEscapeBase + 0x80) && cp <= char32_t(kEscapeBase + 0xFF))) {
            // Invalid here, or a reserved code point itself: each byte is escaped on its own.
            const int k = len == 0 ? 1 : len;
            for (int j = 0; j < k; ++j)
                out.append(QChar(char16_t(kEscapeBase + p[i + j])));
            i += k;
            continue;
        }
        if (cp >= 0x10000) {
            out.append(QChar::highSurrogate(cp));
            out.append(QChar::lowSurrogate(cp));
        } else {
            out.append(QChar(char16_t(cp)));
        }
        i += len;
    }
    return out;
}

QByteArray encodeFileName(QStringView name)
{
    QByteArray out;
    out.reserve(name.size());
    qsizetype run = 0;  // start of the text not yet converted
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscape(name[i].unicode()))
            continue;
        out += name.sliced(run, i - run).toUtf8();
        out += char(name[i].unicode() - kEscapeBase);
        run = i + 1;
    }
    out += name.sliced(run).toUtf8();
    return out;
}

QString readableName(QStringView name)
{
    QString out = name.toString();
    for (QChar& c : out) {
        if (!isEscape(c.unicode()))
            continue;
        const QChar w = windows1252(static_cast<unsigned char>(c.unicode() - kEscapeBase));
        // The five bytes Windows-1252 leaves unassigned read as the replacement character.
        c = (w.unicode() >= 0x80 && w.unicode() < 0xA0) ? QChar(QChar::ReplacementCharacter) : w;
    }
    return out;
}

QString forDisplay(QStringView text, qsizetype maxLineLength)
{
    const qsizetype keep = std::max<qsizetype>(maxLineLength / 2 - 1, 1);
    QString out;
    out.reserve(std::min(text.size(), qsizetype(1) << 16));
    bool first = true;
    for (QStringView line : text.tokenize(u'\n')) {
        if (!first)
            out += u'\n';
        first = false;
        if (line.size() > maxLineLength)
            out += readableName(line.first(keep)) + QChar(0x2026) + readableName(line.last(keep));
        else
            out += readableName(line);
    }
    // A NUL would end the text early in many a widget.
    out.replace(QChar(u'\0'), QChar(QChar::ReplacementCharacter));
    return out;
}

}  // namespace TextEncoding
