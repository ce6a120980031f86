#include "windows/ZoomForm.h"

#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "display/BildVorlader.h"
#include "windows/ImageForm.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

ZoomForm::ZoomForm(Programm& programm)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
    , ImageZoom(programm.TwipsProBildpunktX(), programm.TwipsProBildpunktY())
    , m_programm(programm)
    , m_zeichner(*this, [&programm]() -> BildVorlader& { return programm.fotolaufForm().Vorlader(); })
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
    FotolaufForm& f = p.fotolaufForm();
    Faktor = f.ScreenWidth / static_cast<double>(bild.EndX - bild.StartX);
    const double w = std::nearbyint(bild.Image1.Width() * Faktor);
    // The surface keeps whole pixels, so the width read back is rarely w to the twip: only a
    // width beyond what the surface holds is refused.
    if (!ImageZoom.setWidth(w)) {
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
    // The enlarged section comes from the full resolution, brightened like the picture on screen;
    // until that is there, the picture on screen is stretched.
    const auto voll = volleAufloesung();
    m_bild = voll ? voll->bild : bild.Image1Bild();
    ImageZoom.Visible = true;
    return true;
}

std::optional<VolleAufloesung::Paar> ZoomForm::volleAufloesung()
{
    return m_programm.fotolaufForm().VolleAufloesungFuer(ImageZoom.pixel().size());
}

void ZoomForm::Schaerfen()
{
    if (m_entladen || !ImageZoom.Visible)
        return;
    if (const auto voll = volleAufloesung()) {
        m_bild = voll->bild;
        update();
    }
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
    if (ImageZoom.Visible)
        m_zeichner.Zeichnen(painter, m_bild, ImageZoom.pixel(), Bildzeichner::Geraetefenster(*this), devicePixelRatioF());
}
