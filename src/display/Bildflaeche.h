// A surface on which a picture is shown: its rectangle is set and read in twips but kept in
// whole pixels, as a window control keeps it, so a size read back may differ from the size set.
// A width or height beyond its limit (kGroesstePixel unless given) is refused and the old value
// stays; the setters tell whether the size was taken.
#pragma once

#include <QRect>

#include <cmath>

class Bildflaeche {
public:
    // The largest width or height in pixels the surface takes.
    static constexpr int kGroesstePixel = 32767;

    explicit Bildflaeche(double twipsProPixelX = 15.0, double twipsProPixelY = 15.0, int grenze = kGroesstePixel)
        : m_tppX(twipsProPixelX)
        , m_tppY(twipsProPixelY)
        , m_grenze(grenze)
    {
    }
    void setTwipsProPixel(double x, double y)
    {
        m_tppX = x;
        m_tppY = y;
    }

    float Left() const { return static_cast<float>(m_px.x() * m_tppX); }
    float Top() const { return static_cast<float>(m_px.y() * m_tppY); }
    float Width() const { return static_cast<float>(m_px.width() * m_tppX); }
    float Height() const { return static_cast<float>(m_px.height() * m_tppY); }

    void setLeft(double twips) { m_px.moveLeft(zuPixel(twips, m_tppX)); }
    void setTop(double twips) { m_px.moveTop(zuPixel(twips, m_tppY)); }
    bool setWidth(double twips)
    {
        const int w = zuPixel(twips, m_tppX);
        if (w < 0 || w > m_grenze)
            return false;
        m_px.setWidth(w);
        return true;
    }
    bool setHeight(double twips)
    {
        const int h = zuPixel(twips, m_tppY);
        if (h < 0 || h > m_grenze)
            return false;
        m_px.setHeight(h);
        return true;
    }
    void Move(double left, double top, double width, double height)
    {
        setLeft(left);
        setTop(top);
        setWidth(width);
        setHeight(height);
    }

    // The rectangle in pixels of the window.
    QRect pixel() const { return m_px; }

    bool Visible = false;

private:
    static int zuPixel(double twips, double tpp)
    {
        const double px = std::nearbyint(twips / tpp);
        if (px > 1e9)
            return 1000000000;
        if (px < -1e9)
            return -1000000000;
        return static_cast<int>(px);
    }
    double m_tppX;
    double m_tppY;
    int m_grenze;
    QRect m_px{0, 0, 0, 0};
};
