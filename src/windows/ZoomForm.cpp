#include "windows/ZoomForm.h"

#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "platform/metafile/MetafilePicture.h"
#include "windows/ImageForm.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

ZoomForm::ZoomForm(Programm& programm)
    : QDialog(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , ImageZoom(programm.TwipsPerPixelX(), programm.TwipsPerPixelY())
    , m_programm(programm)
{
    setWindowTitle(QStringLiteral("Zoom"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ZoomForm::~ZoomForm() = default;

void ZoomForm::ZeigenModal()
{
    if (!Form_Load()) {
        Entladen();
        return;
    }
    if (const QScreen* s = QGuiApplication::primaryScreen())
        setGeometry(s->geometry());
    setWindowState(Qt::WindowFullScreen);
    m_programm.platform().execModal(*this);
}

bool ZoomForm::Form_Load()
{
    Programm& p = m_programm;
    p.HilfeBoxSchliessen();
    ImageForm& bild = p.imageForm();
    const FotolaufForm& f = p.fotolaufForm();
    // The enlarged section is drawn from the picture at its full resolution, so it stays sharp.
    m_bild = bild.Image1Bild();
    if (m_bild.reduced() && f.Helligkeit == 80) {
        LoadedPicture voll = p.bildLader().load(p.AngezeigteDateiPfad);
        if (voll.ok && voll.naturalSize == m_bild.naturalSize)
            m_bild = voll;
    }
    Faktor = f.ScreenWidth / static_cast<double>(bild.EndX - bild.StartX);
    const double w = std::nearbyint(bild.Image1.Width() * Faktor);
    ImageZoom.setWidth(w);
    if (ImageZoom.Width() != static_cast<float>(w)) {
        p.Meldung(p.Text(2066));
        return false;
    }
    ImageZoom.setHeight(bild.Image1.Height() * Faktor);
    if (ImageZoom.Width() < f.ScreenWidth)
        ImageZoom.setLeft((f.ScreenWidth - ImageZoom.Width()) / 2.0);
    else
        ImageZoom.setLeft(-bild.StartX * Faktor);
    if (ImageZoom.Height() < f.ScreenHeight)
        ImageZoom.setTop((f.ScreenHeight - ImageZoom.Height()) / 2.0);
    else
        ImageZoom.setTop(-bild.StartY * Faktor);
    ImageZoom.Visible = true;
    return true;
}

void ZoomForm::Entladen()
{
    if (m_entladen)
        return;
    m_entladen = true;
    if (isVisible())
        done(QDialog::Accepted);
    m_programm.entladen(this);
}

void ZoomForm::reject()
{
    // Escape is a key like any other: it closes the view and acts in the main window.
    Entladen();
}

void ZoomForm::keyPressEvent(QKeyEvent* event)
{
    Programm& p = m_programm;
    Entladen();
    p.fotolaufForm().TasteWeitergeben(*event);
}

void ZoomForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!ImageZoom.Visible || !m_bild.ok)
        return;
    const QRect ziel = ImageZoom.pixel();
    const QRect sichtbar = ziel.intersected(rect());
    if (sichtbar.isEmpty())
        return;
    if (m_bild.metafile) {
        // Vectors, drawn at the enlarged size: sharp however far the section is enlarged.
        painter.setClipRect(sichtbar);
        painter.setRenderHint(QPainter::Antialiasing);
        m_bild.metafile->draw(painter, QRectF(ziel));
        return;
    }
    if (m_bild.image.isNull())
        return;
    // Only the visible part is drawn, however large the enlarged picture is.
    const double sx = m_bild.image.width() / static_cast<double>(ziel.width());
    const double sy = m_bild.image.height() / static_cast<double>(ziel.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(sichtbar), m_bild.image,
                      QRectF((sichtbar.x() - ziel.x()) * sx, (sichtbar.y() - ziel.y()) * sy, sichtbar.width() * sx,
                             sichtbar.height() * sy));
}
