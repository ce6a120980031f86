#include "windows/WertxForm.h"

#include "app/FotolaufForm.h"
#include "app/Twips.h"
#include "display/Helligkeit.h"
#include "lists/BildListenFeld.h"
#include "windows/ImageForm.h"
#include "windows/Optionsknopf.h"
#include "windows/Rahmen.h"
#include "windows/Umbruchknopf.h"

#include <QApplication>
#include <QLocale>
#include <QPainter>
#include <QTimer>

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

WertxForm::WertxForm(Programm& programm)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_programm(programm)
{
    const Programm& p = programm;
    setFixedSize(TwipsZuPixelX(p, 8196), TwipsZuPixelY(p, 9060));
    auto platz = [&p](QWidget* w, const char* name, int l, int t, int b, int h) {
        w->setObjectName(QString::fromLatin1(name));
        TwipsPlatzieren(p, *w, l, t, b, h);
    };
    // Created in tab order (lowest first), so that the focus chain follows it.
    CheckSpeichernBildPosition = new UmbruchKaestchen(this);
    platz(CheckSpeichernBildPosition, "CheckSpeichernBildPosition", 120, 8280, 7932, 495);
    Frame4 = new Rahmen(this);
    platz(Frame4, "Frame4", 120, 6720, 7932, 1455);
    btnZuruecksetzen = new QPushButton(Frame4);
    platz(btnZuruecksetzen, "btnZuruecksetzen", 2640, 840, 3372, 492);
    txtHelligkeit = new QLineEdit(QStringLiteral("80"), Frame4);
    platz(txtHelligkeit, "txtHelligkeit", 120, 960, 375, 285);
    HScroll1 = new QScrollBar(Qt::Horizontal, Frame4);
    platz(HScroll1, "HScroll1", 3960, 360, 1215, 255);
    HScroll1->setRange(0, 175);
    HScroll1->setValue(Helligkeit::kNeutral);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(10);
    // A level applies when the thumb is let go or a step is clicked, not at every position on the
    // way; the field shows the position meanwhile. Tab reaches the bar and the arrow keys step it.
    HScroll1->setTracking(false);
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    HScroll1->setInvertedControls(false);  // Right and Up towards "heller", as the bar reads
    connect(HScroll1, &QScrollBar::sliderMoved, this, [this](int wert) { txtHelligkeit->setText(QString::number(wert)); });
    Label3 = new QLabel(Frame4);
    platz(Label3, "Label3", 120, 360, 2412, 372);
    Label4 = new QLabel(Frame4);
    platz(Label4, "Label4", 2640, 360, 1332, 252);
    Label5 = new QLabel(Frame4);
    platz(Label5, "Label5", 5520, 360, 732, 252);
    Frame3 = new Rahmen(this);
    platz(Frame3, "Frame3", 120, 2760, 7932, 1215);
    OptZufaellig = new QRadioButton(Frame3);
    platz(OptZufaellig, "OptZufaellig", 240, 720, 5892, 255);
    OptAlphabetisch = new QRadioButton(Frame3);
    platz(OptAlphabetisch, "OptAlphabetisch", 240, 360, 5892, 255);
    Frame2 = new Rahmen(this);
    platz(Frame2, "Frame2", 120, 4080, 2652, 1572);
    optGrau = new QRadioButton(Frame2);
    platz(optGrau, "optGrau", 240, 480, 1212, 255);
    optSchwarz = new QRadioButton(Frame2);
    platz(optSchwarz, "optSchwarz", 240, 720, 1212, 375);
    optSchwarz->setChecked(true);
    Frame1 = new Rahmen(this);
    platz(Frame1, "Frame1", 120, 120, 7932, 2535);
    txtInterval = new QLineEdit(QStringLiteral("3"), Frame1);
    platz(txtInterval, "txtInterval", 2520, 1440, 375, 285);
    btnStarten = new QPushButton(Frame1);
    platz(btnStarten, "btnStarten", 120, 1920, 3372, 492);
    btnNichtStarten = new QPushButton(Frame1);
    platz(btnNichtStarten, "btnNichtStarten", 4440, 1920, 3372, 492);
    Label1 = new QLabel(Frame1);
    platz(Label1, "Label1", 120, 360, 4215, 1095);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = new QLabel(Frame1);
    platz(Label2, "Label2", 120, 1440, 2292, 252);
    Label2->setBuddy(txtInterval);
    Frame5 = new Rahmen(this);
    platz(Frame5, "Frame5", 2880, 4080, 5172, 2412);
    Opt1024Oder768 = new UmbruchOption(Frame5);
    platz(Opt1024Oder768, "Opt1024Oder768", 120, 1560, 4932, 732);
    Opt1024 = new QRadioButton(Frame5);
    platz(Opt1024, "Opt1024", 120, 1320, 4932, 255);
    Opt800 = new QRadioButton(Frame5);
    platz(Opt800, "Opt800", 120, 960, 4932, 255);
    Opt640 = new QRadioButton(Frame5);
    platz(Opt640, "Opt640", 120, 600, 4932, 255);
    OptKeine = new QRadioButton(Frame5);
    platz(OptKeine, "OptKeine", 120, 240, 4932, 255);
    // Every control is there now: the settings a new window starts with.
    const Einstellungsstand anfang;
    (anfang.alphabetisch ? OptAlphabetisch : OptZufaellig)->setChecked(true);
    RegelKnopf(anfang.regel)->setChecked(true);
    CheckSpeichernBildPosition->setChecked(anfang.positionSpeichern);

    // Tab order as listed from lowest to highest.
    const QList<QWidget*> reihenfolge = {CheckSpeichernBildPosition, btnZuruecksetzen, txtHelligkeit, HScroll1, OptZufaellig,
                                         OptAlphabetisch, optGrau, optSchwarz, txtInterval, btnStarten, btnNichtStarten,
                                         Opt1024Oder768, Opt1024, Opt800, Opt640, OptKeine};
    for (qsizetype i = 1; i < reihenfolge.size(); ++i)
        setTabOrder(reihenfolge[i - 1], reihenfolge[i]);

    connect(btnStarten, &QPushButton::clicked, this, &WertxForm::btnStarten_Click);
    connect(btnNichtStarten, &QPushButton::clicked, this, &WertxForm::btnNichtStarten_Click);
    Optionsknopf::BeiKlick(*optSchwarz, [this] { optSchwarz_Click(); });
    Optionsknopf::BeiKlick(*optGrau, [this] { optGrau_Click(); });
    connect(HScroll1, &QScrollBar::valueChanged, this, &WertxForm::HScroll1_Change);
    connect(btnZuruecksetzen, &QPushButton::clicked, this, &WertxForm::btnZuruecksetzen_Click);
    connect(CheckSpeichernBildPosition, &QCheckBox::clicked, this, &WertxForm::CheckSpeichernBildPosition_Click);
    Form_Load();
}

WertxForm::~WertxForm() = default;

QRadioButton* WertxForm::RegelKnopf(Vergroesserung regel) const
{
    switch (regel) {
    case Vergroesserung::Ab640: return Opt640;
    case Vergroesserung::Ab800: return Opt800;
    case Vergroesserung::Ab1024: return Opt1024;
    case Vergroesserung::Ab1024Oder768: return Opt1024Oder768;
    case Vergroesserung::Keine: break;
    }
    return OptKeine;
}

Einstellungsstand WertxForm::Lesen() const
{
    Einstellungsstand stand;
    stand.regel = Vergroesserung::Keine;
    for (Vergroesserung r : {Vergroesserung::Ab640, Vergroesserung::Ab800, Vergroesserung::Ab1024, Vergroesserung::Ab1024Oder768})
        if (RegelKnopf(r)->isChecked()) {
            stand.regel = r;
            break;
        }
    stand.alphabetisch = OptAlphabetisch->isChecked();
    stand.positionSpeichern = CheckSpeichernBildPosition->isChecked();
    return stand;
}

int WertxForm::IntervallFehlerhaft(const QString& wert)
{
    if (wert.isEmpty())
        return 1;
    // Sign, digits and the locale's decimal separator only; no exponent, no group separators.
    const QLocale locale;
    bool ok = false;
    const double zahl = locale.toDouble(wert, &ok);
    const QString erlaubt = QStringLiteral("+-0123456789") + locale.decimalPoint();
    for (QChar c : wert)
        if (!erlaubt.contains(c))
            ok = false;
    if (!ok)
        return 1;
    if (zahl > 60 || zahl < 1)
        return 1;
    if (wert.size() > 2)
        return 1;
    return 0;
}

void WertxForm::Uebernehmen(bool starten)
{
    Programm& p = m_programm;
    if (IntervallFehlerhaft(txtInterval->text()) != 0) {
        p.Meldung(p.Text(2186));
        return;
    }
    FotolaufForm& f = p.fotolaufForm();
    f.Timer1.setInterval(static_cast<int>(QLocale().toDouble(txtInterval->text()) * 1000));
    f.F6TimerGestartet = starten;
    qint16 keyCode = starten ? 117 : 118;
    qint16 shift = 0;
    f.Form_KeyDown(keyCode, shift);
    hide();
}

void WertxForm::btnStarten_Click()
{
    Uebernehmen(true);
}

void WertxForm::btnNichtStarten_Click()
{
    Uebernehmen(false);
}

void WertxForm::optSchwarz_Click()
{
    m_programm.imageForm().setHintergrundfarbe(Qt::black);
    hide();
}

void WertxForm::optGrau_Click()
{
    // The desktop's colour for button faces.
    m_programm.imageForm().setHintergrundfarbe(QApplication::palette().color(QPalette::Button));
    hide();
}

void WertxForm::HScroll1_Change()
{
    txtHelligkeit->setText(QString::number(HScroll1->value()));
    FotolaufForm& f = m_programm.fotolaufForm();
    f.Helligkeit = static_cast<qint16>(txtHelligkeit->text().toInt());
    hide();
    f.BildAnzeigen();
}

void WertxForm::btnZuruecksetzen_Click()
{
    FotolaufForm& f = m_programm.fotolaufForm();
    txtHelligkeit->setText(QString::number(Helligkeit::kNeutral));
    f.Helligkeit = Helligkeit::kNeutral;
    hide();
    f.BildAnzeigen();
    HScroll1->setValue(Helligkeit::kNeutral);  // a change shows the picture once more
}

void WertxForm::CheckSpeichernBildPosition_Click()
{
    Programm& p = m_programm;
    if (CheckSpeichernBildPosition->isChecked())
        return;
    const int anzahl = p.fotolaufForm().List1->ListCount();
    for (int i = 0; i < anzahl && static_cast<size_t>(i) < p.BildPosList.size(); ++i)
        p.BildPosList[static_cast<size_t>(i)] = Positionssatz{};
}

void WertxForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Each time the window comes on screen it gives itself Alt+A, the access key of
    // "&Automatik-Intervall:", which moves the focus on from that label in the tab order: to the
    // first control after it that takes the focus. (Repaints of its controls do not count, or
    // typing an interval would lose the focus.)
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            Opt1024Oder768->setFocus(Qt::ShortcutFocusReason);
    });
}
void WertxForm::Form_Load()
{
    Programm& p = m_programm;
    p.FensterLokalisieren(*this);
    setWindowTitle(p.Text(1218));
    Label1->setText(p.Text(1221));
    Label2->setText(p.Text(1098));
    Label3->setText(p.Text(1099));
    Label4->setText(p.Text(3108));
    Label5->setText(p.Text(3109));
    Frame1->setTitle(p.Text(3047));
    btnStarten->setText(p.Text(3048));
    btnNichtStarten->setText(p.Text(3049));
    Frame2->setTitle(p.Text(3107));
    Frame3->setTitle(p.Text(3104));
    Frame4->setTitle(p.Text(3050));
    Frame5->setTitle(p.Text(3073));
    OptKeine->setText(p.Text(3074));
    Opt640->setText(p.Text(3075));
    Opt800->setText(p.Text(3076));
    Opt1024->setText(p.Text(3077));
    Opt1024Oder768->setText(p.Text(3084));
    btnZuruecksetzen->setText(p.Text(3051));
    optGrau->setText(p.Text(3052));
    optSchwarz->setText(p.Text(3053));
    OptAlphabetisch->setText(p.Text(3105));
    OptZufaellig->setText(p.Text(3106));
    CheckSpeichernBildPosition->setText(p.Text(1222));
}

void WertxForm::closeEvent(QCloseEvent* event)
{
    // Closing only hides the window; its settings stay for the rest of the run.
    event->ignore();
    hide();
}
