// The IPTC view of the list window: display order, the four display kinds and the lines it
// appends for the selected entry's picture.
#include "listwindow/ListBoxForm.h"

#include "MetadataFixtures.h"
#include "support/Fixtures.h"
#include "support/ScriptedPlatform.h"
#include "app/Programm.h"
#include "lists/BildListenFeld.h"
#include "metadata/clsIPTC.h"

#include <QListWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace MetadataFixtures;

namespace {

class IptcAnzeige : public ::testing::Test {
protected:
    // Shows the IPTC lines of a file holding the given record-2 datasets.
    QStringList zeigen(const QByteArray& datasets)
    {
        const QString pfad = Fixtures::writeFile(m_ordner.filePath("bild.jpg"), jpegMitApp13({photoshop(resource(0x0404, datasets))}));
        return zeigenDatei(pfad);
    }
    QStringList zeigenDatei(const QString& pfad)
    {
        m_form.ListBoxNeu->Clear();
        m_form.ListBoxNeu->AddItem(pfad);
        m_form.ListBoxNeu->setListIndex(0);
        m_form.lstExifIptc->clear();
        m_form.IptcAnzeigen();
        return zeilen();
    }
    QStringList zeilen() const
    {
        QStringList z;
        for (int i = 0; i < m_form.lstExifIptc->count(); ++i)
            z << m_form.lstExifIptc->item(i)->text();
        return z;
    }

    QTemporaryDir m_ordner;
    ScriptedPlatform m_platform;
    Programm m_programm{m_platform};
    ListBoxForm m_form{m_programm};
};

}  // namespace

TEST_F(IptcAnzeige, ShowsEveryFieldInDisplayOrderWithItsLabelAndKind)
{
    QByteArray alle;
    // Written in the reader's own order, so the display order must come from the window.
    for (const auto& zeile : clsIPTC::kFelder) {
        QByteArray wert = "v" + QByteArray::number(zeile.dataset);
        if (zeile.dataset == 55)
            wert = "20240731";
        if (zeile.dataset == 60)
            wert = "142501+0200";
        alle += iim(2, zeile.dataset, wert);
    }
    EXPECT_EQ(zeigen(alle), (QStringList{
                                "Originating Program - v65", "Object name - v5", "Byline - v80", "Byline title - v85",
                                "Caption - ", "v120", "Caption writer - v122", "Copyright notice - v116",
                                "Special Instructions - ", "v40", "Urgency - v10", "Date created - 07/31/2024",
                                "Time created - 14:25:01 GMT+0200", "City - v90", "Province/State - v95", "Country - v101",
                                "Credit - v110", "Source - v115", "Headline - ", "v105", "Transmission reference - v103",
                                "Category - v15", "Supplemental Categories - ", "v20", "Keywords - ", "v25"}));
}

TEST_F(IptcAnzeige, WrapsLongTextsIntoPiecesOfSeventyCharactersNeverSplittingOne)
{
    // 150 characters give pieces of 70, 70 and 10; one of them has two, three or four UTF-8
    // bytes (one or two UTF-16 units) or combining marks, at every position around the cuts.
    const QString besondere[] = {QStringLiteral(u"ü"), QStringLiteral(u"€"), QStringLiteral(u"😀"),
                                 QStringLiteral(u"e\u0301"), QStringLiteral(u"a\u0308\u0323"),
                                 QStringLiteral(u"👍🏽")};
    for (const QString& x : besondere) {
        for (int p : {0, 1, 68, 69, 70, 71, 138, 139, 140}) {
            SCOPED_TRACE(x.toStdString() + " at " + std::to_string(p));
            QStringList zeichen;
            for (int i = 0; i < 150; ++i)
                zeichen << (i == p ? x : QString(QChar(u'a' + i % 26)));
            QStringList erwartet{"Caption - "};
            for (qsizetype i = 0; i < zeichen.size(); i += 70)
                erwartet << zeichen.mid(i, 70).join(QString());
            EXPECT_EQ(zeigen(iim(2, 120, zeichen.join(QString()).toUtf8())), erwartet);
        }
    }
    EXPECT_EQ(zeigen(iim(2, 120, QByteArray(70, 'x'))), (QStringList{"Caption - ", QString(70, u'x')}));
    EXPECT_EQ(zeigen(iim(2, 25, "Strand") + iim(2, 25, "Meer")), (QStringList{"Keywords - ", "Strand;Meer"}));
}

TEST_F(IptcAnzeige, DateAndTimeAreRearrangedAndShortValuesGiveEmptyPieces)
{
    struct Fall {
        QByteArray datum, zeit;
        QStringList erwartet;
    };
    const Fall faelle[] = {
        {"19991231", "235959", {"Date created - 12/31/1999", "Time created - 23:59:59 GMT"}},
        {"20010203", "010203-0500", {"Date created - 02/03/2001", "Time created - 01:02:03 GMT-0500"}},
        {"2001", "1", {"Date created - //2001", "Time created - 1:: GMT"}},
    };
    for (const Fall& fall : faelle)
        EXPECT_EQ(zeigen(iim(2, 55, fall.datum) + iim(2, 60, fall.zeit)), fall.erwartet);
}

TEST_F(IptcAnzeige, EmptyFieldsAndFilesWithoutIptcAddNothingAndLinesAreAppended)
{
    EXPECT_EQ(zeigen(iim(2, 5, "") + iim(2, 120, "") + iim(2, 90, "Berlin")), (QStringList{"City - Berlin"}));
    EXPECT_TRUE(zeigenDatei(m_ordner.filePath("fehlt.jpg")).isEmpty());
    EXPECT_TRUE(zeigenDatei(Fixtures::writeFile(m_ordner.filePath("ohne.jpg"), jpegMitApp13({}))).isEmpty());

    // The caller clears the list; the view only appends, and reads the file anew each time.
    const QString pfad = Fixtures::writeFile(m_ordner.filePath("stadt.jpg"), jpegMitApp13({photoshop(resource(0x0404, iim(2, 90, "Bonn")))}));
    zeigenDatei(pfad);
    m_form.lstExifIptc->clear();
    m_form.lstExifIptc->addItem("schon da");
    m_form.IptcAnzeigen();
    Fixtures::writeFile(m_ordner.filePath("stadt.jpg"), jpegMitApp13({photoshop(resource(0x0404, iim(2, 90, "Köln")))}));
    m_form.IptcAnzeigen();
    EXPECT_EQ(zeilen(), (QStringList{"schon da", "City - Bonn", QString::fromUtf8("City - Köln")}));
}
