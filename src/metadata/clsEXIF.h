// The EXIF reader: reads IFD0 and the Exif sub-IFD from the first 4096 bytes of a picture file
// and turns each field into a display line, with optional texts from exif.ini.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>
#include <vector>

class ExifLeser;

class clsEXIF {
public:
    // One field read from the file; index 0 of the list is a placeholder.
    struct ExifTag {
        qint32 ID = 0;
        QString Name;
        qint32 Format = 0;
        qint64 Components = 0;  // read as unsigned 32-bit; kept wide so that size checks cannot overflow
        double Value = 0;
        QString ValueText;
    };

    // What the last write of ImageFile found.
    enum Status { Gelesen = 0, KeinExifKopf = 1, OeffnenFehlgeschlagen = 2 };

    struct Formatzeile {
        int Format;
        int Bytes;
    };
    struct Tagzeile {
        qint32 Tag;
        const char* Name;
    };
    static const std::array<Formatzeile, 13> kFormate;
    static const std::array<Tagzeile, 54> kTags;
    static constexpr qint64 kLeseLaenge = 4096;

    // programmOrdner is the folder that holds exif.ini.
    explicit clsEXIF(const QString& programmOrdner = QString());

    void setProgrammOrdner(const QString& programmOrdner);
    QString iniDatei() const { return m_iniDatei; }

    QVariant ImageFile() const { return m_bildDatei; }
    void setImageFile(const QVariant& vNewValue);
    bool IntelByteAlignment() const { return m_intel; }
    qint32 MetaInfo(qint32 l_ID, QString& StringData) const;
    static QString GetTagName(qint32 l_ID);
    QString ListInfo() const;

    int status() const { return m_status; }
    bool hatTagListe() const { return m_hatListe; }
    // Number of fields (the placeholder not counted) and the field at index 1..TagAnzahl().
    int TagAnzahl() const;
    ExifTag Tag(int index) const;

    // The reading itself, on bytes already read; used by ImageFile and directly by the fuzz target.
    void ReadMetaInfoAusBytes(const QByteArray& dateiAnfang);

    // How the picture is to be turned to stand upright: the Orientation of IFD0 of the TIFF data
    // (the bytes after "Exif" and two NULs), 1 to 8; 1 when it has none or none of these values.
    static int Ausrichtung(QByteArrayView tiff);

private:
    void ReadMetaInfo();
    bool ReadIFD(const ExifLeser& leser, qint64 offset, qint32 zeigerTag, qint64& ergebnis);
    bool DecodeTagValue(const ExifLeser& leser, ExifTag& tag, qint64 feldPosition);
    QString ReadIniValue(const QString& section, const QString& key) const;

    QString m_bildDatei;
    QString m_iniDatei;
    QString m_iniText;  // exif.ini as read at the start of the current reading
    bool m_intel = false;
    int m_status = Gelesen;
    bool m_hatListe = false;
    // The fields in file order, the placeholder at index 0, then the reserved records the
    // reading did not reach (always empty and always last, so they are only counted).
    std::vector<ExifTag> m_tags;
    qint64 m_leereReserviert = 0;
    qint64 m_T = 0;
};
