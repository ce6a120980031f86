// The picture window: full screen without a border, or an ordinary resizable window; closing it
// ends the program.
#pragma once

#include <QColor>
#include <QWidget>

class Programm;

class ImageForm : public QWidget {
    Q_OBJECT
public:
    explicit ImageForm(Programm& programm);
    ~ImageForm() override;

    void setHintergrundfarbe(const QColor& farbe);
    QColor Hintergrundfarbe() const { return m_hintergrund; }

    // Resizable window with the program's title, or full screen without border and caption.
    void FensterArtFestlegen(bool groesseAenderbar);
    bool GroesseAenderbar() const { return m_groesseAenderbar; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Programm& m_programm;
    QColor m_hintergrund = Qt::black;
    bool m_groesseAenderbar = false;
};
