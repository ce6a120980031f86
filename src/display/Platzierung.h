// Where and how large the picture is drawn: fitting to the screen, centring at the natural size
// and the enlargement rules for pictures that fit. All lengths are twips.
#pragma once

#include "display/Bildflaeche.h"

// Which pictures that fit the screen are nevertheless enlarged to it.
enum class Vergroesserung { Keine, Ab640, Ab800, Ab1024, Ab1024Oder768 };

struct Bildschirm {
    qint32 ScreenWidth = 0;  // twips
    qint32 ScreenHeight = 0;
    double SGVH = 0;         // ScreenWidth / ScreenHeight
    double TwipsProPixelX = 15;
    double TwipsProPixelY = 15;
};

namespace Platzierung {

// Fits the surface to the screen keeping the aspect a (natural width / natural height): it then
// touches two opposite screen edges and is centred along the other axis.
void PassendMachen(Bildflaeche& image1, double a, const Bildschirm& s);

// The placement of a newly shown picture of the given natural size (twips): fitted when larger
// than the screen, otherwise centred and enlarged by the rule; at the top left corner in a
// resizable window.
void Platzieren(Bildflaeche& image1, double natuerlicheBreite, double natuerlicheHoehe, const Bildschirm& s,
                Vergroesserung regel, bool groesseAenderbar);

// After a zoom: at the top left corner in a resizable window, otherwise centred on the screen.
void NachZoomPlatzieren(Bildflaeche& image1, const Bildschirm& s, bool groesseAenderbar);

}  // namespace Platzierung
