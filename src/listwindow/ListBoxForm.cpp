#include "listwindow/ListBoxForm.h"

#include "app/Twips.h"
#include "lists/BildListenFeld.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

ListBoxForm::ListBoxForm(Programm& programm)
    : QWidget(nullptr, Qt::Window)
    , m_programm(programm)
{
    const Programm& p = programm;
    resize(TwipsZuPixelX(p, 13392), TwipsZuPixelY(p, 3936));
    ListBoxNeu = new BildListenFeld(false, true, this);
    ListBoxNeu->setObjectName(QStringLiteral("ListBoxNeu"));
    TwipsPlatzieren(p, *ListBoxNeu, 0, 600, 8055, 3072);
    btnAktionAusfuehren = new QPushButton(this);
    btnAktionAusfuehren->setObjectName(QStringLiteral("btnAktionAusfuehren"));
    TwipsPlatzieren(p, *btnAktionAusfuehren, 2520, 120, 3495, 375);
    FrameExifIptc = new QGroupBox(this);
    FrameExifIptc->setObjectName(QStringLiteral("FrameExifIptc"));
    TwipsPlatzieren(p, *FrameExifIptc, 8160, 0, 5172, 3855);
    chkExifAnzeigen = new QCheckBox(FrameExifIptc);
    chkExifAnzeigen->setObjectName(QStringLiteral("chkExifAnzeigen"));
    TwipsPlatzieren(p, *chkExifAnzeigen, 120, 120, 4932, 255);
    chkIptcAnzeigen = new QCheckBox(FrameExifIptc);
    chkIptcAnzeigen->setObjectName(QStringLiteral("chkIptcAnzeigen"));
    TwipsPlatzieren(p, *chkIptcAnzeigen, 120, 360, 4932, 255);
    txtEXIFInfo = new QPlainTextEdit(FrameExifIptc);
    txtEXIFInfo->setObjectName(QStringLiteral("txtEXIFInfo"));
    TwipsPlatzieren(p, *txtEXIFInfo, 120, 720, 4932, 3012);
    txtEXIFInfo->hide();
    lstExifIptc = new QListWidget(FrameExifIptc);
    lstExifIptc->setObjectName(QStringLiteral("lstExifIptc"));
    TwipsPlatzieren(p, *lstExifIptc, 120, 720, 4932, 2928);
    lstExifIptc->hide();
}

ListBoxForm::~ListBoxForm() = default;
