// The mouse-position window: the pointer position over the picture in picture pixels and the
// picture's size. Any key hides it and acts in the main window.
#pragma once

#include <QWidget>

class Programm;
class QLabel;

class XYPos : public QWidget {
    Q_OBJECT
public:
    explicit XYPos(Programm& programm);
    ~XYPos() override;

    QLabel* lbl1 = nullptr;
    QLabel* lblXPos = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblYPos = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblBildgroesse = nullptr;

    // Shows a pointer position in picture pixels in lblXPos and lblYPos: to single precision,
    // without digit grouping, with the user's decimal separator, and whole in its field (the font
    // gets smaller for a long number).
    void PositionZeigen(double x, double y);
    static QString Zahl(double wert);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Einpassen(QLabel* feld, const QString& text);
    Programm& m_programm;
};
