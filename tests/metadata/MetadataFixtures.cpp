// Builders of EXIF and IPTC test files.
#include "MetadataFixtures.h"

namespace MetadataFixtures {

namespace {
// n in big-endian order, in the given number of bytes.
QByteArray grossEndian(quint32 n, int bytes)
{
    QByteArray b;
    for (int k = bytes - 1; k >= 0; --k)
        b += char((n >> (8 * k)) & 0xFF);
    return b;
}
}  // namespace

QByteArray Tiff::u16(quint16 v) const
{
    QByteArray b(2, 0);
    b[m_intel ? 0 : 1] = char(v & 0xFF);
    b[m_intel ? 1 : 0] = char(v >> 8);
    return b;
}

QByteArray Tiff::u32(quint32 v) const
{
    QByteArray b(4, 0);
    for (int k = 0; k < 4; ++k)
        b[m_intel ? k : 3 - k] = char((v >> (8 * k)) & 0xFF);
    return b;
}

Eintrag Tiff::ascii(quint16 tag, const QByteArray& text) const
{
    QByteArray d = text + '\0';
    return {tag, 2, quint32(d.size()), d};
}

QByteArray Tiff::exifBlock(const std::vector<Eintrag>& ifd0In, const std::vector<Eintrag>& exif) const
{
    std::vector<Eintrag> ifd0 = ifd0In;
    const quint32 ifd0Groesse = 2 + 12 * quint32(ifd0.size() + (exif.empty() ? 0 : 1)) + 4;
    const quint32 exifPos = 8 + ifd0Groesse;
    if (!exif.empty())
        ifd0.push_back(lang(34665, exifPos));
    const quint32 exifGroesse = exif.empty() ? 0 : 2 + 12 * quint32(exif.size()) + 4;
    quint32 datenPos = exifPos + exifGroesse;
    QByteArray daten;
    auto ifd = [&](const std::vector<Eintrag>& eintraege) {
        QByteArray b = u16(quint16(eintraege.size()));
        for (const Eintrag& e : eintraege) {
            b += u16(e.tag) + u16(e.format) + u32(e.components);
            if (e.rohesFeld) {
                b += u32(e.feld);
            } else if (e.data.size() > 4) {
                b += u32(datenPos + quint32(daten.size()));
                daten += e.data;
                if (daten.size() % 2)
                    daten += '\0';
            } else {
                b += e.data + QByteArray(4 - e.data.size(), '\0');
            }
        }
        return b + u32(0);
    };
    QByteArray tiff = QByteArray(m_intel ? "II" : "MM") + u16(42) + u32(8);
    tiff += ifd(ifd0);
    if (!exif.empty())
        tiff += ifd(exif);
    return QByteArray("Exif\0\0", 6) + tiff + daten;
}

QByteArray jpegMitApp1(const QByteArray& exifBlock, int vorspann)
{
    QByteArray j("\xFF\xD8", 2);
    if (vorspann > 0)
        j += QByteArray("\xFF\xFE", 2) + grossEndian(quint32(vorspann + 2), 2) + QByteArray(vorspann, 'c');
    j += QByteArray("\xFF\xE1", 2) + grossEndian(quint32(exifBlock.size() + 2), 2) + exifBlock;
    return j + QByteArray("\xFF\xD9", 2);
}

QByteArray iim(int record, int dataset, const QByteArray& wert, bool erweitert)
{
    const QByteArray kopf = QByteArray(1, char(0x1C)) + char(record) + char(dataset);
    const quint32 n = quint32(wert.size());
    return kopf + (erweitert ? QByteArray("\x80\x04", 2) + grossEndian(n, 4) : grossEndian(n, 2)) + wert;
}

QByteArray resource(quint16 id, const QByteArray& daten, const QByteArray& signatur)
{
    // An empty name, padded, before the size.
    const QByteArray b = signatur + grossEndian(id, 2) + QByteArray(2, '\0') + grossEndian(quint32(daten.size()), 4) + daten;
    return daten.size() % 2 ? b + '\0' : b;
}

QByteArray photoshop(const QByteArray& resources)
{
    return QByteArray("Photoshop 3.0\0", 14) + resources;
}

QByteArray jpegMitApp13(const std::vector<QByteArray>& payloads)
{
    QByteArray j("\xFF\xD8\xFF\xE0\x00\x04JF", 8);
    for (const QByteArray& p : payloads)
        j += QByteArray("\xFF\xED", 2) + grossEndian(quint32(p.size() + 2), 2) + p;
    return j + QByteArray("\xFF\xDA\x00\x02\xFF\xD9", 6);
}

}  // namespace MetadataFixtures
