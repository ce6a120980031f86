// The EXIF reader: the format and tag tables, the bounded reading of the two IFDs and the
// decoding of each field into its display text.
#include "metadata/clsEXIF.h"

#include "app/ProfileReader.h"
#include "metadata/ExifLeser.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

const std::array<clsEXIF::Formatzeile, 13> clsEXIF::kFormate = {{
    {0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 4}, {5, 8}, {6, 1}, {7, 1}, {8, 2}, {9, 4}, {10, 8}, {11, 4}, {12, 8},
}};

const std::array<clsEXIF::Tagzeile, 54> clsEXIF::kTags = {{
    {270, "ImageDescription"},
    {271, "Make"},
    {272, "Model"},
    {274, "Orientation"},
    {282, "XResolution"},
    {283, "YResolution"},
    {296, "ResolutionUnit"},
    {305, "Software"},
    {306, "DateTime"},
    {318, "WhitePoint"},
    {319, "PrimaryChromaticities"},
    {529, "YCbCrCoefficients"},
    {531, "YCbCrPositioning"},
    {532, "ReferenceBlackWhite"},
    {33432, "Copyright"},
    {34665, "ExifOffset"},
    {33434, "ExposureTime"},
    {33437, "FNumber"},
    {34850, "ExposureProgram"},
    {34855, "ISOSpeedRatings"},
    {36864, "ExifVersion"},
    {36867, "DateTimeOriginal"},
    {36868, "DateTimeDigitized"},
    {37121, "ComponentsConfiguration"},
    {37122, "CompressedBitsPerPixel"},
    {37377, "ShutterSpeedValue"},
    {37378, "ApertureValue"},
    {37379, "BrightnessValue"},
    {37380, "ExposureBiasValue"},
    {37381, "MaxApertureValue"},
    {37382, "SubjectDistance"},
    {37383, "MeteringMode"},
    {37384, "LightSource"},
    {37385, "Flash"},
    {37386, "FocalLength"},
    {37500, "MakerNote"},
    {37510, "UserComment"},
    {37520, "SubsecTime"},
    {37521, "SubsecTimeOriginal"},
    {37522, "SubsecTimeDigitized"},
    {40960, "FlashPixVersion"},
    {40961, "ColorSpace"},
    {40962, "ExifImageWidth"},
    {40963, "ExifImageHeight"},
    {40964, "RelatedSoundFile"},
    {40965, "ExifInteroperabilityOffset"},
    {41486, "FocalPlaneXResolution"},
    {41487, "FocalPlaneYResolution"},
    {41488, "FocalPlaneResolutionUnit"},
    {41493, "ExposureIndex"},
    {41495, "SensingMethod"},
    {41728, "FileSource"},
    {41729, "SceneType"},
    {41730, "CFAPattern"},
}};

namespace {

constexpr qint32 kOrientation = 274;
constexpr qint32 kExifOffset = 34665;
constexpr qint32 kInteropOffset = 40965;
const QString kCrLf = QStringLiteral("\r\n");

// The user's number format, without group separators.
QString muster(double wert, int stellen)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(wert, 'f', stellen);
}

// How many bytes at the end start a UTF-8 character that the bytes do not finish: a lead byte
// followed by fewer continuation bytes than it announces. 0 when the last character is whole.
qsizetype unvollstaendigesZeichenAmEnde(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    for (qsizetype zurueck = 1; zurueck <= 3 && zurueck <= n; ++zurueck) {
        const auto c = static_cast<unsigned char>(bytes[n - zurueck]);
        if ((c & 0xC0) == 0x80)
            continue;  // a continuation byte: look further back for its lead byte
        const int laenge = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        return laenge > zurueck ? zurueck : 0;
    }
    return 0;
}

bool nurAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Bytes as text: UTF-8 when they are valid UTF-8 (current cameras), else the Windows code page.
// A value cut at the end of the bytes read may end inside a UTF-8 character; that character
// alone is dropped, so the rest is still read as the UTF-8 it is. A single high byte after
// plain ASCII says nothing about the encoding and stays a Windows character.
QString alsText(QByteArrayView bytes, bool abgeschnitten = false)
{
    if (abgeschnitten) {
        const qsizetype rest = unvollstaendigesZeichenAmEnde(bytes);
        const QByteArrayView ganz = bytes.chopped(rest);
        if (rest > 0 && TextEncoding::isValidUtf8(ganz) && (rest > 1 || !nurAscii(ganz)))
            return QString::fromUtf8(ganz);
    }
    return TextEncoding::isValidUtf8(bytes) ? QString::fromUtf8(bytes) : TextEncoding::fromWindows1252(bytes);
}

// The leading number of a text as a Basic Val() reads it: blanks, sign, digits, fraction.
double fuehrendeZahl(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
    }
    bool ok = false;
    const double v = text.mid(start, i - start).toDouble(&ok);
    return ok ? v : 0.0;
}

}  // namespace

clsEXIF::clsEXIF(const QString& programmOrdner)
{
    setProgrammOrdner(programmOrdner);
}

void clsEXIF::setProgrammOrdner(const QString& programmOrdner)
{
    m_iniDatei = programmOrdner;
    if (!m_iniDatei.endsWith(u'/'))
        m_iniDatei += u'/';
    m_iniDatei += QStringLiteral("exif.ini");
}

void clsEXIF::setImageFile(const QVariant& vNewValue)
{
    m_bildDatei = vNewValue.toString();
    ReadMetaInfo();
}

QString clsEXIF::GetTagName(qint32 l_ID)
{
    for (const Tagzeile& zeile : kTags) {
        if (zeile.Tag == l_ID)
            return QString::fromLatin1(zeile.Name);
    }
    return QStringLiteral("unknown tag ") + QString::number(l_ID);
}

int clsEXIF::TagAnzahl() const
{
    if (m_tags.empty())
        return 0;
    return static_cast<int>(m_tags.size() - 1 + m_leereReserviert);
}

clsEXIF::ExifTag clsEXIF::Tag(int index) const
{
    if (index >= 1 && static_cast<size_t>(index) < m_tags.size())
        return m_tags[static_cast<size_t>(index)];
    return {};
}

qint32 clsEXIF::MetaInfo(qint32 l_ID, QString& StringData) const
{
    if (m_status != Gelesen)
        return 0;
    for (size_t i = 1; i < m_tags.size(); ++i) {
        if (m_tags[i].ID != l_ID)
            continue;
        StringData = m_tags[i].ValueText;
        // Values outside the 32-bit range give the nearest end of it.
        const double gerundet = std::nearbyint(m_tags[i].Value);
        if (!(gerundet >= std::numeric_limits<qint32>::min()))
            return std::numeric_limits<qint32>::min();
        if (gerundet > std::numeric_limits<qint32>::max())
            return std::numeric_limits<qint32>::max();
        return static_cast<qint32>(gerundet);
    }
    StringData = QStringLiteral("Tag ") + QString::number(l_ID) + QStringLiteral(" not found.");
    return 0;
}

QString clsEXIF::ListInfo() const
{
    if (!m_hatListe || m_status == KeinExifKopf)
        return QStringLiteral("File is not in EXIF format.");
    if (m_status == OeffnenFehlgeschlagen)
        return QStringLiteral("Could not open the file.");
    QString text;
    for (size_t i = 1; i < m_tags.size(); ++i)
        text += m_tags[i].Name + QStringLiteral(": ") + m_tags[i].ValueText + kCrLf;
    return text + (QStringLiteral(": ") + kCrLf).repeated(m_leereReserviert);
}

void clsEXIF::ReadMetaInfo()
{
    // ReadFileStart: the first bytes only, raw; a FIFO or a device is refused at once.
    const QByteArray anfang = FileSystem::openForReading(m_bildDatei, kLeseLaenge, false).read(0, kLeseLaenge);
    if (anfang.isEmpty()) {
        m_status = OeffnenFehlgeschlagen;
        return;
    }
    // The texts file beside the program, found whatever the letter case of its name; missing,
    // unreadable or larger than a settings file can be, it gives no texts.
    QByteArray ini;
    FileSystem::readFile(FileSystem::resolvePath(m_iniDatei), FileSystem::Limit::kSettings, ini);
    m_iniText = TextEncoding::decodeText(ini);
    ReadMetaInfoAusBytes(anfang);
}

void clsEXIF::ReadMetaInfoAusBytes(const QByteArray& dateiAnfang)
{
    const QByteArray daten = dateiAnfang.left(kLeseLaenge);
    if (daten.isEmpty()) {
        m_status = OeffnenFehlgeschlagen;
        return;
    }
    const qsizetype kopf = daten.indexOf(QByteArrayView("Exif\0", 5));
    if (kopf < 0) {
        m_status = KeinExifKopf;
        return;
    }
    m_T = kopf + 6;
    m_tags.assign(1, ExifTag{});
    m_leereReserviert = 0;
    m_hatListe = true;
    m_status = Gelesen;
    m_intel = ExifLeser::intelMarke(daten, m_T);

    // A failure anywhere below simply ends the reading; what was read stays listed.
    const ExifLeser leser(daten, m_intel);
    quint64 ifd0 = 0;
    if (!leser.zahl(m_T + 4, 4, ifd0))
        return;
    qint64 exifIfd = 0;
    if (!ReadIFD(leser, static_cast<qint64>(ifd0), kExifOffset, exifIfd))
        return;
    qint64 unbenutzt = 0;
    if (exifIfd != 0)
        ReadIFD(leser, exifIfd, kInteropOffset, unbenutzt);
}

bool clsEXIF::ReadIFD(const ExifLeser& leser, qint64 offset, qint32 zeigerTag, qint64& ergebnis)
{
    ergebnis = 0;
    qint64 p = m_T + offset;
    quint64 n = 0;
    if (!leser.zahl(p, 2, n))
        return false;
    p += 2;
    m_leereReserviert += static_cast<qint64>(n);
    for (quint64 i = 0; i < n; ++i) {
        --m_leereReserviert;
        m_tags.emplace_back();
        ExifTag& tag = m_tags.back();
        ExifLeser::Eintrag e;
        const bool ganz = leser.eintrag(p, e);
        tag.ID = static_cast<qint32>(e.id);
        tag.Format = static_cast<qint32>(e.format);
        tag.Components = static_cast<qint64>(e.components);
        tag.Value = static_cast<double>(e.value);
        if (!ganz)
            return false;
        tag.Name = GetTagName(tag.ID);
        if (!DecodeTagValue(leser, tag, p + 8))
            return false;
        if (tag.ID == zeigerTag) {
            const double zahl = fuehrendeZahl(tag.ValueText);
            // An offset no file of 4096 bytes can hold is kept just out of reach.
            ergebnis = zahl >= 0 && zahl < 1e15 ? static_cast<qint64>(zahl) : -1;
        }
        p += 12;
    }
    return true;
}

bool clsEXIF::DecodeTagValue(const ExifLeser& leser, ExifTag& tag, qint64 feldPosition)
{
    if (tag.Format < 0 || tag.Format > 12)
        return false;
    const int groesse = kFormate[static_cast<size_t>(tag.Format)].Bytes;
    const qint64 laenge = tag.Components * groesse;
    const qint64 feldWert = static_cast<qint64>(tag.Value);
    const QByteArray roh = laenge > 4 ? leser.bytes(m_T + feldWert, laenge) : leser.bytes(feldPosition, 4);
    const ExifLeser rohLeser(roh, m_intel);
    const bool abgeschnitten = roh.size() < laenge;

    // The first rational of the raw bytes; its quotient replaces Value unless the denominator is 0.
    auto quotient = [&](bool vorzeichen, qint64& zaehler, qint64& nenner) {
        if (vorzeichen) {
            if (!rohLeser.vorzeichenZahl(0, 4, zaehler) || !rohLeser.vorzeichenZahl(4, 4, nenner))
                return false;
        } else {
            quint64 z = 0, d = 0;
            if (!rohLeser.zahl(0, 4, z) || !rohLeser.zahl(4, 4, d))
                return false;
            zaehler = static_cast<qint64>(z);
            nenner = static_cast<qint64>(d);
        }
        if (nenner != 0)
            tag.Value = static_cast<double>(zaehler) / static_cast<double>(nenner);
        return true;
    };
    // Each of the Components rationals as its quotient, "0.000", joined by "/".
    auto rationalListe = [&](bool vorzeichen, QString& text) {
        QStringList teile;
        for (qint64 k = 0; k < tag.Components; ++k) {
            qint64 z = 0, d = 0;
            if (vorzeichen) {
                if (!rohLeser.vorzeichenZahl(8 * k, 4, z) || !rohLeser.vorzeichenZahl(8 * k + 4, 4, d))
                    return false;
            } else {
                quint64 uz = 0, ud = 0;
                if (!rohLeser.zahl(8 * k, 4, uz) || !rohLeser.zahl(8 * k + 4, 4, ud))
                    return false;
                z = static_cast<qint64>(uz);
                d = static_cast<qint64>(ud);
            }
            // Without a denominator the first one falls back to Value, as the single patterns do.
            const double q = d != 0 ? static_cast<double>(z) / static_cast<double>(d) : (k == 0 ? tag.Value : 0.0);
            teile << muster(q, 3);
        }
        text = teile.join(u'/');
        return true;
    };

    QString text;
    switch (tag.Format) {
    case 2:
        text = alsText(roh, abgeschnitten);
        break;
    case 5: {
        qint64 z = 0, d = 0;
        if (!quotient(false, z, d))
            return false;
        switch (tag.ID) {
        case 33434:
            text = tag.Value != 0 ? muster(1.0 / tag.Value, 0) : muster(0, 0);
            break;
        case 33437:
        case 282:
        case 283:
        case 37382:
        case 37386:
        case 41486:
        case 41487:
            text = muster(tag.Value, 1);
            break;
        case 37378:
        case 37381:
            text = muster(std::pow(std::sqrt(2.0), tag.Value), 1);
            break;
        default:
            if (tag.Components < 2)
                text = QString::number(z) + u'/' + QString::number(d);
            else if (!rationalListe(false, text))
                return false;
        }
        break;
    }
    case 10: {
        qint64 z = 0, d = 0;
        if (!quotient(true, z, d))
            return false;
        switch (tag.ID) {
        case 37377:
            text = muster(std::pow(2.0, tag.Value), 0);
            break;
        case 37380:
            text = muster(tag.Value, 1);
            break;
        default:
            if (tag.Components < 2)
                text = QString::number(z) + u'/' + QString::number(d);
            else if (!rationalListe(true, text))
                return false;
        }
        break;
    }
    case 6:
    case 8:
    case 9: {
        qint64 v = 0;
        if (!rohLeser.vorzeichenZahl(0, groesse, v))
            return false;
        text = QString::number(v);
        break;
    }
    case 7:
        switch (tag.ID) {
        case 36864:
        case 40960:
            text = QString::number(static_cast<qint64>(fuehrendeZahl(alsText(roh.left(2))))) + u'.' + alsText(roh.mid(2, 2));
            break;
        case 37121: {
            static const char* const kKomponenten[] = {"", "Y", "Cb", "Cr", "R", "G", "B"};
            for (qsizetype k = 0; k < std::min<qsizetype>(4, roh.size()); ++k) {
                const quint8 b = static_cast<quint8>(roh[k]);
                if (b <= 6)
                    text += QString::fromLatin1(kKomponenten[b]);
            }
            break;
        }
        case 37500: {
            QByteArray druckbar;
            for (const char c : roh) {
                if (static_cast<quint8>(c) >= 32 && static_cast<quint8>(c) <= 127)
                    druckbar += c;
            }
            text = QString::fromLatin1(druckbar);
            break;
        }
        case 41728:
        case 41729:
            if (!roh.isEmpty())
                text = QString::number(static_cast<quint8>(roh[0]));
            break;
        default:
            text = alsText(roh, abgeschnitten);
        }
        break;
    default: {  // 0, 1, 3, 4, 11, 12
        quint64 v = 0;
        if (groesse > 0 && !rohLeser.zahl(0, groesse, v))
            return false;
        text = QString::number(v);
    }
    }

    text.remove(QChar(0));
    const QString ersatz = ReadIniValue(tag.Name, text);
    if (!ersatz.isEmpty())
        text = ersatz;
    const QString vorlage = ReadIniValue(tag.Name, QStringLiteral("Format"));
    if (!vorlage.isEmpty())
        text = QString(vorlage).replace(QStringLiteral("@X"), text);
    tag.ValueText = text;
    return true;
}

int clsEXIF::Ausrichtung(QByteArrayView tiff)
{
    const ExifLeser leser(tiff, ExifLeser::intelMarke(tiff, 0));
    quint64 ifd0 = 0, n = 0;
    if (!leser.zahl(4, 4, ifd0) || !leser.zahl(static_cast<qint64>(ifd0), 2, n))
        return 1;
    for (quint64 i = 0; i < n; ++i) {
        const qint64 p = static_cast<qint64>(ifd0) + 2 + 12 * static_cast<qint64>(i);
        ExifLeser::Eintrag e;
        if (!leser.eintrag(p, e))
            return 1;
        if (e.id != kOrientation)
            continue;
        // One whole number, held in the entry's value field like every value of up to 4 bytes.
        const bool ganzzahl = e.format == 1 || e.format == 3 || e.format == 4;
        quint64 wert = 0;
        if (!ganzzahl || e.components != 1 || !leser.zahl(p + 8, kFormate[static_cast<size_t>(e.format)].Bytes, wert))
            return 1;
        return wert >= 1 && wert <= 8 ? static_cast<int>(wert) : 1;
    }
    return 1;
}

QString clsEXIF::ReadIniValue(const QString& section, const QString& key) const
{
    if (m_iniText.isEmpty())
        return {};
    return ProfileReader::value(m_iniText, section, key, QString(), 1024);
}
