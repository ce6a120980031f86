// The key-help window: fourteen lines, one per command key; a click on a line acts like the key.
// It stays on top without taking the focus, which goes back to the picture window after 100 ms.
#pragma once

#include <QTimer>
#include <QWidget>

class Programm;
class QLabel;

class HilfeBoxForm : public QWidget {
    Q_OBJECT
public:
    explicit HilfeBoxForm(Programm& programm);
    ~HilfeBoxForm() override;

    // Loads (when needed) and shows the window on top without activating it.
    void Zeigen();
    void SchliesseHilfeBox();

    QLabel* Label[11] = {};  // Label1 … Label11
    QLabel* LabelStrgZ = nullptr;
    QLabel* LabelStrgO = nullptr;
    QLabel* lblAltF4 = nullptr;
    QTimer Timer100msek;

    // The line under a point of the window (its index 0..13), -1 for none.
    int ZeileBei(const QPoint& punkt) const;
    void ZeileGeklickt(int zeile);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Form_Load();
    void Timer100msek_Timer();
    Programm& m_programm;
    QLabel* m_zeilen[14] = {};
    qint16 m_keyCode = 0;
    qint16 m_shift = 0;
    bool m_fokusAbgegeben = false;  // the 100 ms are over: keys belong to the picture window
};
