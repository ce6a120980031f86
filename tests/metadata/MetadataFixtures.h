// Builders of EXIF and IPTC test files: TIFF structures in either byte order, IIM datasets,
// Photoshop resource blocks and the JPEG segments that carry them.
#pragma once

#include <QByteArray>

#include <vector>

namespace MetadataFixtures {

// One IFD entry; data holds the value bytes in the file's byte order (use the helpers below).
struct Eintrag {
    quint16 tag = 0;
    quint16 format = 0;
    quint32 components = 0;
    QByteArray data;
    // When set, the value field holds this number instead of data or its offset.
    bool rohesFeld = false;
    quint32 feld = 0;
};

class Tiff {
public:
    explicit Tiff(bool intel) : m_intel(intel) {}
    QByteArray u16(quint16 v) const;
    QByteArray u32(quint32 v) const;
    QByteArray rational(quint32 z, quint32 n) const { return u32(z) + u32(n); }
    QByteArray srational(qint32 z, qint32 n) const { return u32(quint32(z)) + u32(quint32(n)); }

    Eintrag ascii(quint16 tag, const QByteArray& text) const;
    Eintrag kurz(quint16 tag, quint16 v) const { return {tag, 3, 1, u16(v) + u16(0)}; }
    Eintrag lang(quint16 tag, quint32 v) const { return {tag, 4, 1, u32(v)}; }
    Eintrag rat(quint16 tag, quint32 z, quint32 n) const { return {tag, 5, 1, rational(z, n)}; }
    Eintrag srat(quint16 tag, qint32 z, qint32 n) const { return {tag, 10, 1, srational(z, n)}; }

    // "Exif\0\0" and the TIFF data: IFD0, then (when exif is not empty) the Exif IFD, whose
    // offset IFD0 gets as its last entry, then the values that do not fit in the entries.
    QByteArray exifBlock(const std::vector<Eintrag>& ifd0, const std::vector<Eintrag>& exif = {}) const;

    bool intel() const { return m_intel; }

private:
    bool m_intel;
};

// A JPEG start (SOI) with an APP1 segment holding the block; vorspann bytes of a COM segment
// come first when given.
QByteArray jpegMitApp1(const QByteArray& exifBlock, int vorspann = 0);

// IIM dataset record:number with its value (short or extended size form).
QByteArray iim(int record, int dataset, const QByteArray& wert, bool erweitert = false);
// A Photoshop image resource.
QByteArray resource(quint16 id, const QByteArray& daten, const QByteArray& signatur = "8BIM");
// A JPEG with one APP13 segment per entry of payloads (each already framed as wanted).
QByteArray jpegMitApp13(const std::vector<QByteArray>& payloads);
QByteArray photoshop(const QByteArray& resources);

}  // namespace MetadataFixtures
