// The IPTC reader on files built here: where it finds record 2, how it decodes and joins the
// values, and that broken data gives empty fields instead of reads outside the bytes.
#include "metadata/clsIPTC.h"

#include "MetadataFixtures.h"
#include "support/Fixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace MetadataFixtures;

namespace {

QByteArray utf8Erklaerung()
{
    return iim(1, 90, QByteArray("\x1B%G", 3));
}

QByteArray app13Datei(const QByteArray& datasets)
{
    return jpegMitApp13({photoshop(resource(0x0404, datasets))});
}

}  // namespace

TEST(Iptc, RepeatedDatasetsAreJoinedInFileOrderWithTheSeparator)
{
    // Every field is read and shown by the list window's IPTC view.
    clsIPTC iptc;
    iptc.LoadFromBytes(app13Datei(iim(2, 0, QByteArray("\0\2", 2)) + iim(2, 25, "Strand") + iim(2, 5, "Sommer") + iim(2, 25, "Meer")
                                  + iim(2, 25, "") + iim(2, 25, "Sand") + iim(1, 25, "nicht")));
    EXPECT_EQ(iptc.feld(clsIPTC::Keywords), "Strand;Meer;Sand");
    EXPECT_EQ(iptc.feld(clsIPTC::Keywords), "Strand;Meer;Sand");  // reading twice gives the same
    iptc.setSeparator(", ");
    EXPECT_EQ(iptc.feld(clsIPTC::Keywords), "Strand, Meer, Sand");
    EXPECT_EQ(iptc.feld(clsIPTC::ObjectName), "Sommer");
    EXPECT_EQ(iptc.feld(clsIPTC::Caption), "");
}

TEST(Iptc, TextIsUtf8WhenDeclaredOrValidElseWindows1252)
{
    struct Fall {
        const char* name;
        QByteArray datasets;
        QString erwartet;
    };
    const Fall faelle[] = {
        {"valid UTF-8 without declaration", iim(2, 80, "M\xC3\xBCller"), QString::fromUtf8("Müller")},
        {"8-bit text without declaration", iim(2, 80, "M\xFCller \x80"), QString::fromUtf8("Müller €")},
        {"declared UTF-8", utf8Erklaerung() + iim(2, 80, "Stra\xC3\x9F" "e"), QString::fromUtf8("Straße")},
        {"declared UTF-8 wins over the code page", utf8Erklaerung() + iim(2, 80, "a\xFC"), QString::fromUtf8("a\xEF\xBF\xBD")},
        {"other declaration", iim(1, 90, "\x1B(B") + iim(2, 80, "M\xFCller"), QString::fromUtf8("Müller")},
        {"NULs removed", iim(2, 80, QByteArray("Name\0\0", 6)), QStringLiteral("Name")},
    };
    for (const Fall& fall : faelle) {
        clsIPTC iptc;
        iptc.LoadFromBytes(app13Datei(fall.datasets));
        EXPECT_EQ(iptc.feld(clsIPTC::Byline), fall.erwartet) << fall.name;
    }
}

TEST(Iptc, FindsRecordTwoWhereverWritersPutIt)
{
    const QByteArray ds = iim(2, 5, "Titel");
    const QByteArray anderes = resource(0x03ED, QByteArray(16, 'r'));
    const QByteArray geteilt = photoshop(resource(0x040C, QByteArray(30, 't')) + resource(0x0404, ds));
    struct Fall {
        const char* name;
        QByteArray datei;
        QString erwartet;
    };
    const Fall faelle[] = {
        {"IPTC resource after others", jpegMitApp13({photoshop(anderes + resource(0x0404, ds))}), "Titel"},
        {"resource with a name", jpegMitApp13({photoshop(QByteArray("8BIM\x04\x04\x03" "abc\0\0\0\x0A", 14) + ds + QByteArray(1, '\0'))}),
         "Titel"},
        {"AgHg signature", jpegMitApp13({photoshop(resource(0x0404, ds, "AgHg"))}), "Titel"},
        {"empty resource first", jpegMitApp13({photoshop(resource(0x0404, {}) + resource(0x0404, ds))}), "Titel"},
        {"only the first IPTC resource", jpegMitApp13({photoshop(resource(0x0404, ds)), photoshop(resource(0x0404, iim(2, 5, "Zwei")))}),
         "Titel"},
        {"resource split over two segments", jpegMitApp13({geteilt.left(40), photoshop(QByteArray()) .left(14) + geteilt.mid(40)}), "Titel"},
        {"bare IIM in APP13", jpegMitApp13({ds}), "Titel"},
        {"bare IIM file", ds + iim(2, 25, "x"), "Titel"},
        {"extended dataset size", app13Datei(iim(2, 5, "Titel", true)), "Titel"},
        {"no APP13", jpegMitApp1("Exif\0\0", 0), ""},
        {"Photoshop block without IPTC", jpegMitApp13({photoshop(anderes)}), ""},
        {"APP13 after the image data", QByteArray("\xFF\xD8\xFF\xDA\x00\x02", 6) + jpegMitApp13({photoshop(resource(0x0404, ds))}).mid(2), ""},
        {"not a JPEG", "GIF89a" + ds, ""},
    };
    for (const Fall& fall : faelle) {
        clsIPTC iptc;
        EXPECT_EQ(iptc.LoadFromBytes(fall.datei), !fall.erwartet.isEmpty()) << fall.name;
        EXPECT_EQ(iptc.feld(clsIPTC::ObjectName), fall.erwartet) << fall.name;
    }
}

TEST(Iptc, BrokenDataEndsTheStreamKeepingWhatWasRead)
{
    const QByteArray gut = iim(2, 5, "Titel");
    struct Fall {
        const char* name;
        QByteArray datei;
        QString titel;
        QString stichwort;
    };
    const Fall faelle[] = {
        {"dataset longer than the stream", app13Datei(gut + iim(2, 25, "Meer").left(8)), "Titel", ""},
        {"size field cut", app13Datei(gut + QByteArray("\x1C\x02\x19\x00", 4)), "Titel", ""},
        {"extended size of 9 bytes", app13Datei(gut + QByteArray("\x1C\x02\x19\x80\x09", 5) + QByteArray(12, 'a')), "Titel", ""},
        {"extended size zero", app13Datei(gut + QByteArray("\x1C\x02\x19\x80\x00", 5) + iim(2, 25, "Meer")), "Titel", "Meer"},
        {"garbage ends the stream", app13Datei(gut + "xyz" + iim(2, 25, "Meer")), "Titel", ""},
        {"resource size beyond the segment", jpegMitApp13({photoshop(resource(0x0404, gut + iim(2, 25, "Meer")).left(30))}), "Titel", ""},
        {"segment length beyond the file", QByteArray("\xFF\xD8\xFF\xED\xFF\xFF", 6) + photoshop(resource(0x0404, gut)), "Titel", ""},
        {"segment length below 2", QByteArray("\xFF\xD8\xFF\xED\x00\x01", 6) + photoshop(resource(0x0404, gut)), "", ""},
    };
    for (const Fall& fall : faelle) {
        clsIPTC iptc;
        iptc.LoadFromBytes(fall.datei);
        EXPECT_EQ(iptc.feld(clsIPTC::ObjectName), fall.titel) << fall.name;
        EXPECT_EQ(iptc.feld(clsIPTC::Keywords), fall.stichwort) << fall.name;
    }
}

TEST(Iptc, EachLoadReplacesThePreviousFields)
{
    QTemporaryDir ordner;
    const QString mit = Fixtures::writeFile(ordner.filePath("mit.jpg"), app13Datei(iim(2, 5, "Titel")));
    const QString ohne = Fixtures::writeFile(ordner.filePath("ohne.jpg"), jpegMitApp13({}));
    clsIPTC iptc;
    EXPECT_TRUE(iptc.LoadFromFile(mit));
    EXPECT_EQ(iptc.feld(clsIPTC::ObjectName), "Titel");
    EXPECT_FALSE(iptc.LoadFromFile(ohne));
    EXPECT_EQ(iptc.feld(clsIPTC::ObjectName), "");
    iptc.LoadFromFile(mit);
    EXPECT_FALSE(iptc.LoadFromFile(ordner.filePath("fehlt.jpg")));
    EXPECT_EQ(iptc.feld(clsIPTC::ObjectName), "");
    EXPECT_FALSE(iptc.LoadFromFile(QString()));
    // Exactly the named file: the list has already found the file an entry names.
    EXPECT_FALSE(iptc.LoadFromFile(ordner.filePath("MIT.JPG")));
}
