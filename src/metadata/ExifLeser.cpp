#include "metadata/ExifLeser.h"

#include <algorithm>

bool ExifLeser::intelMarke(QByteArrayView daten, qint64 pos)
{
    return pos >= 0 && pos + 2 <= daten.size() && daten.sliced(pos, 2) == QByteArrayView("II");
}

bool ExifLeser::zahl(qint64 pos, int n, quint64& wert) const
{
    if (!innerhalb(pos, n))
        return false;
    wert = 0;
    for (int k = 0; k < n; ++k) {
        const qint64 q = m_intel ? pos + n - 1 - k : pos + k;
        wert = (wert << 8) | static_cast<quint8>(m_daten[q]);
    }
    return true;
}

bool ExifLeser::vorzeichenZahl(qint64 pos, int n, qint64& wert) const
{
    quint64 v = 0;
    if (!zahl(pos, n, v))
        return false;
    if (n < 8 && v >= (quint64(1) << (8 * n - 1)))
        wert = static_cast<qint64>(v) - (qint64(1) << (8 * n));
    else
        wert = static_cast<qint64>(v);
    return true;
}

QByteArray ExifLeser::bytes(qint64 pos, qint64 n) const
{
    if (pos < 0 || pos >= groesse() || n <= 0)
        return {};
    return m_daten.sliced(pos, std::min(n, groesse() - pos)).toByteArray();
}

bool ExifLeser::eintrag(qint64 pos, Eintrag& e) const
{
    return zahl(pos, 2, e.id) && zahl(pos + 2, 2, e.format) && zahl(pos + 4, 4, e.components) && zahl(pos + 8, 4, e.value);
}
