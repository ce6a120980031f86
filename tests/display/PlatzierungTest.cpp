// Placement of a newly shown picture on a 1024 × 768 screen (15 twips per pixel).
#include "display/Platzierung.h"

#include <gtest/gtest.h>

namespace {
const Bildschirm kSchirm{15360, 11520, 15360.0 / 11520.0, 15, 15};

QRect platziert(int breitePx, int hoehePx, Vergroesserung regel, bool aenderbar = false, const Bildschirm& s = kSchirm)
{
    Bildflaeche image1(s.TwipsProPixelX, s.TwipsProPixelY);
    Platzierung::Platzieren(image1, breitePx * s.TwipsProPixelX, hoehePx * s.TwipsProPixelY, s, regel, aenderbar);
    return image1.pixel();
}
}  // namespace

TEST(Platzierung, RulesForPicturesThatFitAndThoseThatDoNot)
{
    using V = Vergroesserung;
    // 120 dpi: 12 twips per pixel; a 640-pixel-wide picture is still "at least 640 pixels".
    const Bildschirm dpi120{12288, 9216, 12288.0 / 9216.0, 12, 12};
    struct Fall {
        const char* was;
        int w, h;
        V regel;
        QRect erwartet;
        bool aenderbar = false;
        const Bildschirm& schirm = kSchirm;
    } faelle[] = {
        {"equal to the screen, default rule: fitted, stays full screen", 1024, 768, V::Ab1024Oder768, {0, 0, 1024, 768}},
        {"equal to the screen, no rule: centred at natural size", 1024, 768, V::Keine, {0, 0, 1024, 768}},
        {"800x600 with the 640 rule: enlarged", 800, 600, V::Ab640, {0, 0, 1024, 768}},
        {"800x600 with the 800 rule: enlarged", 800, 600, V::Ab800, {0, 0, 1024, 768}},
        {"800x600 with the 1024 rule: centred", 800, 600, V::Ab1024, {112, 84, 800, 600}},
        {"800x600 with the default rule: centred", 800, 600, V::Ab1024Oder768, {112, 84, 800, 600}},
        {"639 wide with the 640 rule: centred", 639, 400, V::Ab640, {192, 184, 639, 400}},
        {"700x768 with the default rule: enlarged by its height", 700, 768, V::Ab1024Oder768, {162, 0, 700, 768}},
        {"portrait larger than the screen: fitted to the height", 600, 900, V::Keine, {256, 0, 512, 768}},
        {"wide landscape larger than the screen: fitted to the width", 2000, 1000, V::Keine, {0, 128, 1024, 512}},
        {"taller but narrower than the screen: fitted whatever the rule", 500, 1000, V::Keine, {320, 0, 384, 768}},
        {"small picture enlarged keeps its proportions", 640, 320, V::Ab640, {0, 128, 1024, 512}},
        {"resizable window: at the top left corner", 800, 600, V::Ab1024, {0, 0, 800, 600}, true},
        {"resizable window: fitted at the top left corner", 600, 900, V::Keine, {0, 0, 512, 768}, true},
        {"120 dpi, 640 wide with the 640 rule: enlarged", 640, 480, V::Ab640, {0, 0, 1024, 768}, false, dpi120},
        {"120 dpi, 640 wide with the 800 rule: centred", 640, 480, V::Ab800, {192, 144, 640, 480}, false, dpi120},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(platziert(f.w, f.h, f.regel, f.aenderbar, f.schirm), f.erwartet) << f.was;
}

TEST(Bildflaeche, KeepsWholePixelsAndRefusesSizesBeyondItsLimit)
{
    Bildflaeche f;
    f.setWidth(100);  // 6.67 px
    EXPECT_FLOAT_EQ(f.Width(), 105);
    f.setWidth(32767 * 15);
    EXPECT_EQ(f.pixel().width(), 32767);
    f.setWidth(32768 * 15);
    EXPECT_EQ(f.pixel().width(), 32767);
    f.setHeight(-15);
    EXPECT_EQ(f.pixel().height(), 0);
    f.setLeft(-4000);
    EXPECT_FLOAT_EQ(f.Left(), -4005);  // -266.67 pixels round to -267
}
