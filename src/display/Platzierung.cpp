#include "display/Platzierung.h"

namespace Platzierung {

void PassendMachen(Bildflaeche& image1, double a, const Bildschirm& s)
{
    if (a <= s.SGVH) {
        image1.setTop(0);
        image1.setHeight(static_cast<float>(s.ScreenHeight));
        image1.setWidth(static_cast<float>(s.ScreenHeight * a));
        image1.setLeft(static_cast<float>(s.ScreenWidth / 2.0 - image1.Width() / 2.0));
    } else {
        image1.setLeft(0);
        image1.setWidth(static_cast<float>(s.ScreenWidth));
        image1.setHeight(static_cast<float>(s.ScreenWidth / a));
        image1.setTop(static_cast<float>(s.ScreenHeight / 2.0 - image1.Height() / 2.0));
    }
}

void Platzieren(Bildflaeche& image1, double natuerlicheBreite, double natuerlicheHoehe, const Bildschirm& s,
                Vergroesserung regel, bool groesseAenderbar)
{
    const double a = natuerlicheHoehe != 0 ? natuerlicheBreite / natuerlicheHoehe : 0.0;
    const bool groesser = natuerlicheBreite > s.ScreenWidth || natuerlicheHoehe > s.ScreenHeight;
    if (groesser) {
        PassendMachen(image1, a, s);
    } else {
        image1.setLeft(static_cast<float>(s.ScreenWidth / 2.0 - natuerlicheBreite / 2.0));
        image1.setTop(static_cast<float>(s.ScreenHeight / 2.0 - natuerlicheHoehe / 2.0));
        image1.setWidth(static_cast<float>(natuerlicheBreite));
        image1.setHeight(static_cast<float>(natuerlicheHoehe));
        auto mindestens = [](double schwellePixel, double tpp, double natuerlich) { return schwellePixel * tpp <= natuerlich; };
        const bool vergroessern =
            (regel == Vergroesserung::Ab640 && mindestens(640, s.TwipsProPixelX, natuerlicheBreite)) ||
            (regel == Vergroesserung::Ab800 && mindestens(800, s.TwipsProPixelX, natuerlicheBreite)) ||
            (regel == Vergroesserung::Ab1024 && mindestens(1024, s.TwipsProPixelX, natuerlicheBreite)) ||
            (regel == Vergroesserung::Ab1024Oder768 && mindestens(1024, s.TwipsProPixelX, natuerlicheBreite)) ||
            (regel == Vergroesserung::Ab1024Oder768 && mindestens(768, s.TwipsProPixelY, natuerlicheHoehe));
        if (vergroessern)
            PassendMachen(image1, a, s);
    }
    if (groesseAenderbar) {
        image1.setLeft(0);
        image1.setTop(0);
    }
}

void NachZoomPlatzieren(Bildflaeche& image1, const Bildschirm& s, bool groesseAenderbar)
{
    if (groesseAenderbar) {
        image1.setLeft(0);
        image1.setTop(0);
    } else {
        image1.setLeft(static_cast<float>(s.ScreenWidth / 2.0 - static_cast<float>(image1.Width() / 2.0f)));
        image1.setTop(static_cast<float>(s.ScreenHeight / 2.0 - static_cast<float>(image1.Height() / 2.0f)));
    }
}

}  // namespace Platzierung
