#include "windows/HilfeBoxForm.h"

#include "app/FotolaufForm.h"
#include "app/Twips.h"
#include "windows/ImageForm.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {
// Key code and modifier mask each line sends; the last line ends the program.
struct Zeile {
    int eintrag;
    qint16 keyCode;
    qint16 shift;
};
constexpr Zeile kZeilen[14] = {
    {1204, 112, 0}, {1205, 113, 0}, {1206, 114, 0}, {1207, 115, 0}, {1208, 116, 0}, {1209, 117, 0}, {1210, 118, 0},
    {1211, 119, 0}, {1212, 120, 0}, {1213, 121, 0}, {1214, 122, 0}, {1215, 90, 2},  {1216, 79, 2},  {1217, 0, 0},
};
}  // namespace

namespace {
// On top of the picture without taking the keyboard, at a place of its own. Wayland lets a window
// do both only as a popup of another window (it places the others itself and gives each new one
// the keyboard); on X11 a tool window that stays on top does it.
Qt::WindowFlags Fensterart()
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return Qt::ToolTip | Qt::WindowStaysOnTopHint;
    return Qt::Tool | Qt::WindowStaysOnTopHint;
}
}  // namespace

HilfeBoxForm::HilfeBoxForm(Programm& programm)
    : QWidget(nullptr, Fensterart())
    , m_programm(programm)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::StrongFocus);
    const Programm& p = programm;
    for (int i = 0; i < 14; ++i) {
        auto* l = new QLabel(this);
        const int breite = i == 0 ? 9452 : i == 13 ? 9492 : 9456;
        TwipsPlatzieren(p, *l, 240, 240 + 360 * i, breite, 252);
        l->setCursor(Qt::PointingHandCursor);
        // Clicks go to the window, which finds the line under the pointer.
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_zeilen[i] = l;
    }
    for (int i = 0; i < 11; ++i) {
        Label[i] = m_zeilen[i];
        Label[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    }
    LabelStrgZ = m_zeilen[11];
    LabelStrgZ->setObjectName(QStringLiteral("LabelStrgZ"));
    LabelStrgO = m_zeilen[12];
    LabelStrgO->setObjectName(QStringLiteral("LabelStrgO"));
    lblAltF4 = m_zeilen[13];
    lblAltF4->setObjectName(QStringLiteral("lblAltF4"));
    Timer100msek.setInterval(100);
    Timer100msek.setSingleShot(true);
    connect(&Timer100msek, &QTimer::timeout, this, &HilfeBoxForm::Timer100msek_Timer);
    Form_Load();
}

HilfeBoxForm::~HilfeBoxForm() = default;

void HilfeBoxForm::Form_Load()
{
    Programm& p = m_programm;
    p.FensterLokalisieren(*this);
    setWindowTitle(p.Text(1203));
    for (int i = 0; i < 14; ++i)
        m_zeilen[i]->setText(p.Text(kZeilen[i].eintrag));
    setGeometry(200, 200, 850, 500);
}

void HilfeBoxForm::Zeigen()
{
    m_fokusAbgegeben = false;
    show();
    raise();
    Timer100msek.start();
}

void HilfeBoxForm::Timer100msek_Timer()
{
    Timer100msek.stop();
    m_fokusAbgegeben = true;
    ImageForm& bild = m_programm.imageForm();
    bild.activateWindow();
    bild.setFocus();
}

int HilfeBoxForm::ZeileBei(const QPoint& punkt) const
{
    for (int i = 0; i < 14; ++i)
        if (m_zeilen[i]->geometry().contains(punkt))
            return i;
    return -1;
}

void HilfeBoxForm::ZeileGeklickt(int zeile)
{
    if (zeile == 13) {
        m_programm.ProgrammBeenden();
        return;
    }
    m_keyCode = kZeilen[zeile].keyCode;
    m_shift = kZeilen[zeile].shift;
    Programm& p = m_programm;
    // The key handler closes this window itself; keep the program object as the anchor.
    p.fotolaufForm().Form_KeyDown(m_keyCode, m_shift);
    p.HilfeBoxSchliessen();
}

void HilfeBoxForm::SchliesseHilfeBox()
{
    Timer100msek.stop();
    Programm& p = m_programm;
    p.entladen(this);
    if (p.hatImageForm())
        p.imageForm().Neuzeichnen();
}

void HilfeBoxForm::mouseReleaseEvent(QMouseEvent* event)
{
    const int zeile = ZeileBei(event->position().toPoint());
    if (zeile >= 0)
        ZeileGeklickt(zeile);
    else
        SchliesseHilfeBox();
}

void HilfeBoxForm::keyPressEvent(QKeyEvent* event)
{
    // The keyboard belongs to the picture window once the help has handed it over. Where the
    // platform refuses a window the focus it asks for (Wayland gives it only to the window the user
    // chose), the key still reaches here: it acts as it would there, and that closes the help.
    if (m_fokusAbgegeben) {
        m_programm.fotolaufForm().TasteWeitergeben(*event);
        return;
    }
    // Before that, a key only closes the help; it is not passed on.
    SchliesseHilfeBox();
}
