// The IPTC reader: walks the JPEG segments before the image data, joins the Photoshop APP13
// segments, takes the IPTC resource (0x0404) and reads its IIM datasets.
#include "metadata/clsIPTC.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"


const std::array<clsIPTC::Feldzeile, clsIPTC::FeldAnzahl> clsIPTC::kFelder = {{
    {ObjectName, 5},
    {Urgency, 10},
    {Category, 15},
    {SupplementalCategories, 20},
    {Keywords, 25},
    {SpecialInstructions, 40},
    {DateCreated, 55},
    {TimeCreated, 60},
    {OriginatingProgram, 65},
    {Byline, 80},
    {BylineTitle, 85},
    {City, 90},
    {ProvinceState, 95},
    {Country, 101},
    {TransmissionReference, 103},
    {Headline, 105},
    {Credit, 110},
    {Source, 115},
    {CopyrightNotice, 116},
    {Caption, 120},
    {CaptionWriter, 122},
}};

namespace {

constexpr quint8 kIimMarke = 0x1C;
const QByteArray kPhotoshop("Photoshop 3.0\0", 14);
// A file is read no further than this; the segments that can hold IPTC data come first.
constexpr qint64 kHoechstens = 64 * 1024 * 1024;
// Bare IIM streams are small; more than this is not one.
constexpr qint64 kIimHoechstens = 4 * 1024 * 1024;

quint32 grossEndian(QByteArrayView b, qsizetype pos, int n)
{
    quint32 v = 0;
    for (int k = 0; k < n; ++k)
        v = (v << 8) | static_cast<quint8>(b[pos + k]);
    return v;
}

// The image resource blocks of Photoshop: signature, id, padded Pascal name, size, padded data.
// Returns the data of the first non-empty IPTC resource.
QByteArray iptcResource(QByteArrayView blob)
{
    static const QByteArrayView kSignaturen[] = {"8BIM", "AgHg", "PHUT", "DCSR"};
    qsizetype p = 0;
    while (blob.size() - p >= 12) {
        const QByteArrayView sig = blob.sliced(p, 4);
        if (std::find(std::begin(kSignaturen), std::end(kSignaturen), sig) == std::end(kSignaturen))
            break;
        const quint32 id = grossEndian(blob, p + 4, 2);
        const qsizetype nameLaenge = (static_cast<quint8>(blob[p + 6]) + 2) & ~qsizetype(1);
        const qsizetype groesseBei = p + 6 + nameLaenge;
        if (blob.size() - groesseBei < 4)
            break;
        const qint64 groesse = grossEndian(blob, groesseBei, 4);
        const qsizetype daten = groesseBei + 4;
        const qint64 verfuegbar = blob.size() - daten;
        if (id == 0x0404 && groesse > 0)
            return blob.sliced(daten, std::min(groesse, verfuegbar)).toByteArray();
        if (groesse + (groesse & 1) >= verfuegbar)
            break;
        p = daten + groesse + (groesse & 1);
    }
    return {};
}

}  // namespace

bool clsIPTC::LoadFromFile(const QString& path)
{
    // Reads stop at kHoechstens; a FIFO or a device is refused at once.
    const FileSystem::ReadableFile datei = FileSystem::openForReading(path, kHoechstens, false);
    if (!datei.isOpen()) {
        m_werte.clear();
        return false;
    }
    return laden([&datei](qint64 pos, qint64 n) { return datei.read(pos, n); });
}

bool clsIPTC::LoadFromBytes(QByteArrayView bytes)
{
    return laden([bytes](qint64 pos, qint64 n) {
        if (pos < 0 || n <= 0 || pos >= bytes.size())
            return QByteArray();
        return bytes.sliced(pos, std::min(n, bytes.size() - pos)).toByteArray();
    });
}

bool clsIPTC::laden(const Lesen& lesen)
{
    m_werte.clear();
    m_utf8Erklaert = false;
    const QByteArray anfang = lesen(0, 2);
    if (anfang.size() == 2 && static_cast<quint8>(anfang[0]) == kIimMarke) {
        iimLesen(lesen(0, kIimHoechstens));
        return !m_werte.empty();
    }
    if (anfang != QByteArrayView("\xFF\xD8", 2))
        return false;

    // Walk the segments up to the image data. Consecutive Photoshop segments are one resource
    // block that writers split at the 64 KB segment limit.
    QByteArray photoshop;
    QByteArray bloss;  // an APP13 with a bare IIM stream, for writers that leave out Photoshop's frame
    qint64 p = 2;
    while (true) {
        QByteArray kopf = lesen(p, 4);
        if (kopf.size() < 2 || static_cast<quint8>(kopf[0]) != 0xFF)
            break;
        const quint8 marke = static_cast<quint8>(kopf[1]);
        if (marke == 0xFF) {  // fill byte
            ++p;
            continue;
        }
        if (marke == 0x01 || (marke >= 0xD0 && marke <= 0xD8)) {  // markers without a length
            p += 2;
            continue;
        }
        if (marke == 0xD9 || marke == 0xDA || kopf.size() < 4)
            break;
        const qint64 laenge = grossEndian(kopf, 2, 2);
        if (laenge < 2)
            break;
        if (marke == 0xED) {
            const QByteArray inhalt = lesen(p + 4, laenge - 2);
            if (inhalt.startsWith(kPhotoshop))
                photoshop += inhalt.sliced(kPhotoshop.size());
            else if (bloss.isEmpty() && !inhalt.isEmpty() && static_cast<quint8>(inhalt[0]) == kIimMarke)
                bloss = inhalt;
        }
        p += 2 + laenge;
    }
    QByteArray iim = iptcResource(photoshop);
    if (iim.isEmpty())
        iim = bloss;
    iimLesen(iim);
    return !m_werte.empty();
}

void clsIPTC::iimLesen(QByteArrayView iim)
{
    // Dataset: 0x1C, record, number, size (two bytes; with the top bit set, the low 15 bits say
    // how many of the following bytes hold the size), data. Anything else ends the stream.
    qsizetype p = 0;
    while (iim.size() - p >= 5 && static_cast<quint8>(iim[p]) == kIimMarke) {
        const int record = static_cast<quint8>(iim[p + 1]);
        const int dataset = static_cast<quint8>(iim[p + 2]);
        qint64 groesse = grossEndian(iim, p + 3, 2);
        p += 5;
        if (groesse & 0x8000) {
            const qint64 stellen = groesse & 0x7FFF;
            if (stellen > 4 || iim.size() - p < stellen)
                break;
            groesse = stellen == 0 ? 0 : grossEndian(iim, p, static_cast<int>(stellen));
            p += stellen;
        }
        if (groesse > iim.size() - p)
            break;
        const QByteArrayView wert = iim.sliced(p, groesse);
        p += groesse;
        if (record == 1 && dataset == 90)
            m_utf8Erklaert = wert == QByteArrayView("\x1B%G", 3);
        else if (record == 2 && !wert.isEmpty())
            m_werte[dataset].push_back(wert.toByteArray());
    }
}

QString clsIPTC::feld(Feld f) const
{
    if (f < 0 || f >= FeldAnzahl)
        return {};
    const auto it = m_werte.find(kFelder[f].dataset);
    if (it == m_werte.end())
        return {};
    QStringList teile;
    for (const QByteArray& roh : it->second) {
        QString text = m_utf8Erklaert || TextEncoding::isValidUtf8(roh) ? QString::fromUtf8(roh)
                                                                         : TextEncoding::fromWindows1252(roh);
        text.remove(QChar(0));
        if (!text.isEmpty())
            teile << text;
    }
    return teile.join(m_separator);
}
