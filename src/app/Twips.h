// Window geometry given in twips (1/1440 inch) converted to the toolkit's logical pixels.
#pragma once

#include "app/Programm.h"

#include <QRect>
#include <QWidget>

#include <cmath>

inline int TwipsZuPixelX(const Programm& p, double twips) { return static_cast<int>(std::lround(twips / p.TwipsPerPixelX())); }
inline int TwipsZuPixelY(const Programm& p, double twips) { return static_cast<int>(std::lround(twips / p.TwipsPerPixelY())); }

inline QRect TwipsRechteck(const Programm& p, double left, double top, double width, double height)
{
    return QRect(TwipsZuPixelX(p, left), TwipsZuPixelY(p, top), TwipsZuPixelX(p, width), TwipsZuPixelY(p, height));
}

inline void TwipsPlatzieren(const Programm& p, QWidget& w, double left, double top, double width, double height)
{
    w.setGeometry(TwipsRechteck(p, left, top, width, height));
}
