#include "app/StringTable.h"

#include <gtest/gtest.h>

TEST(StringTable, EveryGermanEntryHasItsEnglishTextThreeThousandAbove)
{
    const StringTable table;
    int german = 0;
    for (auto it = table.entries().begin(); it != table.entries().end(); ++it) {
        if (it.key() >= 1000 && it.key() <= 3836) {
            ++german;
            EXPECT_TRUE(table.contains(it.key() + 3000)) << it.key();
        } else {
            EXPECT_TRUE(it.key() >= 4000 && it.key() <= 6836) << it.key();
            EXPECT_TRUE(table.contains(it.key() - 3000)) << it.key();
        }
    }
    EXPECT_EQ(german, 130);
}

TEST(StringTable, TextsKeepTheirBlanksUmlautsAndAmpersands)
{
    const StringTable table;
    EXPECT_EQ(table.text(1379), QStringLiteral("Dateinamen-Erweiterung(Datei-Typ) "));
    EXPECT_EQ(table.text(4380), QStringLiteral(" "));
    EXPECT_EQ(table.text(1235), QStringLiteral("Sortierfolge wie bei Drag&&Drop"));
    EXPECT_EQ(table.text(1207), QStringLiteral("F4 - Zoom In (Vergrößern)"));
    EXPECT_EQ(table.text(2332), QStringLiteral("Sie haben mehr als 32767 Bilder angeboten. Das Programm hat die Anzahl "
                                               "von Bildern auf 32767 begrenzt."));
    EXPECT_EQ(table.text(999), QString());
}

TEST(StringTable, ParserSkipsCommentsAndKeepsTrailingBlanks)
{
    const auto e = StringTable::parse("# comment\n1\tone \r\n2\t\nbad line\n3\ta\tb\n");
    EXPECT_EQ(e.value(1), QStringLiteral("one "));
    EXPECT_EQ(e.value(2), QString());
    EXPECT_TRUE(e.contains(2));
    EXPECT_EQ(e.value(3), QStringLiteral("a\tb"));
    EXPECT_EQ(e.size(), 3);
}
