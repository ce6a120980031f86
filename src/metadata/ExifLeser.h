// Reads EXIF (TIFF) data: numbers in the data's byte order and the 12-byte entries of an IFD,
// every read bounded by the bytes at hand. The EXIF view and the picture loader read through it.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

class ExifLeser {
public:
    // intel: little-endian ("II"); big-endian otherwise.
    ExifLeser(QByteArrayView daten, bool intel)
        : m_daten(daten)
        , m_intel(intel)
    {
    }
    // The byte order mark at pos: "II" is little-endian, anything else counts as big-endian.
    static bool intelMarke(QByteArrayView daten, qint64 pos);

    qint64 groesse() const { return m_daten.size(); }
    bool innerhalb(qint64 pos, qint64 n) const { return pos >= 0 && n >= 0 && pos <= groesse() && n <= groesse() - pos; }

    // An n-byte unsigned number (n <= 8).
    bool zahl(qint64 pos, int n, quint64& wert) const;
    // Two's complement of the same bytes.
    bool vorzeichenZahl(qint64 pos, int n, qint64& wert) const;
    // The bytes from pos on, cut at the end of the bytes at hand (empty when pos lies beyond).
    QByteArray bytes(qint64 pos, qint64 n) const;

    // One IFD entry: tag, format number, component count and the value field as a number.
    struct Eintrag {
        quint64 id = 0;
        quint64 format = 0;
        quint64 components = 0;
        quint64 value = 0;
    };
    // The entry at pos, read field by field; the fields read before one lies beyond the bytes
    // stay set, and the result is false.
    bool eintrag(qint64 pos, Eintrag& e) const;

private:
    QByteArrayView m_daten;
    bool m_intel;
};
