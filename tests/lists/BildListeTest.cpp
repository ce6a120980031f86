// The picture list: sorted and unsorted order, bulk additions, ticks, selection, the limit.
#include "lists/BildListe.h"
#include "lists/Bildtyp.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {
QStringList alle(const BildListe& l)
{
    QStringList r;
    for (const QString& e : l.Eintraege())
        r.append(e);
    return r;
}
}  // namespace

TEST(BildListe, SortedListIgnoresCaseAndKeepsEqualNamesInInsertionOrderUnsortedKeepsAll)
{
    const QStringList namen = {"/x/b.JPG", "/x/A.gif", "/x/a.GIF", "/x/Ä.jpg", "/x/c.bmp", "/x/B.jpg"};
    BildListe sortiert(true), unsortiert(false);
    for (const QString& n : namen) {
        sortiert.AddItem(n);
        unsortiert.AddItem(n);
    }
    EXPECT_EQ(alle(sortiert), QStringList({"/x/A.gif", "/x/a.GIF", "/x/Ä.jpg", "/x/b.JPG", "/x/B.jpg", "/x/c.bmp"}));
    EXPECT_EQ(alle(unsortiert), namen);
}

TEST(BildListe, BulkAdditionGivesTheSameOrderAsOneByOne)
{
    QStringList namen;
    auto* zufall = QRandomGenerator::global();
    for (int i = 0; i < 500; ++i) {
        QString n = QStringLiteral("/p/");
        const int laenge = 1 + zufall->bounded(6);
        for (int k = 0; k < laenge; ++k)
            n += QChar(u"aAbBäÄ_1. "[zufall->bounded(10)]);
        namen.append(n);
    }
    BildListe einzeln(true);
    BildListe auf_einmal(true);
    // Half of the names are already in the list, with a selection and a tick that must survive.
    for (int i = 0; i < 250; ++i) {
        einzeln.AddItem(namen[i]);
        auf_einmal.AddItem(namen[i]);
    }
    auf_einmal.setListIndex(17);
    auf_einmal.setSelected(17, true);
    const QString gewaehlt = auf_einmal.List(17);
    for (int i = 250; i < 500; ++i)
        einzeln.AddItem(namen[i]);
    auf_einmal.AddItems(namen.mid(250));
    EXPECT_EQ(alle(auf_einmal), alle(einzeln));
    EXPECT_EQ(auf_einmal.List(auf_einmal.ListIndex()), gewaehlt);
    EXPECT_TRUE(auf_einmal.Selected(auf_einmal.ListIndex()));
    int ticks = 0;
    for (int i = 0; i < auf_einmal.ListCount(); ++i)
        ticks += auf_einmal.Selected(i);
    EXPECT_EQ(ticks, 1);
}

TEST(BildListe, HoldsAtMost32767Entries)
{
    BildListe l(false);
    QStringList viele;
    for (int i = 0; i < 32770; ++i)
        viele.append(QString::number(i));
    l.AddItems(viele);
    EXPECT_EQ(l.ListCount(), 32767);
    EXPECT_EQ(l.List(32766), QStringLiteral("32766"));
    EXPECT_EQ(l.AddItem(QStringLiteral("x")), -1);
    EXPECT_EQ(l.ListCount(), 32767);
}

TEST(BildListe, SelectionAndTicksFollowRemovals)
{
    BildListe l(false);
    for (const char* n : {"a", "b", "c", "d"})
        l.AddItem(QString::fromLatin1(n));
    l.setListIndex(2);
    l.setSelected(3, true);
    l.RemoveItem(0);
    EXPECT_EQ(l.ListIndex(), 1);
    EXPECT_EQ(l.List(1), QStringLiteral("c"));
    EXPECT_TRUE(l.Selected(2));
    EXPECT_TRUE(l.IrgendeinHaekchen());
    l.RemoveItem(1);
    EXPECT_EQ(l.ListIndex(), -1);
    l.setListIndex(5);  // out of range: ignored
    EXPECT_EQ(l.ListIndex(), -1);
    EXPECT_EQ(l.List(7), QString());
    l.Clear();
    EXPECT_FALSE(l.IrgendeinHaekchen());
    EXPECT_EQ(l.ListCount(), 0);
}

TEST(Bildtyp, LastThreeLettersDecide)
{
    struct Fall {
        const char* name;
        bool typ;
        bool mitPunkt;
    } faelle[] = {
        {"a.jpg", true, true},   {"A.JPG", true, true},  {"x.Wmf", true, true},    {"photo.jpeg", false, false},
        {"bmp", true, false},    {"xgif", true, false},  {"c.png", false, false},  {"", false, false},
        {"jp", false, false},    {"a.dib", true, true},  {"a.cur", true, true},    {"a.ico", true, true},
        {"a.emf", true, true},   {"x.bmp ", false, false},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(Bildtyp::HatBildEndung(QString::fromLatin1(f.name)), f.typ) << f.name;
        EXPECT_EQ(Bildtyp::HatBildEndungMitPunkt(QString::fromLatin1(f.name)), f.mitPunkt) << f.name;
    }
    EXPECT_EQ(Bildtyp::Ordner(QStringLiteral("/a/b/c.jpg")), QStringLiteral("/a/b/"));
    EXPECT_EQ(Bildtyp::Ordner(QStringLiteral("/p.bmp")), QStringLiteral("/"));
    EXPECT_EQ(Bildtyp::Ordner(QStringLiteral("p.bmp")), QString());
}
