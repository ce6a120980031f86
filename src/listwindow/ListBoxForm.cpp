#include "listwindow/ListBoxForm.h"

#include "app/FotolaufForm.h"
#include "app/Twips.h"
#include "lists/BildListenFeld.h"
#include "listwindow/EasyPopupMenu.h"
#include "listwindow/Listenfenster.h"
#include "windows/HilfeBoxForm.h"
#include "windows/ImageForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

ListBoxForm::ListBoxForm(Programm& programm)
    // A dialog, so that it can belong to the picture window and stay above it (see Fensterordnung).
    : QWidget(nullptr, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
    , m_programm(programm)
{
    const Programm& p = programm;
    ListBoxNeu = new BildListenFeld(programm.Arbeitsliste(), true, this);
    ListBoxNeu->setObjectName(QStringLiteral("ListBoxNeu"));
    btnAktionAusfuehren = new QPushButton(this);
    btnAktionAusfuehren->setObjectName(QStringLiteral("btnAktionAusfuehren"));
    FrameExifIptc = new QGroupBox(this);
    FrameExifIptc->setObjectName(QStringLiteral("FrameExifIptc"));
    chkExifAnzeigen = new QCheckBox(FrameExifIptc);
    chkExifAnzeigen->setObjectName(QStringLiteral("chkExifAnzeigen"));
    chkIptcAnzeigen = new QCheckBox(FrameExifIptc);
    chkIptcAnzeigen->setObjectName(QStringLiteral("chkIptcAnzeigen"));
    txtEXIFInfo = new QPlainTextEdit(FrameExifIptc);
    txtEXIFInfo->setObjectName(QStringLiteral("txtEXIFInfo"));
    txtEXIFInfo->setReadOnly(true);
    txtEXIFInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtEXIFInfo->hide();
    lstExifIptc = new QListWidget(FrameExifIptc);
    lstExifIptc->setObjectName(QStringLiteral("lstExifIptc"));
    lstExifIptc->hide();
    setzen(ListBoxNeu, 0, 600, 8055, 3072);
    setzen(btnAktionAusfuehren, 2520, 120, 3495, 375);
    setzen(FrameExifIptc, 8160, 0, 5172, 3855);
    setzen(chkExifAnzeigen, 120, 120, 4932, 255);
    setzen(chkIptcAnzeigen, 120, 360, 4932, 255);
    setzen(txtEXIFInfo, 120, 720, 4932, 3012);
    setzen(lstExifIptc, 120, 720, 4932, 2928);
    resize(TwipsZuPixelX(p, 13392), TwipsZuPixelY(p, 3936));

    connect(ListBoxNeu, &BildListenFeld::EintragGeklickt, this, &ListBoxForm::ListBoxNeu_Click);
    connect(ListBoxNeu, &BildListenFeld::EintragDoppelgeklickt, this, &ListBoxForm::ListBoxNeu_DblClick);
    connect(chkExifAnzeigen, &QCheckBox::toggled, this, &ListBoxForm::chkExifAnzeigen_Click);
    connect(chkIptcAnzeigen, &QCheckBox::toggled, this, &ListBoxForm::chkIptcAnzeigen_Click);
    connect(btnAktionAusfuehren, &QPushButton::clicked, this, &ListBoxForm::btnAktionAusfuehren_Click);
    // The window sees every key and the right mouse button before its controls do.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    ListBoxNeu->viewport()->installEventFilter(this);
    Form_Load();
}

ListBoxForm::~ListBoxForm() = default;

void ListBoxForm::Form_Load()
{
    Programm& p = m_programm;
    p.FensterLokalisieren(*this);
    setWindowTitle(p.Text(3103));
    btnAktionAusfuehren->setText(p.Text(3117));
    chkExifAnzeigen->setText(p.Text(1116));
    chkIptcAnzeigen->setText(p.Text(1117));
    // Long IPTC lines scroll sideways (the list view sizes its own scroll range).
    lstExifIptc->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

// ---------------------------------------------------------------------------------------------
// Geometry in twips

void ListBoxForm::anwenden(QWidget* control)
{
    const Twips& t = m_twips[control];
    control->setGeometry(TwipsRechteck(m_programm, t.Left, t.Top, t.Width, t.Height));
}

void ListBoxForm::setzen(QWidget* control, double left, double top, double width, double height)
{
    m_twips.insert(control, Twips{left, top, width, height});
    anwenden(control);
}

void ListBoxForm::setzeBreite(QWidget* control, double width)
{
    if (width < 0)
        return;
    m_twips[control].Width = width;
    anwenden(control);
}

void ListBoxForm::setzeHoehe(QWidget* control, double height)
{
    if (height < 0)
        return;
    m_twips[control].Height = height;
    anwenden(control);
}

void ListBoxForm::setzeLinks(QWidget* control, double left)
{
    m_twips[control].Left = left;
    anwenden(control);
}

ListBoxForm::Twips ListBoxForm::Geometrie(const QWidget* control) const
{
    return m_twips.value(control);
}

void ListBoxForm::Form_Resize(double w, double h)
{
    // Each step on its own: one that fails (a negative size) leaves the rest to run.
    setzeBreite(ListBoxNeu, w - 100 - m_twips[FrameExifIptc].Width);
    setzeLinks(FrameExifIptc, w - m_twips[FrameExifIptc].Width);
    setzeHoehe(ListBoxNeu, h - 865);
    setzeHoehe(FrameExifIptc, m_twips[ListBoxNeu].Height + 565);
    setzeHoehe(lstExifIptc, m_twips[ListBoxNeu].Height - 100);
    setzeHoehe(txtEXIFInfo, m_twips[ListBoxNeu].Height - 250);
}

void ListBoxForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize(width() * m_programm.TwipsPerPixelX(), height() * m_programm.TwipsPerPixelY());
}

// ---------------------------------------------------------------------------------------------
// Keys, clicks, check boxes

void ListBoxForm::keyPressEvent(QKeyEvent* event)
{
    hide();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ListBoxNeu_DblClick();
        return;
    }
    m_programm.fotolaufForm().TasteWeitergeben(*event);
}

bool ListBoxForm::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (ereignis->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(ereignis));
        return true;
    }
    const QEvent::Type art = ereignis->type();
    const bool maus = art == QEvent::MouseButtonPress || art == QEvent::MouseButtonDblClick || art == QEvent::MouseButtonRelease;
    if (maus && objekt == ListBoxNeu->viewport() && static_cast<QMouseEvent*>(ereignis)->button() == Qt::RightButton) {
        // The right button on an entry only asks for the key help: the current position stays.
        if (art == QEvent::MouseButtonRelease)
            m_programm.hilfeBoxForm().Zeigen();
        return true;
    }
    return QWidget::eventFilter(objekt, ereignis);
}

void ListBoxForm::mouseReleaseEvent(QMouseEvent* event)
{
    // The window's free area (and what its frames leave free): the key help as well.
    if (event->button() == Qt::RightButton)
        m_programm.hilfeBoxForm().Zeigen();
    else
        QWidget::mouseReleaseEvent(event);
}

void ListBoxForm::closeEvent(QCloseEvent* event)
{
    event->ignore();
    hide();
}

void ListBoxForm::ListBoxNeu_DblClick()
{
    Programm& p = m_programm;
    p.fotolaufForm().blnListBoxNeuDblClick = true;
    p.imageForm().Image1.Visible = true;
    hide();
    p.fotolaufForm().BildAnzeigen();
}

void ListBoxForm::StandUebernehmen(const Listenfensterstand& stand)
{
    Programm& p = m_programm;
    if (!stand.titel.isEmpty())
        setWindowTitle(stand.titel);
    chkExifAnzeigen->setEnabled(stand.ansichtenAn);
    chkIptcAnzeigen->setEnabled(stand.ansichtenAn);
    if (stand.hinweis)
        txtEXIFInfo->setPlainText(p.Text(1225) + Programm::CrLf + p.Text(1226) + Programm::CrLf + p.Text(1227) + Programm::CrLf +
                                  p.Text(1228) + Programm::CrLf + p.Text(1229) + Programm::CrLf + p.Text(1230));
    else
        txtEXIFInfo->clear();
    txtEXIFInfo->setVisible(stand.hinweisSichtbar);
}

void ListBoxForm::BildGezeigt(const QString& titel)
{
    chkExifAnzeigen->setEnabled(true);
    chkIptcAnzeigen->setEnabled(true);
    setWindowTitle(titel);
}

void ListBoxForm::AnsichtenAus()
{
    chkExifAnzeigen->setChecked(false);
    chkExifAnzeigen->setEnabled(true);
    chkIptcAnzeigen->setChecked(false);
    chkIptcAnzeigen->setEnabled(true);
    lstExifIptc->hide();
    txtEXIFInfo->hide();
}

void ListBoxForm::ListBoxNeu_Click()
{
    Programm& p = m_programm;
    const QString eintrag = ListBoxNeu->Text();
    // Everything off first, then on again as the entry allows: a control that had the focus
    // gives it up, as it always has.
    lstExifIptc->clear();
    lstExifIptc->hide();
    chkExifAnzeigen->setEnabled(false);
    chkIptcAnzeigen->setEnabled(false);
    txtEXIFInfo->clear();
    txtEXIFInfo->setEnabled(true);
    txtEXIFInfo->hide();
    Listenfensterstand stand;
    stand.AuswahlGeaendert(eintrag == p.AngezeigteDatei);
    StandUebernehmen(stand);
    if (!stand.ansichtenAn)
        return;
    if (chkExifAnzeigen->isChecked() && !eintrag.isEmpty()) {
        lstExifIptc->hide();
        txtEXIFInfo->show();
        clsEXIF& exf = p.fotolaufForm().EXF;
        exf.setImageFile(ListBoxNeu->Datei());
        txtEXIFInfo->setPlainText(exf.ListInfo());
    }
    if (chkIptcAnzeigen->isChecked() && !eintrag.isEmpty()) {
        lstExifIptc->show();
        txtEXIFInfo->hide();
        IptcAnzeigen();
    }
}

void ListBoxForm::chkExifAnzeigen_Click()
{
    if (!chkExifAnzeigen->isChecked()) {
        lstExifIptc->hide();
        txtEXIFInfo->hide();
        return;
    }
    chkIptcAnzeigen->setChecked(false);
    lstExifIptc->hide();
    txtEXIFInfo->show();
    const QString eintrag = ListBoxNeu->Text();
    Programm& p = m_programm;
    if (eintrag.isEmpty()) {
        txtEXIFInfo->setPlainText(p.Text(1483));
        return;
    }
    clsEXIF& exf = p.fotolaufForm().EXF;
    exf.setImageFile(ListBoxNeu->Datei());
    txtEXIFInfo->setPlainText(exf.ListInfo());
}

void ListBoxForm::chkIptcAnzeigen_Click()
{
    if (!chkIptcAnzeigen->isChecked()) {
        lstExifIptc->hide();
        txtEXIFInfo->hide();
        return;
    }
    chkExifAnzeigen->setChecked(false);
    lstExifIptc->show();
    txtEXIFInfo->hide();
    lstExifIptc->clear();
    if (ListBoxNeu->Text().isEmpty()) {
        lstExifIptc->addItem(m_programm.Text(1483));
        return;
    }
    IptcAnzeigen();
}

void ListBoxForm::btnAktionAusfuehren_Click()
{
    EasyPopupMenu menue(m_programm.platform());
    for (const Aktion& a : kAktionen)
        menue.AddMenuItem(m_programm.Text(a.Text), 0, a.Nummer);
    WeiterAnShellExecute(menue.TrackMenu(this));
    menue.DeleteMenu();
}
