// The settings window: interval and start/stop of the automatic show, order, background colour,
// temporary brightness, the enlargement rule and whether zoomed sections are kept. The settings
// live in its controls for the whole run; closing it only hides it.
#pragma once

#include "display/Platzierung.h"

#include <QWidget>

class Programm;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

// What showing pictures and the automatic show read from the settings window. Until the window is
// made it reads as a new window starts (see Programm::Einstellungen), so that showing the first
// picture need not make it.
struct Einstellungsstand {
    Vergroesserung regel = Vergroesserung::Ab1024Oder768;
    bool alphabetisch = true;
    bool positionSpeichern = false;
    bool operator==(const Einstellungsstand&) const = default;
};

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

    // 1 when the interval text is not a whole number of seconds from 1 to 60 (at most two
    // characters, numeric in the user's locale), else 0.
    static int IntervallFehlerhaft(const QString& wert);
    // What the controls say now.
    Einstellungsstand Lesen() const;

    void btnStarten_Click();
    void btnNichtStarten_Click();
    void optSchwarz_Click();
    void optGrau_Click();
    void HScroll1_Change();
    void btnZuruecksetzen_Click();
    void CheckSpeichernBildPosition_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Uebernehmen(bool starten);
    QRadioButton* RegelKnopf(Vergroesserung regel) const;
    Programm& m_programm;
};
