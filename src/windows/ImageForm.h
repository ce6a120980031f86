// The picture window: full screen without a border, or an ordinary resizable window. It shows
// the picture surface Image1 (the picture stretched into its rectangle), keeps the natural size in
// Picture1, and draws the magnifier's frame Shape1. Closing it ends the program.
#pragma once

#include "display/Bildflaeche.h"
#include "display/Bildzeichner.h"
#include "platform/PictureLoader.h"

#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>

class Programm;

class ImageForm : public QWidget {
    Q_OBJECT
public:
    explicit ImageForm(Programm& programm);
    ~ImageForm() override;

    // --- controls ------------------------------------------------------------------------------
    // In whole picture pixels, which are device pixels of the screen (see TwipsProBildpunktX).
    Bildflaeche Picture1;  // hidden; its size is the picture's natural size
    Bildflaeche Image1;    // the picture as shown, stretched to its rectangle
    Bildflaeche Shape1;    // the magnifier's frame

    // The picture of Image1 (the loaded picture, or its brightened copy).
    void setImage1Bild(const LoadedPicture& bild);
    const LoadedPicture& Image1Bild() const { return m_bild; }
    void Image1Leeren();

    // --- public fields -------------------------------------------------------------------------
    double PIV = 1.0;
    // The mouse press and the selection of the magnifier, in twips relative to Image1.
    qint32 StartX = 0;
    qint32 StartY = 0;
    qint32 EndX = 0;
    qint32 EndY = 0;

    // Mouse events on Image1 (button 1 left, 2 right; X and Y in twips relative to Image1).
    void Image1_MouseDown(int button, double x, double y);
    void Image1_MouseMove(int buttons, double x, double y);
    void Image1_MouseUp(int button, double x, double y);

    void setHintergrundfarbe(const QColor& farbe);
    QColor Hintergrundfarbe() const { return m_hintergrund; }

    // Resizable window with the program's title, or full screen without border and caption.
    void FensterArtFestlegen(bool groesseAenderbar);
    bool GroesseAenderbar() const { return m_groesseAenderbar; }
    // Shows the window in its chosen kind; full screen also where no window manager runs.
    void Anzeigen();
    // Makes the full-screen window ready to be shown, without showing it: its native window exists
    // and the memory it is painted into has been touched once, so that its first paint costs no
    // more than later ones. (The ordinary window gets its size only when shown.)
    void Vorbereiten();

    // Pointer over the window: the normal one, or one of the pointer files of the program folder
    // (unchanged when the file cannot be read).
    void ZeigerNormal();
    void ZeigerAusDatei(const QString& datei, int hotX = 16, int hotY = 16);

    // Redraws after the surfaces changed.
    void Neuzeichnen() { update(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ZeigeHilfeBox();
    void VollbildGeometrieSetzen();
    // Position of a window point relative to Image1, in twips, and whether the point is on it.
    QPointF relativZuImage1(const QPointF& punkt) const;
    bool UeberImage1(const QPointF& punkt) const;
    qint32 AktX = 0;
    bool m_maustasteAufBild = false;
    Programm& m_programm;
    QColor m_hintergrund = Qt::black;
    bool m_groesseAenderbar = false;
    // The ordinary window's first place, frame included, until the window manager's frame is known.
    QRect StartRahmen() const;
    void RahmenPlatzieren();
    QRect m_rahmenZiel;
    QTimer m_rahmenWarten;
    int m_rahmenVersuche = 0;
    static constexpr int kRahmenVersuche = 100;  // 5 s
    LoadedPicture m_bild;
    Bildzeichner m_zeichner;
};
