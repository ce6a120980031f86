// The EXIF reader on files built here: every decoding rule, the status texts, the 4096-byte
// limit, hostile offsets and counts, and the exif.ini lookups.
#include "metadata/clsEXIF.h"

#include "MetadataFixtures.h"
#include "support/Fixtures.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

using namespace MetadataFixtures;

namespace {

class Exif : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_alteLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(m_alteLocale); }

    // Reads the bytes through a file, as the list window does.
    clsEXIF& lies(const QByteArray& inhalt, const QString& name = QStringLiteral("bild.jpg"))
    {
        m_exif.setImageFile(Fixtures::writeFile(m_ordner.filePath(name), inhalt));
        return m_exif;
    }
    QString text(qint32 tag)
    {
        QString s;
        m_exif.MetaInfo(tag, s);
        return s;
    }
    void schreibeIni(const QByteArray& text) { Fixtures::writeFile(m_ordner.filePath(QStringLiteral("exif.ini")), text); }

    QTemporaryDir m_ordner;
    clsEXIF m_exif{m_ordner.path()};
    QLocale m_alteLocale;
};

}  // namespace

namespace {

struct DecodeFall {
    const char* name;
    std::function<Eintrag(const Tiff&)> eintrag;
    const char* erwartet;
};

std::vector<DecodeFall> decodeFaelle()
{
    auto roh = [](quint16 tag, quint16 format, quint32 n, QByteArray d) {
        return [=](const Tiff&) { return Eintrag{tag, format, n, d}; };
    };
    return {
        {"ascii text", [](const Tiff& t) { return t.ascii(271, "Canon"); }, "Canon"},
        {"ascii in the entry", [](const Tiff& t) { return t.ascii(271, "AB"); }, "AB"},
        {"exposure time as 1/x", [](const Tiff& t) { return t.rat(33434, 1, 125); }, "125"},
        {"long exposure", [](const Tiff& t) { return t.rat(33434, 4, 1); }, "0"},
        {"f-number", [](const Tiff& t) { return t.rat(33437, 28, 10); }, "2.8"},
        {"aperture value", [](const Tiff& t) { return t.rat(37378, 4, 1); }, "4.0"},
        {"max aperture value", [](const Tiff& t) { return t.rat(37381, 3, 1); }, "2.8"},
        {"x resolution", [](const Tiff& t) { return t.rat(282, 72, 1); }, "72.0"},
        {"y resolution", [](const Tiff& t) { return t.rat(283, 300, 1); }, "300.0"},
        {"subject distance", [](const Tiff& t) { return t.rat(37382, 1234, 1000); }, "1.2"},
        {"focal length", [](const Tiff& t) { return t.rat(37386, 58, 10); }, "5.8"},
        {"focal plane x", [](const Tiff& t) { return t.rat(41486, 31, 2); }, "15.5"},
        {"focal plane y", [](const Tiff& t) { return t.rat(41487, 7, 100); }, "0.1"},
        {"other rational", [](const Tiff& t) { return t.rat(37122, 5, 2); }, "5/2"},
        {"white point", [](const Tiff& t) { return Eintrag{318, 5, 2, t.rational(313, 1000) + t.rational(329, 1000)}; },
         "0.313/0.329"},
        {"shutter speed", [](const Tiff& t) { return t.srat(37377, 8, 1); }, "256"},
        {"exposure bias", [](const Tiff& t) { return t.srat(37380, -2, 3); }, "-0.7"},
        {"other signed rational", [](const Tiff& t) { return t.srat(37379, -5, 2); }, "-5/2"},
        {"signed rationals", [](const Tiff& t) { return Eintrag{999, 10, 2, t.srational(-1, 2) + t.srational(3, 4)}; },
         "-0.500/0.750"},
        {"a later rational without denominator", [](const Tiff& t) { return Eintrag{991, 5, 2, t.rational(1, 4) + t.rational(3, 0)}; },
         "0.250/0.000"},
        {"signed byte", roh(998, 6, 1, QByteArray("\xFF\0\0\0", 4)), "-1"},
        {"signed short", [](const Tiff& t) { return Eintrag{997, 8, 1, t.u16(0xFFFE) + t.u16(0)}; }, "-2"},
        {"signed long", [](const Tiff& t) { return Eintrag{996, 9, 1, t.u32(0xFFFFFFFD)}; }, "-3"},
        {"signed long at an offset", [](const Tiff& t) { return Eintrag{996, 9, 2, t.u32(7) + t.u32(8)}; }, "7"},
        {"exif version", roh(36864, 7, 4, "0230"), "2.30"},
        {"flashpix version", roh(40960, 7, 4, "0100"), "1.00"},
        {"components configuration", roh(37121, 7, 4, QByteArray("\1\2\3\0", 4)), "YCbCr"},
        {"components above 6 add nothing", roh(37121, 7, 4, QByteArray("\4\x09\5\6", 4)), "RGB"},
        {"maker note printable only", roh(37500, 7, 9, QByteArray("Ni\x01kon\xFF\x7F~", 9)), "Nikon\x7F~"},
        {"file source", roh(41728, 7, 1, QByteArray("\3\0\0\0", 4)), "3"},
        {"scene type", roh(41729, 7, 1, QByteArray("\1\0\0\0", 4)), "1"},
        {"undefined as text without NULs", roh(37510, 7, 13, QByteArray("ASCII\0\0\0Hello", 13)), "ASCIIHello"},
        {"unsigned byte", roh(995, 1, 1, QByteArray("\xFF\0\0\0", 4)), "255"},
        {"unsigned short", [](const Tiff& t) { return t.kurz(274, 6); }, "6"},
        {"unsigned long", [](const Tiff& t) { return t.lang(40962, 4294967295u); }, "4294967295"},
        {"float as its bytes", [](const Tiff& t) { return Eintrag{994, 11, 1, t.u32(0x3F800000)}; }, "1065353216"},
        {"double as its bytes",
         [](const Tiff& t) { return Eintrag{993, 12, 1, t.intel() ? t.u32(0) + t.u32(0x3FF00000) : t.u32(0x3FF00000) + t.u32(0)}; },
         "4607182418800017408"},
        {"format 0", roh(992, 0, 5, QByteArray("\1\2\3\4", 4)), "0"},
    };
}

}  // namespace

TEST_F(Exif, DecodesEveryFormatAndTagRowInBothByteOrders)
{
    for (const bool intel : {true, false}) {
        const Tiff t(intel);
        for (const DecodeFall& fall : decodeFaelle()) {
            const Eintrag e = fall.eintrag(t);
            lies(jpegMitApp1(t.exifBlock({e})));
            ASSERT_EQ(m_exif.status(), clsEXIF::Gelesen);
            EXPECT_EQ(m_exif.IntelByteAlignment(), intel);
            EXPECT_EQ(text(e.tag), QString::fromLatin1(fall.erwartet)) << fall.name << (intel ? " II" : " MM");
            EXPECT_EQ(m_exif.Tag(1).Name, clsEXIF::GetTagName(e.tag)) << fall.name;
        }
    }
    // No two tags share a name.
    std::set<QString> namen;
    for (const auto& zeile : clsEXIF::kTags)
        namen.insert(clsEXIF::GetTagName(zeile.Tag));
    EXPECT_EQ(namen.size(), clsEXIF::kTags.size());
}

TEST_F(Exif, PatternsUseTheLocaleDecimalSeparatorWithoutGrouping)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const Tiff t(true);
    lies(jpegMitApp1(t.exifBlock({t.rat(282, 30000, 1), Eintrag{318, 5, 2, t.rational(313, 1000) + t.rational(329, 1000)}},
                                 {t.rat(33437, 28, 10), t.srat(37380, -2, 3), t.rat(33434, 1, 12500), t.lang(40962, 12345)})));
    EXPECT_EQ(text(282), "30000,0");
    EXPECT_EQ(text(318), "0,313/0,329");
    EXPECT_EQ(text(33437), "2,8");
    EXPECT_EQ(text(37380), "-0,7");
    EXPECT_EQ(text(33434), "12500");
    EXPECT_EQ(text(40962), "12345");
}

TEST_F(Exif, MetaInfoGivesTheFirstRecordsRoundedValueOrWithoutDenominatorTheRawField)
{
    const Tiff t(true);
    lies(jpegMitApp1(t.exifBlock({t.rat(37122, 5, 2), t.rat(37386, 7, 2), t.rat(33437, 5, 0), t.lang(40962, 77),
                                  t.kurz(274, 3), t.kurz(274, 8), t.rat(33434, 1, 0), t.rat(33434, 0, 5)})));
    QString s = "vorher";
    EXPECT_EQ(m_exif.MetaInfo(37122, s), 2);  // 2.5 goes to the even neighbour
    EXPECT_EQ(s, "5/2");
    EXPECT_EQ(m_exif.MetaInfo(37386, s), 4);  // 3.5 likewise
    EXPECT_EQ(s, "3.5");
    const qint32 feld = m_exif.MetaInfo(33437, s);
    EXPECT_GT(feld, 8);  // the offset of the rational inside the TIFF data
    EXPECT_EQ(s, QString::number(feld) + ".0");
    EXPECT_EQ(m_exif.MetaInfo(40962, s), 77);
    EXPECT_EQ(m_exif.MetaInfo(274, s), 3);
    EXPECT_EQ(s, "3");
    EXPECT_EQ(m_exif.Tag(7).ValueText, "0");  // 1 / (offset ~ 100) rounds to 0
    EXPECT_EQ(m_exif.Tag(8).ValueText, "0");  // a zero exposure time has no reciprocal
    EXPECT_EQ(m_exif.MetaInfo(271, s), 0);
    EXPECT_EQ(s, "Tag 271 not found.");

    lies("kein exif hier");
    s = "vorher";
    EXPECT_EQ(m_exif.MetaInfo(274, s), 0);
    EXPECT_EQ(s, "vorher");
}

TEST_F(Exif, ListInfoGivesIfd0ThenExifFieldsEachEndingInCrLfAlikeInBothByteOrders)
{
    const Tiff mm(false);
    lies(jpegMitApp1(mm.exifBlock({mm.ascii(272, "Modell"), mm.kurz(296, 2)})));
    EXPECT_EQ(m_exif.ListInfo(), "Model: Modell\r\nResolutionUnit: 2\r\n");  // no Exif IFD

    auto block = [](const Tiff& t) {
        return jpegMitApp1(t.exifBlock({t.ascii(271, "NIKON"), t.kurz(274, 6), t.rat(282, 300, 1)},
                                       {t.rat(33434, 10, 2500), Eintrag{36864, 7, 4, "0221"}, t.srat(37380, 1, 3),
                                        Eintrag{37121, 7, 4, QByteArray("\1\2\3\0", 4)}}));
    };
    lies(block(Tiff(true)));
    EXPECT_TRUE(m_exif.IntelByteAlignment());
    const QString klein = m_exif.ListInfo();
    EXPECT_EQ(klein, "Make: NIKON\r\nOrientation: 6\r\nXResolution: 300.0\r\nExifOffset: 62\r\nExposureTime: 250\r\n"
                     "ExifVersion: 2.21\r\nExposureBiasValue: 0.3\r\nComponentsConfiguration: YCbCr\r\n");
    EXPECT_EQ(m_exif.ImageFile().toString(), m_ordner.filePath("bild.jpg"));
    lies(block(mm));
    EXPECT_FALSE(m_exif.IntelByteAlignment());
    EXPECT_EQ(m_exif.ListInfo(), klein);
}

TEST_F(Exif, StatusTextsForMissingEmptyAndNonExifFiles)
{
    // Before any file with an EXIF header, even a missing file reads as "not EXIF".
    m_exif.setImageFile(m_ordner.filePath("fehlt.jpg"));
    EXPECT_EQ(m_exif.status(), clsEXIF::OeffnenFehlgeschlagen);
    EXPECT_EQ(m_exif.ListInfo(), "File is not in EXIF format.");

    const Tiff t(true);
    const QString gut = Fixtures::writeFile(m_ordner.filePath("gut.jpg"), jpegMitApp1(t.exifBlock({t.kurz(274, 1)})));
    m_exif.setImageFile(gut);
    EXPECT_EQ(m_exif.ListInfo(), "Orientation: 1\r\n");

    QFile::remove(gut);
    m_exif.setImageFile(gut);
    EXPECT_EQ(m_exif.ListInfo(), "Could not open the file.");

    lies(QByteArray(), "leer.jpg");
    EXPECT_EQ(m_exif.status(), clsEXIF::OeffnenFehlgeschlagen);
    EXPECT_EQ(m_exif.ListInfo(), "Could not open the file.");

    lies(QByteArray("\xFF\xD8\xFF\xE1\0\x10" "Exif\0", 11) + "ohne Null", "exif-ohne-null.jpg");
    EXPECT_EQ(m_exif.status(), clsEXIF::Gelesen);  // "Exif" and NUL found; nothing readable after it
    EXPECT_EQ(m_exif.ListInfo(), "");

    lies("JFIF Exif Exi", "keinexif.jpg");
    EXPECT_EQ(m_exif.status(), clsEXIF::KeinExifKopf);
    EXPECT_EQ(m_exif.ListInfo(), "File is not in EXIF format.");
    m_exif.setImageFile(QVariant());
    EXPECT_EQ(m_exif.ListInfo(), "Could not open the file.");
}

// A file whose Make value starts `vorEnde` bytes before the end of the 4096 bytes read and
// runs on past them, followed by an FNumber whose rational lies beyond them.
QByteArray makeUeberDasEnde(const QByteArray& wert, int vorEnde)
{
    const Tiff t(true);
    Eintrag text{271, 2, quint32(wert.size() + 50), {}, true, quint32(4096 - 12 - vorEnde)};
    Eintrag rational{33437, 5, 1, {}, true, 4096 - 12 - 4};
    const QByteArray datei = jpegMitApp1(t.exifBlock({text, rational, t.kurz(274, 1)}));
    return datei.leftJustified(4096 - vorEnde, '\0') + wert + QByteArray(200, 'z');
}

TEST_F(Exif, OnlyTheFirst4096BytesAreReadAndAnUnreadableEntryEndsReading)
{
    const Tiff t(true);
    const QByteArray block = t.exifBlock({t.kurz(274, 1)});
    // The marker "Exif\0" ends exactly at byte 4096: still found, but nothing after it.
    lies(QByteArray(4096 - 5, 'x') + block);
    EXPECT_EQ(m_exif.status(), clsEXIF::Gelesen);
    EXPECT_EQ(m_exif.ListInfo(), "");
    lies(QByteArray(4096 - 4, 'x') + block);
    EXPECT_EQ(m_exif.status(), clsEXIF::KeinExifKopf);
    lies(jpegMitApp1(block, 5000));
    EXPECT_EQ(m_exif.status(), clsEXIF::KeinExifKopf);

    std::vector<Eintrag> viele;
    for (int i = 0; i < 400; ++i)
        viele.push_back(t.kurz(quint16(1000 + i), quint16(i)));
    lies(jpegMitApp1(t.exifBlock(viele, {t.kurz(274, 1)})));
    // T = 2 + 4 + 6 = 12; IFD0 entries start at T + 10 = 22; entry k ends at 22 + 12 (k + 1).
    const int ganz = (4096 - 22) / 12;
    ASSERT_EQ(m_exif.TagAnzahl(), 401);
    EXPECT_EQ(m_exif.Tag(ganz).ValueText, QString::number(ganz - 1));
    EXPECT_EQ(m_exif.Tag(ganz + 1).Name, "");  // its entry was cut, so its name is unknown
    const QStringList zeilen = m_exif.ListInfo().split("\r\n");
    EXPECT_EQ(zeilen.size(), 402);
    EXPECT_EQ(zeilen[ganz], ": ");
    EXPECT_EQ(zeilen[400], ": ");  // the ExifOffset record was reserved but never reached
    EXPECT_EQ(zeilen[401], "");

    // A format above 12 ends reading with the name shown.
    const Tiff mm(false);
    lies(jpegMitApp1(mm.exifBlock({mm.ascii(271, "Canon"), Eintrag{274, 13, 1, mm.u16(1)}, mm.kurz(296, 2)})));
    EXPECT_EQ(m_exif.status(), clsEXIF::Gelesen);
    EXPECT_EQ(m_exif.ListInfo(), "Make: Canon\r\nOrientation: \r\n: \r\n");
    // Numbers beyond the bytes read end reading, texts are cut there.
    lies(makeUeberDasEnde("Kamera-Hersteller-XY", 20));
    EXPECT_EQ(m_exif.ListInfo(), "Make: Kamera-Hersteller-XY\r\nFNumber: \r\n: \r\n");
}

TEST_F(Exif, TextCutInsideAUtf8CharacterLosesOnlyThatCharacter)
{
    // Every cut position inside (and at both ends of) a 2-, 3- and 4-byte character, after a
    // UTF-8 prefix and after a plain one.
    const QByteArray zeichen[] = {"\xC3\xBC", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
    for (const QByteArray& vorn : {QByteArray("Gr\xC3\xBC\xC3\x9F" "e-"), QByteArray("Kamera ")}) {
        for (const QByteArray& z : zeichen) {
            for (int k = 0; k <= z.size(); ++k) {
                SCOPED_TRACE(QByteArray(vorn + " + " + QByteArray::number(z.size()) + " bytes, cut after " + QByteArray::number(k)).constData());
                lies(makeUeberDasEnde(vorn + z + "nachher", int(vorn.size()) + k));
                const QString erwartet = QString::fromUtf8(vorn + z.left(k == z.size() ? k : 0));
                if (vorn.startsWith("Kamera") && k == 1) {
                    // One high byte after plain ASCII may as well be a Windows character.
                    EXPECT_EQ(text(271), QString::fromUtf8(vorn) + QString(QChar(uchar(z[0]))));
                } else {
                    EXPECT_EQ(text(271), erwartet);
                }
            }
        }
    }
    // A Windows-1252 value cut after a letter that looks like the start of a UTF-8 character
    // stays Windows-1252.
    lies(makeUeberDasEnde("Caf\xE9 cr\xE8me", 8));
    EXPECT_EQ(text(271), QString::fromUtf8("Café crè"));
}

TEST_F(Exif, HostileCountsAndOffsetsNeverReadOutsideOrLoop)
{
    const Tiff t(true);
    // An Exif IFD offset pointing back at IFD0 reads IFD0 once more and stops.
    lies(jpegMitApp1(t.exifBlock({t.kurz(274, 1), t.lang(34665, 8)})));
    EXPECT_EQ(m_exif.ListInfo(), "Orientation: 1\r\nExifOffset: 8\r\nOrientation: 1\r\nExifOffset: 8\r\n");

    // Offsets and counts at the top of their range.
    lies(jpegMitApp1(t.exifBlock({Eintrag{271, 2, 0xFFFFFFFF, {}, true, 0xFFFFFFF0}, Eintrag{282, 5, 0xFFFFFFFF, {}, true, 0xFFFFFFFF},
                                   t.kurz(274, 1)})));
    EXPECT_EQ(m_exif.ListInfo(), "Make: \r\nXResolution: \r\n: \r\n");

    lies(jpegMitApp1(t.exifBlock({t.lang(34665, 0xFFFFFFFF)})));
    EXPECT_EQ(m_exif.ListInfo(), "ExifOffset: 4294967295\r\n");

    // IFD0 announcing 65535 entries: all reserved, the ones beyond the data listed empty.
    QByteArray kopf = QByteArray("Exif\0\0II*\0\x08\0\0\0\xFF\xFF", 16);
    lies(kopf);
    EXPECT_EQ(m_exif.TagAnzahl(), 65535);
    EXPECT_EQ(m_exif.ListInfo().size(), 65535 * 4);
}

TEST_F(Exif, ExifIniReplacesValuesAppliesTheFormatTemplateAndSteersPointerTags)
{
    const Tiff t(true);
    const QByteArray datei = jpegMitApp1(t.exifBlock({t.kurz(274, 1), t.kurz(296, 2), t.kurz(1234, 5)}, {t.rat(37386, 58, 10)}));
    lies(datei);
    EXPECT_EQ(text(274), "1");  // no exif.ini

    schreibeIni("[orientation]\n1 = \"Horizontal (normal)\"\n\n[ResolutionUnit]\nFormat=Einheit <@X> (@X)\n"
                "[FocalLength]\n5.8=fuenf komma acht\nformat=@X mm\n[unknown tag 1234]\n5=fuenf\n[Flash]\n1=nie\n");
    lies(datei);
    EXPECT_EQ(text(274), "Horizontal (normal)");
    EXPECT_EQ(text(296), "Einheit <2> (2)");
    EXPECT_EQ(text(37386), "fuenf komma acht mm");
    EXPECT_EQ(text(1234), "fuenf");

    // A pointer tag follows the text after exif.ini; the folder may end in a slash.
    const QByteArray zeiger = jpegMitApp1(t.exifBlock({t.kurz(274, 1)}, {t.kurz(41729, 1)}));
    schreibeIni("[ExifOffset]\nFormat=@X (offset)\n");
    clsEXIF mitSchraegstrich(m_ordner.path() + "/");
    EXPECT_EQ(mitSchraegstrich.iniDatei(), m_ordner.filePath("exif.ini"));
    mitSchraegstrich.setImageFile(Fixtures::writeFile(m_ordner.filePath("a.jpg"), zeiger));
    EXPECT_EQ(mitSchraegstrich.ListInfo(), "Orientation: 1\r\nExifOffset: 38 (offset)\r\nSceneType: 1\r\n");

    // A text without a leading number points nowhere: the sub-IFD is not read.
    schreibeIni("[ExifOffset]\n38=weit weg\n");
    lies(zeiger);
    EXPECT_EQ(m_exif.ListInfo(), "Orientation: 1\r\nExifOffset: weit weg\r\n");
}
