// The mouse-position window: the pointer position over the picture in picture pixels and the
// picture's size. Any key hides it and acts in the main window.
#pragma once

#include "windows/Zahlenfeld.h"

#include <QWidget>

class Programm;
class QLabel;

class XYPos : public QWidget {
    Q_OBJECT
public:
    explicit XYPos(Programm& programm);
    ~XYPos() override;

    QLabel* lbl1 = nullptr;
    Zahlenfeld* lblXPos = nullptr;
    QLabel* Label1 = nullptr;
    Zahlenfeld* lblYPos = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblBildgroesse = nullptr;

    // Shows a pointer position in picture pixels in lblXPos and lblYPos: unrounded (to the 15
    // significant digits a double holds for sure), without digit grouping, with the user's decimal
    // separator, and whole in its field.
    void PositionZeigen(double x, double y);
    static QString Zahl(double wert);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    Programm& m_programm;
};
