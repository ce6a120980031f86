// The zoom window: the section marked with the rectangle magnifier, enlarged so that its width
// fills the screen, shown modally on black. Any key closes it and then acts in the main window.
#pragma once

#include "display/Bildflaeche.h"
#include "display/Bildzeichner.h"
#include "display/VolleAufloesung.h"
#include "platform/PictureLoader.h"

#include <QDialog>

#include <optional>

class Programm;

class ZoomForm : public QDialog {
    Q_OBJECT
public:
    explicit ZoomForm(Programm& programm);
    ~ZoomForm() override;

    // Load (which does all the work) and show modally; returns when the window is unloaded.
    void ZeigenModal();
    void Entladen();
    // The full resolution of the picture arrived: the enlarged section is drawn from it.
    void Schaerfen();

    Bildflaeche ImageZoom;
    double Faktor = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void reject() override;

private:
    bool Form_Load();
    // The picture at full resolution for ImageZoom, when it is there.
    std::optional<VolleAufloesung::Paar> volleAufloesung();
    Programm& m_programm;
    LoadedPicture m_bild;
    Bildzeichner m_zeichner;
    bool m_entladen = false;
};
