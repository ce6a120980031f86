// The file-type window: which of the eight picture types open with this program from the file
// manager. "Fertig" looks for the installed program and registers it for the ticked types.
#pragma once

#include "platform/Refusal.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <array>

class Programm;
class QCheckBox;
class QGroupBox;
class QPushButton;

class frmVerknuepfeDateitypenXP : public QDialog {
    Q_OBJECT
public:
    explicit frmVerknuepfeDateitypenXP(Programm& programm);
    ~frmVerknuepfeDateitypenXP() override;

    // Load, then shown modally; returns when the window has been unloaded.
    void zeigenModal();

    // The name that stands for the program file in the registered command and the registry keys.
    static const QString kProgrammdatei;

    QGroupBox* FrameTypen = nullptr;
    QCheckBox* CheckBMP = nullptr;
    QCheckBox* CheckCUR = nullptr;
    QCheckBox* CheckDIB = nullptr;
    QCheckBox* CheckEMF = nullptr;
    QCheckBox* CheckGIF = nullptr;
    QCheckBox* CheckICO = nullptr;
    QCheckBox* CheckJPG = nullptr;
    QCheckBox* CheckWMF = nullptr;
    QPushButton* btnAlleEin = nullptr;
    QPushButton* btnAlleAus = nullptr;
    QPushButton* btnFertig = nullptr;
    // The candidate folders of the two searches.
    QStringList List1;
    QStringList List2;

    void btnAlleEin_Click();
    void btnAlleAus_Click();
    void btnFertig_Click();

private:
    void Form_Load();
    void VerknuepfungenSchreiben();
    // One message for each file of the desktop that a write left unchanged, with the reason.
    void VerweigerungenMelden(const QList<Refusal>& verweigert);
    // The candidate changed most recently becomes the installation folder.
    void JuengstenOrdnerWaehlen(const QStringList& kandidaten);
    // The boxes in the order in which their types are registered.
    std::array<QCheckBox*, 8> Kaestchen() const;

    Programm& m_programm;
};
