#include "windows/ImageForm.h"

#include "app/Programm.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

ImageForm::ImageForm(Programm& programm)
    : QWidget(nullptr, Qt::Window)
    , Picture1(programm.TwipsPerPixelX(), programm.TwipsPerPixelY(), 1000000000)
    , Image1(programm.TwipsPerPixelX(), programm.TwipsPerPixelY())
    , Shape1(programm.TwipsPerPixelX(), programm.TwipsPerPixelY())
    , m_programm(programm)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setHintergrundfarbe(Qt::black);
}

ImageForm::~ImageForm() = default;

void ImageForm::setImage1Bild(const LoadedPicture& bild)
{
    m_bild = bild;
    m_skaliert = QImage();
    m_skaliertVon = 0;
    update();
}

void ImageForm::Image1Leeren()
{
    setImage1Bild(LoadedPicture{});
}

void ImageForm::setHintergrundfarbe(const QColor& farbe)
{
    m_hintergrund = farbe;
    update();
}

void ImageForm::FensterArtFestlegen(bool groesseAenderbar)
{
    m_groesseAenderbar = groesseAenderbar;
    const bool sichtbar = isVisible();
    if (groesseAenderbar) {
        setWindowFlags(Qt::Window);
        setWindowTitle(m_programm.Text(1201));
    } else {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setWindowTitle(QString());
    }
    if (sichtbar)
        Anzeigen();
}

void ImageForm::Anzeigen()
{
    if (m_groesseAenderbar) {
        if (isFullScreen())
            showNormal();
        else
            show();
        return;
    }
    // Without a window manager a full-screen request alone leaves the default size: set the
    // screen's geometry as well.
    if (const QScreen* s = QGuiApplication::primaryScreen())
        setGeometry(s->geometry());
    showFullScreen();
    raise();
    activateWindow();
}

void ImageForm::ZeigerNormal()
{
    unsetCursor();
}

void ImageForm::ZeigerAusDatei(const QString& datei, int hotX, int hotY)
{
    const QPixmap bild(m_programm.platform().resolvePath(datei));
    if (bild.isNull())
        return;
    setCursor(QCursor(bild, hotX, hotY));
}

void ImageForm::closeEvent(QCloseEvent* event)
{
    // Unloading the picture window ends the program.
    event->accept();
    m_programm.ProgrammBeenden();
}

void ImageForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_hintergrund);
    if (Image1.Visible && m_bild.ok)
        bildZeichnen(p);
    if (Shape1.Visible) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(Shape1.pixel().adjusted(0, 0, -1, -1));
    }
}

void ImageForm::bildZeichnen(QPainter& p)
{
    const QRect ziel = Image1.pixel();
    if (ziel.isEmpty())
        return;
    const QRect sichtbar = ziel.intersected(rect());
    if (sichtbar.isEmpty())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage& bild = m_bild.image;
    if (bild.isNull())
        return;
    const qreal dpr = devicePixelRatioF();
    const QSize geraet(qRound(ziel.width() * dpr), qRound(ziel.height() * dpr));
    // Reduced pictures are averaged once to the size shown; enlarged ones are interpolated while
    // drawing, and only their visible part is touched, however far they are zoomed in.
    if (geraet.width() <= bild.width() && geraet.height() <= bild.height()) {
        if (m_skaliert.isNull() || m_skaliert.size() != geraet || m_skaliertVon != bild.cacheKey()) {
            m_skaliert = bild.scaled(geraet, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            m_skaliertVon = bild.cacheKey();
        }
        const QRect quelle((sichtbar.x() - ziel.x()) * dpr, (sichtbar.y() - ziel.y()) * dpr, sichtbar.width() * dpr,
                           sichtbar.height() * dpr);
        p.drawImage(sichtbar, m_skaliert, quelle);
        return;
    }
    const double sx = bild.width() / static_cast<double>(ziel.width());
    const double sy = bild.height() / static_cast<double>(ziel.height());
    const QRectF quelle((sichtbar.x() - ziel.x()) * sx, (sichtbar.y() - ziel.y()) * sy, sichtbar.width() * sx,
                        sichtbar.height() * sy);
    p.drawImage(QRectF(sichtbar), bild, quelle);
}
