#include "windows/XYPos.h"

#include "app/Twips.h"

#include "app/FotolaufForm.h"

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
    auto label = [this, &p](const char* name, const QString& text, int l, int t, int w, int h, bool feld) {
        auto* lbl = new QLabel(text, this);
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
    lbl1 = label("lbl1", QStringLiteral("X:"), 120, 120, 372, 372, false);
    lblXPos = label("lblXPos", QString(), 600, 120, 732, 372, true);
    Label1 = label("Label1", QStringLiteral("Y:"), 1560, 120, 372, 372, false);
    lblYPos = label("lblYPos", QString(), 2040, 120, 732, 372, true);
    Label2 = label("Label2", QString(), 120, 600, 1812, 612, false);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblBildgroesse = label("lblBildgroesse", QString(), 2040, 600, 1692, 372, true);
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
    return zahlen.toString(wert, 'g', 7);
}

void XYPos::Einpassen(QLabel* feld, const QString& text)
{
    QFont schrift = font();
    const int breite = feld->contentsRect().width() - 2;
    while (schrift.pointSizeF() > 5 && QFontMetrics(schrift).horizontalAdvance(text) > breite)
        schrift.setPointSizeF(schrift.pointSizeF() - 0.5);
    feld->setFont(schrift);
    feld->setText(text);
}

void XYPos::PositionZeigen(double x, double y)
{
    Einpassen(lblXPos, Zahl(x));
    Einpassen(lblYPos, Zahl(y));
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
