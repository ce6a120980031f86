#include "platform/ByteTable.h"

#include <algorithm>
#include <vector>

namespace {

// The source pixels one target pixel covers along one direction. Lengths are counted in units of
// 1/target of a source pixel, so that every share is a whole number: a source pixel is `ziel`
// units long, a target pixel `quelle` units.
struct Spanne {
    int erstes = 0;
    std::vector<quint32> anteile;
};

std::vector<Spanne> spannen(int quelle, int ziel)
{
    std::vector<Spanne> s(static_cast<size_t>(ziel));
    for (int j = 0; j < ziel; ++j) {
        const qint64 anfang = qint64(j) * quelle, ende = anfang + quelle;
        Spanne& sp = s[size_t(j)];
        sp.erstes = int(anfang / ziel);
        for (qint64 i = sp.erstes; i * ziel < ende; ++i)
            sp.anteile.push_back(quint32(std::min(ende, (i + 1) * ziel) - std::max(anfang, i * ziel)));
    }
    return s;
}

// Byte offsets of red, green and blue in a source pixel of the given size.
template <int Bytes, int R, int G, int B>
void verkleinern(const QImage& quelle, QImage& ziel, const ByteTable& tabelle)
{
    const int zb = ziel.width(), zh = ziel.height();
    const std::vector<Spanne> spalten = spannen(quelle.width(), zb), zeilen = spannen(quelle.height(), zh);
    const quint64 flaeche = quint64(quelle.width()) * quint64(quelle.height());
    const std::uint8_t* t = tabelle.data();
    std::vector<quint32> waagrechtSpeicher(size_t(zb) * 3);
    std::vector<quint64> summeSpeicher(size_t(zb) * 3);
    quint32* const waagrecht = waagrechtSpeicher.data();
    quint64* const summe = summeSpeicher.data();
    const size_t n = summeSpeicher.size();
    for (int y = 0; y < zh; ++y) {
        std::fill_n(summe, n, 0);
        const Spanne& zeile = zeilen[size_t(y)];
        for (size_t k = 0; k < zeile.anteile.size(); ++k) {
            // Each source row once: its colours through the table, summed over each target column.
            const uchar* q = quelle.constScanLine(zeile.erstes + int(k));
            quint32* w = waagrecht;
            for (const Spanne& spalte : spalten) {
                const uchar* p = q + qsizetype(spalte.erstes) * Bytes;
                quint32 r = 0, g = 0, b = 0;
                for (const quint32* a = spalte.anteile.data(), *ende = a + spalte.anteile.size(); a != ende; ++a, p += Bytes) {
                    r += *a * t[p[R]];
                    g += *a * t[p[G]];
                    b += *a * t[p[B]];
                }
                *w++ = r;
                *w++ = g;
                *w++ = b;
            }
            const quint64 anteil = zeile.anteile[k];
            for (size_t i = 0; i < n; ++i)
                summe[i] += anteil * waagrecht[i];
        }
        uchar* z = ziel.scanLine(y);
        for (size_t i = 0; i < n; ++i)
            z[i] = uchar((summe[i] + flaeche / 2) / flaeche);
    }
}

}  // namespace

namespace ByteTables {

const ByteTable& identity()
{
    static const ByteTable table = [] {
        ByteTable t{};
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = std::uint8_t(i);
        return t;
    }();
    return table;
}

void map(const uchar* from, uchar* to, qsizetype count, const ByteTable& table)
{
    for (qsizetype i = 0; i < count; ++i)
        to[i] = table[from[i]];
}

bool mapColours(QImage& image, const ByteTable& table)
{
    if (image.isNull())
        return false;
    if (image.format() == QImage::Format_RGB888) {
        const qsizetype zeile = qsizetype(image.width()) * 3;
        const int hoehe = image.height();
        for (int y = 0; y < hoehe; ++y) {
            uchar* z = image.scanLine(y);
            map(z, z, zeile, table);
        }
        return true;
    }
    if (image.format() != QImage::Format_RGB32)
        return false;
    const int breite = image.width(), hoehe = image.height();
    for (int y = 0; y < hoehe; ++y) {
        auto* z = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (QRgb* ende = z + breite; z != ende; ++z) {
            const QRgb p = *z;
            *z = 0xff000000u | QRgb(table[(p >> 16) & 0xff]) << 16 | QRgb(table[(p >> 8) & 0xff]) << 8 | table[p & 0xff];
        }
    }
    return true;
}

bool mapWhileReducing(const QImage& source, QImage& target, const ByteTable& table)
{
    if (source.isNull() || target.isNull() || target.format() != QImage::Format_RGB888 ||
        target.width() > source.width() || target.height() > source.height())
        return false;
    if (source.format() == QImage::Format_RGB888)
        verkleinern<3, 0, 1, 2>(source, target, table);
    else if (source.format() == QImage::Format_RGB32 && QSysInfo::ByteOrder == QSysInfo::LittleEndian)
        verkleinern<4, 2, 1, 0>(source, target, table);
    else if (source.format() == QImage::Format_RGB32)
        verkleinern<4, 1, 2, 3>(source, target, table);
    else
        return false;
    return true;
}

}  // namespace ByteTables
