#include "lists/Argumente.h"

namespace Argumente {

QString Verbinden(const QStringList& argumente)
{
    QStringList teile;
    for (const QString& a : argumente)
        teile.append(a.contains(u' ') ? u'"' + a + u'"' : a);
    return teile.join(u' ');
}

bool IstFotolaufDatei(const QString& argumente)
{
    const qsizetype p = argumente.indexOf(QStringLiteral(".flf"), 0, Qt::CaseInsensitive) + 1;  // 1-based, 0 = none
    const qsizetype laenge = argumente.size();
    return p == laenge - 3 || p == laenge - 4;
}

QStringList NamenZerlegen(const QString& s)
{
    // Positions are 1-based as in the classic string functions; instr() gives 0 when not found.
    auto instr = [&s](qsizetype start, QChar c) -> qsizetype {
        if (start > s.size())
            return 0;
        return s.indexOf(c, start - 1) + 1;
    };
    auto mid = [&s](qsizetype start, qsizetype laenge = -1) { return s.mid(start - 1, laenge); };

    QStringList namen;
    qsizetype pos = 1;
    for (;;) {
        const qsizetype b = instr(pos, u' ');
        if (b == 0) {
            namen.append(mid(pos));
            break;
        }
        const qsizetype q1 = instr(pos, u'"');
        const qsizetype q2 = instr(b, u'"');
        if (q1 < b && q2 != 0) {
            namen.append(mid(q1 + 1, q2 - q1 - 1));
            pos = q2 + 1;
            if (pos > s.size())
                break;
            pos = pos + 1;
        } else {
            namen.append(mid(pos, b - pos));
            pos = b + 1;
        }
    }
    return namen;
}

QStringList FotolaufDateiFelder(const QString& t)
{
    auto istZeilenende = [](QChar c) { return c == u'\r' || c == u'\n'; };
    auto istLeer = [](QChar c) { return c == u' ' || c == u'\t'; };
    QStringList felder;
    const qsizetype n = t.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && istLeer(t[i]))
            ++i;
        QString feld;
        if (i < n && t[i] == u'"') {
            qsizetype j = i + 1;
            while (j < n && t[j] != u'"' && !istZeilenende(t[j]))
                ++j;
            feld = t.mid(i + 1, j - i - 1);
            i = j;
            if (i < n && t[i] == u'"')
                ++i;
            // Whatever follows the closing quote up to the delimiter is not part of the field.
            while (i < n && t[i] != u',' && !istZeilenende(t[i]))
                ++i;
        } else {
            qsizetype j = i;
            while (j < n && t[j] != u',' && !istZeilenende(t[j]))
                ++j;
            qsizetype ende = j;
            while (ende > i && istLeer(t[ende - 1]))
                --ende;
            feld = t.mid(i, ende - i);
            i = j;
        }
        felder.append(feld);
        if (i < n && t[i] == u',') {
            ++i;
        } else if (i < n && t[i] == u'\r') {
            ++i;
            if (i < n && t[i] == u'\n')
                ++i;
        } else if (i < n && t[i] == u'\n') {
            ++i;
        }
    }
    return felder;
}

}  // namespace Argumente
