// The settings window: interval and start/stop of the automatic show, order, background colour,
// temporary brightness, the enlargement rule and whether zoomed sections are kept. The settings
// live in its controls for the whole run; closing it only hides it.
#pragma once

#include <QWidget>

class Programm;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

class WertxForm : public QWidget {
    Q_OBJECT
public:
    explicit WertxForm(Programm& programm);
    ~WertxForm() override;

    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtInterval = nullptr;
    QPushButton* btnStarten = nullptr;
    QPushButton* btnNichtStarten = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* OptAlphabetisch = nullptr;
    QRadioButton* OptZufaellig = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* optGrau = nullptr;
    QRadioButton* optSchwarz = nullptr;
    QGroupBox* Frame5 = nullptr;
    QRadioButton* OptKeine = nullptr;
    QRadioButton* Opt640 = nullptr;
    QRadioButton* Opt800 = nullptr;
    QRadioButton* Opt1024 = nullptr;
    QRadioButton* Opt1024Oder768 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtHelligkeit = nullptr;
    QPushButton* btnZuruecksetzen = nullptr;
    QCheckBox* CheckSpeichernBildPosition = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    Programm& m_programm;
};
