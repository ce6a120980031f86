// The IPTC reader: finds the IPTC-IIM application record (record 2) in a JPEG file and gives its
// text fields, repeated datasets joined by a separator.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <map>

class clsIPTC {
public:
    // The fields the reader gives, in its own order, with the record-2 dataset each one carries.
    enum Feld {
        ObjectName, Urgency, Category, SupplementalCategories, Keywords, SpecialInstructions,
        DateCreated, TimeCreated, OriginatingProgram, Byline, BylineTitle, City, ProvinceState,
        Country, TransmissionReference, Headline, Credit, Source, CopyrightNotice, Caption,
        CaptionWriter, FeldAnzahl
    };
    struct Feldzeile {
        Feld feld;
        int dataset;
    };
    static const std::array<Feldzeile, FeldAnzahl> kFelder;

    void setSeparator(const QString& separator) { m_separator = separator; }
    QString separator() const { return m_separator; }

    // Reads the file; afterwards the fields describe it (all empty when it has no IPTC data or
    // cannot be read). True when IPTC data was found.
    bool LoadFromFile(const QString& path);
    // The same on bytes already in memory (a whole JPEG file or a bare IIM stream).
    bool LoadFromBytes(QByteArrayView bytes);

    QString feld(Feld f) const;

private:
    using Lesen = std::function<QByteArray(qint64 pos, qint64 n)>;
    bool laden(const Lesen& lesen);
    void iimLesen(QByteArrayView iim);

    QString m_separator = QStringLiteral(";");
    // Values of each record-2 dataset in file order, still undecoded.
    std::map<int, std::vector<QByteArray>> m_werte;
    bool m_utf8Erklaert = false;
};
