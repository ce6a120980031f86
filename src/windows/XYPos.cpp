#include "windows/XYPos.h"

#include "app/Twips.h"

#include "app/FotolaufForm.h"
#include "windows/Zahlenfeld.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>

XYPos::XYPos(Programm& programm)
    : QWidget(nullptr, Qt::Tool)
    , m_programm(programm)
{
    const Programm& p = programm;
    setFixedSize(TwipsZuPixelX(p, 3936), TwipsZuPixelY(p, 1332));
    auto label = [&p](auto* lbl, const char* name, const QString& text, int l, int t, int w, int h, bool feld) {
        lbl->setText(text);
        lbl->setObjectName(QString::fromLatin1(name));
        TwipsPlatzieren(p, *lbl, l, t, w, h);
        if (feld) {
            lbl->setAutoFillBackground(true);
            QPalette pal = lbl->palette();
            pal.setColor(QPalette::Window, Qt::white);
            pal.setColor(QPalette::WindowText, Qt::black);
            lbl->setPalette(pal);
            lbl->setFrameStyle(QFrame::Box | QFrame::Plain);
        }
        return lbl;
    };
    lbl1 = label(new QLabel(this), "lbl1", QStringLiteral("X:"), 120, 120, 372, 372, false);
    lblXPos = label(new Zahlenfeld(this), "lblXPos", QString(), 600, 120, 732, 372, true);
    Label1 = label(new QLabel(this), "Label1", QStringLiteral("Y:"), 1560, 120, 372, 372, false);
    lblYPos = label(new Zahlenfeld(this), "lblYPos", QString(), 2040, 120, 732, 372, true);
    Label2 = label(new QLabel(this), "Label2", QString(), 120, 600, 1812, 612, false);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblBildgroesse = label(new QLabel(this), "lblBildgroesse", QString(), 2040, 600, 1692, 372, true);
    Form_Load();
}

XYPos::~XYPos() = default;

void XYPos::Form_Load()
{
    Programm& p = m_programm;
    p.FensterLokalisieren(*this);
    setWindowTitle(p.Text(1219));
    Label2->setText(p.Text(1220));
}

QString XYPos::Zahl(double wert)
{
    QLocale zahlen;
    zahlen.setNumberOptions(QLocale::OmitGroupSeparator);
    return zahlen.toString(wert, 'g', 15);
}

void XYPos::PositionZeigen(double x, double y)
{
    lblXPos->Zeigen(Zahl(x));
    lblYPos->Zeigen(Zahl(y));
}

void XYPos::keyPressEvent(QKeyEvent* event)
{
    hide();
    m_programm.fotolaufForm().TasteWeitergeben(*event);
}

void XYPos::closeEvent(QCloseEvent* event)
{
    // Closing unloads the window; it is made anew when next needed.
    event->accept();
    m_programm.entladen(this);
}
