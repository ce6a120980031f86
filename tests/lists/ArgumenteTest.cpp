// Splitting argument strings and reading slide-list files.
#include "lists/Argumente.h"

#include <gtest/gtest.h>

TEST(Argumente, SlideListFileIsRecognisedByTheFirstFlf)
{
    struct Fall {
        const char* text;
        bool flf;
    } faelle[] = {
        {"/bilder/urlaub.flf", true},   {"/bilder/urlaub.FLF", true}, {"\"/bilder/ur laub.flf\"", true},
        {"/a.flf/b.flf", false},        {"/a/b.jpg", false},          {"abc", true},
        {"abcd", true},                 {"abcde", false},             {"x.flfx", true},
        {"x.flfxy", false},             {"", false},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(Argumente::IstFotolaufDatei(QString::fromUtf8(f.text)), f.flf) << f.text;
}

TEST(Argumente, NamesAreSplitAtBlanksOutsideQuotes)
{
    struct Fall {
        const char* text;
        QStringList namen;
    } faelle[] = {
        {"a.jpg \"b c.jpg\" d.jpg", {"a.jpg", "b c.jpg", "d.jpg"}},
        {"a.jpg", {"a.jpg"}},
        {"a.jpg  b.jpg", {"a.jpg", "", "b.jpg"}},
        {"a.jpg ", {"a.jpg", ""}},
        {"\"x y.jpg\"", {"x y.jpg"}},
        {"\"x y.jpg\" z.gif", {"x y.jpg", "z.gif"}},
        {"a.jpg \"b c.jpg\"", {"a.jpg", "b c.jpg"}},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(Argumente::NamenZerlegen(QString::fromUtf8(f.text)), f.namen) << f.text;
    // Joined as a command line carries them, names without quotes split back whole.
    const QStringList namen{"/a/b.jpg", "/Meine Bilder/c.jpg", "/x/  zwei.jpg"};
    EXPECT_EQ(Argumente::Verbinden(namen), QStringLiteral("/a/b.jpg \"/Meine Bilder/c.jpg\" \"/x/  zwei.jpg\""));
    EXPECT_EQ(Argumente::NamenZerlegen(Argumente::Verbinden(namen)), namen);
    EXPECT_EQ(Argumente::Verbinden({}), QString());
}

TEST(Argumente, SlideListFieldsEndAtCommasAndLineEnds)
{
    struct Fall {
        const char* text;
        QStringList felder;
    } faelle[] = {
        {"a.jpg\r\nb.jpg\r\n", {"a.jpg", "b.jpg"}},
        {"a.jpg\nb.jpg", {"a.jpg", "b.jpg"}},
        {"a.jpg\r\nb.jpg\r\n\r\n", {"a.jpg", "b.jpg", ""}},
        {"\r\na.jpg", {"", "a.jpg"}},
        {"/bilder/a,b.jpg\r\n", {"/bilder/a", "b.jpg"}},
        {"\"/bilder/a,b.jpg\"\r\nc.jpg", {"/bilder/a,b.jpg", "c.jpg"}},
        {"   /x/ein bild.jpg  \r\n", {"/x/ein bild.jpg"}},
        {"\"/q.jpg\"  ,r.jpg", {"/q.jpg", "r.jpg"}},
        {"a.jpg,", {"a.jpg"}},
        {"a.jpg,,b.jpg", {"a.jpg", "", "b.jpg"}},
        {"", {}},
        {"\"unterminated\r\nb.jpg", {"unterminated", "b.jpg"}},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(Argumente::FotolaufDateiFelder(QString::fromUtf8(f.text)), f.felder) << f.text;
}
