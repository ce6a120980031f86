#include "windows/ImageForm.h"

#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "display/BildVorlader.h"
#include "platform/FileSystem.h"
#include "windows/HilfeBoxForm.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"
#include "windows/ZoomForm.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include <QBackingStore>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

ImageForm::ImageForm(Programm& programm)
    : QWidget(nullptr, Qt::Window)
    , Picture1(programm.TwipsProBildpunktX(), programm.TwipsProBildpunktY(), 1000000000)
    , Image1(programm.TwipsProBildpunktX(), programm.TwipsProBildpunktY())
    , Shape1(programm.TwipsProBildpunktX(), programm.TwipsProBildpunktY())
    , m_programm(programm)
    , m_zeichner(*this, [&programm]() -> BildVorlader& { return programm.fotolaufForm().Vorlader(); })
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setHintergrundfarbe(Qt::black);
    m_rahmenWarten.setInterval(50);
    connect(&m_rahmenWarten, &QTimer::timeout, this, &ImageForm::RahmenPlatzieren);
}

ImageForm::~ImageForm() = default;

void ImageForm::setImage1Bild(const LoadedPicture& bild)
{
    m_bild = bild;
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
    const bool wirdAenderbar = groesseAenderbar && !m_groesseAenderbar;
    m_groesseAenderbar = groesseAenderbar;
    const bool sichtbar = isVisible();
    if (groesseAenderbar) {
        setWindowFlags(Qt::Window);
        setWindowTitle(m_programm.Text(1201));
        if (wirdAenderbar) {
            // An ordinary window starts at the top left corner of the screen's work area, half the
            // screen wide and as high as the work area, frame included; afterwards it keeps what
            // the user makes of it. Until the window manager has framed it, the client takes that
            // place.
            setWindowState(Qt::WindowNoState);
            m_rahmenZiel = StartRahmen();
            setGeometry(m_rahmenZiel);
        }
    } else {
        m_rahmenZiel = QRect();
        m_rahmenWarten.stop();
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setWindowTitle(QString());
    }
    if (sichtbar)
        Anzeigen();
}

QRect ImageForm::StartRahmen() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s) {
        const QSize schirm = m_programm.platform().screenSizePixels();
        return QRect(0, 0, schirm.width() / 2, schirm.height());
    }
    const QRect arbeitsflaeche = s->availableGeometry();
    return QRect(arbeitsflaeche.topLeft(), QSize(s->geometry().width() / 2, arbeitsflaeche.height()));
}

void ImageForm::RahmenPlatzieren()
{
    // The frame is known once the window manager has put the window into it; where none runs, the
    // client keeps the place it was given.
    const QRect rahmen = frameGeometry();
    const QRect innen = geometry();
    if (!m_rahmenZiel.isValid() || ++m_rahmenVersuche > kRahmenVersuche) {
        m_rahmenWarten.stop();
        return;
    }
    if (rahmen == innen)
        return;
    const QMargins rand(innen.left() - rahmen.left(), innen.top() - rahmen.top(), rahmen.right() - innen.right(),
                        rahmen.bottom() - innen.bottom());
    setGeometry(m_rahmenZiel.marginsRemoved(rand));
    m_rahmenZiel = QRect();
    m_rahmenWarten.stop();
}

void ImageForm::Anzeigen()
{
    if (m_groesseAenderbar) {
        if (isFullScreen())
            showNormal();
        else
            show();
        if (m_rahmenZiel.isValid() && !m_rahmenWarten.isActive()) {
            m_rahmenVersuche = 0;
            m_rahmenWarten.start();
        }
        return;
    }
    VollbildGeometrieSetzen();
    showFullScreen();
    if (!isActiveWindow()) {
        raise();
        activateWindow();
    }
}

void ImageForm::VollbildGeometrieSetzen()
{
    // Without a window manager a full-screen request alone leaves the default size: set the
    // screen's geometry as well.
    if (const QScreen* s = QGuiApplication::primaryScreen())
        setGeometry(s->geometry());
}

void ImageForm::Vorbereiten()
{
    if (m_groesseAenderbar || isVisible())
        return;
    VollbildGeometrieSetzen();
    winId();
    // Fresh memory costs more to touch than painting into it: the window's first paint would pay for
    // that on top of its drawing. Painted here, nothing reaches the screen before the window is shown.
    QBackingStore* speicher = backingStore();
    if (!speicher)
        return;
    speicher->resize(size());
    speicher->beginPaint(QRegion(rect()));
    if (QPaintDevice* flaeche = speicher->paintDevice()) {
        QPainter p(flaeche);
        p.fillRect(rect(), m_hintergrund);
    }
    speicher->endPaint();
}

void ImageForm::ZeigerNormal()
{
    unsetCursor();
}

void ImageForm::ZeigerAusDatei(const QString& datei, int hotX, int hotY)
{
    // Read like every other file (the program folder may have any name); a cursor is small.
    QByteArray daten;
    QPixmap bild;
    if (!FileSystem::readFile(FileSystem::resolvePath(datei), FileSystem::Limit::kSettings, daten) ||
        !bild.loadFromData(daten))
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
    const qreal dpr = devicePixelRatioF();
    if (Image1.Visible)
        m_zeichner.Zeichnen(p, m_bild, Image1.pixel(), Bildzeichner::Geraetefenster(*this), dpr);
    if (Shape1.Visible) {
        // Black dashes on a white line: the frame shows on every background, also on mid-grey,
        // where an inverted line would vanish. Its rectangle is in device pixels, like Image1's.
        const QRect rahmen = Shape1.pixel().adjusted(0, 0, -1, -1);
        const int breite = std::max(1, qRound(dpr));
        p.save();
        p.scale(1.0 / dpr, 1.0 / dpr);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, breite));
        p.drawRect(rahmen);
        QPen striche(Qt::black, breite);
        striche.setDashPattern({4, 4});
        p.setPen(striche);
        p.drawRect(rahmen);
        p.restore();
    }
    if (Image1.Visible && m_bild.ok)
        m_programm.Startmarke("picture painted");
}

// ---------------------------------------------------------------------------------------------
// Keys and mouse

void ImageForm::keyPressEvent(QKeyEvent* event)
{
    m_programm.fotolaufForm().TasteWeitergeben(*event);
}

QPointF ImageForm::relativZuImage1(const QPointF& punkt) const
{
    const QRect r = Image1.pixel();
    const QPointF geraet = punkt * devicePixelRatioF();
    return QPointF((geraet.x() - r.x()) * m_programm.TwipsProBildpunktX(), (geraet.y() - r.y()) * m_programm.TwipsProBildpunktY());
}

bool ImageForm::UeberImage1(const QPointF& punkt) const
{
    return Image1.Visible && Image1.pixel().contains((punkt * devicePixelRatioF()).toPoint());
}

void ImageForm::mousePressEvent(QMouseEvent* event)
{
    // Mouse events belong to the picture: a press beside it does nothing.
    m_maustasteAufBild = UeberImage1(event->position());
    if (!m_maustasteAufBild)
        return;
    const QPointF t = relativZuImage1(event->position());
    const int knopf = event->button() == Qt::LeftButton ? 1 : event->button() == Qt::RightButton ? 2 : 4;
    Image1_MouseDown(knopf, t.x(), t.y());
}

void ImageForm::mouseMoveEvent(QMouseEvent* event)
{
    const bool ueberBild = UeberImage1(event->position());
    const bool links = event->buttons().testFlag(Qt::LeftButton) && m_maustasteAufBild;
    if (!ueberBild && !links)
        return;
    const QPointF t = relativZuImage1(event->position());
    Image1_MouseMove(links ? 1 : 0, t.x(), t.y());
}

void ImageForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_maustasteAufBild)
        return;
    m_maustasteAufBild = false;
    const QPointF t = relativZuImage1(event->position());
    const int knopf = event->button() == Qt::LeftButton ? 1 : event->button() == Qt::RightButton ? 2 : 4;
    Image1_MouseUp(knopf, t.x(), t.y());
}

void ImageForm::Image1_MouseDown(int button, double x, double y)
{
    FotolaufForm& f = m_programm.fotolaufForm();
    const bool auswahl = f.RechteckLupeScharf || f.blnListBoxNeuDblClick;
    if (!auswahl && button == 1) {
        StartX = static_cast<qint32>(std::lround(x));
        StartY = static_cast<qint32>(std::lround(y));
        const bool speichern = m_programm.Einstellungen().positionSpeichern;
        ZeigerAusDatei(m_programm.AppPfad + (speichern ? QStringLiteral("/FourArrowsSave.ico") : QStringLiteral("/FourArrows.ico")));
        return;
    }
    if (button == 1) {
        Shape1.setWidth(0);
        Shape1.setHeight(0);
        StartX = static_cast<qint32>(std::lround(x));
        StartY = static_cast<qint32>(std::lround(y));
        Shape1.setLeft(Image1.Left() + x);
        Shape1.setTop(Image1.Top() + y);
        EndX = StartX;
        EndY = StartY;
        Shape1.Visible = true;
        update();
    }
}

void ImageForm::Image1_MouseMove(int buttons, double x, double y)
{
    FotolaufForm& f = m_programm.fotolaufForm();
    if (buttons & 1) {
        AktX = static_cast<qint32>(std::lround(x));
        bool weiter = true;
        if (x > EndX && y > EndY) {
            // The rectangle keeps the screen's proportions and follows the pointer: its right edge
            // is where the pointer is, or further right when the pointer is further down than
            // that width's height reaches, so the pointer always stays inside the frame.
            if (3.0 * (y - StartY) != 4.0 * (x - StartX))
                AktX = static_cast<qint32>(std::lround(std::max(x, StartX + (y - StartY) * f.SGVH)));
            if (AktX - StartX < 0) {
                weiter = false;
            } else {
                Shape1.setWidth(AktX - StartX);
                Shape1.setHeight(Shape1.Width() / f.SGVH);
                update();
            }
        }
        if (!weiter)
            return;
        EndX = static_cast<qint32>(std::lround(x));
        EndY = static_cast<qint32>(std::lround(y));
    }
    m_programm.xyPos().PositionZeigen(x / m_programm.TwipsProBildpunktX() * PIV, y / m_programm.TwipsProBildpunktY() * PIV);
}

void ImageForm::Image1_MouseUp(int button, double x, double y)
{
    Programm& p = m_programm;
    FotolaufForm& f = p.fotolaufForm();
    const bool lupe = f.RechteckLupeScharf;
    if (!lupe && !f.blnListBoxNeuDblClick && button == 1) {
        if (x == StartX || y == StartY)
            return;
        Image1.setLeft(Image1.Left() - StartX + x);
        Image1.setTop(Image1.Top() - StartY + y);
        f.SpeichernInBildPosList();
        ZeigerNormal();
        update();
        return;
    }
    f.blnListBoxNeuDblClick = false;
    if (button == 2 && !Shape1.Visible) {
        ZeigeHilfeBox();
        return;
    }
    if (!Shape1.Visible || !lupe)
        return;
    if (EndX == StartX || EndY == StartY) {
        Shape1.Visible = false;
        update();
        p.HilfeBoxSchliessen();
        p.Meldung(p.Text(2049) + Programm::CrLf + p.Text(2050) + Programm::CrLf + Programm::CrLf + p.Text(2051));
        return;
    }
    if (EndX - StartX >= 100 && EndY - StartY >= 75) {
        EndX = StartX + static_cast<qint32>(std::lround(Shape1.Width()));
        EndY = StartY + static_cast<qint32>(std::lround(Shape1.Height()));
        p.zoomForm().ZeigenModal();
        return;
    }
    p.Meldung(p.Text(2052) + Programm::CrLf + p.Text(2053) + Programm::CrLf + p.Text(2054) + Programm::CrLf + p.Text(2055));
    EndX = StartX + static_cast<qint32>(std::lround(Shape1.Width()));
    EndY = StartY + static_cast<qint32>(std::lround(Shape1.Height()));
}

void ImageForm::ZeigeHilfeBox()
{
    m_programm.hilfeBoxForm().Zeigen();
}
