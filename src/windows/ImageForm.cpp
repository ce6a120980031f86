#include "windows/ImageForm.h"

#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "platform/metafile/MetafilePicture.h"
#include "windows/HilfeBoxForm.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"
#include "windows/ZoomForm.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>

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
    setMouseTracking(true);
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
    if (!isActiveWindow()) {
        raise();
        activateWindow();
    }
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
    if (Image1.Visible && m_bild.ok)
        m_programm.Startmarke("picture painted");
}

void ImageForm::metafileZeichnen(QPainter& p, const QRect& ziel, const QRect& sichtbar, qreal dpr)
{
    // Vectors at the size shown: kept as a picture while that size stays, drawn directly (only the
    // visible part) when zoomed far in.
    const QSize geraet(qRound(ziel.width() * dpr), qRound(ziel.height() * dpr));
    if (qint64(geraet.width()) * geraet.height() <= 64LL * 1024 * 1024) {
        if (m_skaliert.isNull() || m_skaliert.size() != geraet || m_skaliertVon != -1) {
            m_skaliert = QImage(geraet, QImage::Format_ARGB32_Premultiplied);
            m_skaliert.fill(Qt::transparent);
            QPainter leinwand(&m_skaliert);
            leinwand.setRenderHint(QPainter::Antialiasing);
            m_bild.metafile->draw(leinwand, QRectF(QPointF(0, 0), QSizeF(geraet)));
            m_skaliertVon = -1;
        }
        m_skaliert.setDevicePixelRatio(dpr);
        p.drawImage(sichtbar.topLeft(), m_skaliert,
                    QRect((sichtbar.x() - ziel.x()) * dpr, (sichtbar.y() - ziel.y()) * dpr, sichtbar.width() * dpr,
                          sichtbar.height() * dpr));
        return;
    }
    p.save();
    p.setClipRect(sichtbar);
    p.setRenderHint(QPainter::Antialiasing);
    m_bild.metafile->draw(p, QRectF(ziel));
    p.restore();
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
    const qreal dpr = devicePixelRatioF();
    if (m_bild.metafile) {
        metafileZeichnen(p, ziel, sichtbar, dpr);
        return;
    }
    const QImage& bild = m_bild.image;
    if (bild.isNull())
        return;
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

// ---------------------------------------------------------------------------------------------
// Keys and mouse

void ImageForm::keyPressEvent(QKeyEvent* event)
{
    m_programm.fotolaufForm().TasteWeitergeben(*event);
}

QPointF ImageForm::relativZuImage1(const QPointF& punkt) const
{
    const QRect r = Image1.pixel();
    return QPointF((punkt.x() - r.x()) * m_programm.TwipsPerPixelX(), (punkt.y() - r.y()) * m_programm.TwipsPerPixelY());
}

void ImageForm::mousePressEvent(QMouseEvent* event)
{
    // Mouse events belong to the picture: a press beside it does nothing.
    m_maustasteAufBild = Image1.Visible && Image1.pixel().contains(event->position().toPoint());
    if (!m_maustasteAufBild)
        return;
    const QPointF t = relativZuImage1(event->position());
    const int knopf = event->button() == Qt::LeftButton ? 1 : event->button() == Qt::RightButton ? 2 : 4;
    Image1_MouseDown(knopf, t.x(), t.y());
}

void ImageForm::mouseMoveEvent(QMouseEvent* event)
{
    const bool ueberBild = Image1.Visible && Image1.pixel().contains(event->position().toPoint());
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
        const bool speichern = m_programm.wertxForm().CheckSpeichernBildPosition->isChecked();
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
    XYPos& xy = m_programm.xyPos();
    const QLocale zahlen;
    xy.lblXPos->setText(zahlen.toString(x / m_programm.TwipsPerPixelX() * PIV, 'g', QLocale::FloatingPointShortest));
    xy.lblYPos->setText(zahlen.toString(y / m_programm.TwipsPerPixelY() * PIV, 'g', QLocale::FloatingPointShortest));
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
