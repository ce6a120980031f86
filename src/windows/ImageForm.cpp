#include "windows/ImageForm.h"

#include "app/Programm.h"

#include <QCloseEvent>

ImageForm::ImageForm(Programm& programm)
    : QWidget(nullptr, Qt::Window)
    , m_programm(programm)
{
    setAutoFillBackground(true);
    setHintergrundfarbe(Qt::black);
}

ImageForm::~ImageForm() = default;

void ImageForm::setHintergrundfarbe(const QColor& farbe)
{
    m_hintergrund = farbe;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, farbe);
    setPalette(pal);
}

void ImageForm::FensterArtFestlegen(bool groesseAenderbar)
{
    m_groesseAenderbar = groesseAenderbar;
    if (groesseAenderbar) {
        setWindowFlags(Qt::Window);
        setWindowTitle(m_programm.Text(1201));
    } else {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setWindowTitle(QString());
    }
}

void ImageForm::closeEvent(QCloseEvent* event)
{
    // Unloading the picture window ends the program.
    event->accept();
    m_programm.ProgrammBeenden();
}
