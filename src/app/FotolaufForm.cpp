#include "app/FotolaufForm.h"

#include "app/Programm.h"
#include "app/Startbild.h"
#include "display/BildVorlader.h"
#include "display/Helligkeit.h"
#include "lists/Argumente.h"
#include "lists/BildListenFeld.h"
#include "lists/frmDurchsuchenUnterOrdner.h"
#include "windows/ImageForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

FotolaufForm::FotolaufForm(Programm& programm)
    : m_programm(programm)
    , m_vorlader(std::make_unique<BildVorlader>(&FotolaufForm::TasteWaehrendBildwechsel))
    , m_volleAufloesung(*m_vorlader, [this] { VolleAufloesungAngekommen(); })
{
    setWindowTitle(QStringLiteral("TESSRIN Fotolauf"));
    auto* flaeche = new QWidget(this);
    setCentralWidget(flaeche);

    // The menu bar itself is made when the window is first shown (see setVisible).
    mnuRegistry = new QAction(QStringLiteral("&Registry"), this);
    mnuHilfe = new QAction(QStringLiteral("&Hilfe"), this);
    mnuBeenden = new QAction(QStringLiteral("&Beenden"), this);
    connect(mnuRegistry, &QAction::triggered, this, &FotolaufForm::mnuRegistry_Click);
    connect(mnuHilfe, &QAction::triggered, this, &FotolaufForm::mnuHilfe_Click);
    connect(mnuBeenden, &QAction::triggered, this, &FotolaufForm::mnuBeenden_Click);

    lblDateinamen = new QLabel(QStringLiteral("Container Dateinamen vom Explorer"), flaeche);
    lblDateinamen->setObjectName(QStringLiteral("lblDateinamen"));
    List1 = new BildListenFeld(true, false, flaeche);
    List1->setObjectName(QStringLiteral("List1"));
    List1Unsorted = new BildListenFeld(false, false, flaeche);
    List1Unsorted->setObjectName(QStringLiteral("List1Unsorted"));
    List1->raise();  // the sorted list is in front unless the drop order is kept
    lstFilesImGleichenOrdner = new BildListenFeld(true, false, flaeche);
    lstFilesImGleichenOrdner->setObjectName(QStringLiteral("lstFilesImGleichenOrdner"));
    lstFilesImGleichenOrdner->hide();
    Frame1 = new QGroupBox(flaeche);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    optVorhandeneFotolaufDateiBenutzen =
        new QRadioButton(QStringLiteral("Ich möchte eine vorhandene Fotolauf-Datei (name.flf) benutzen"), Frame1);
    optVorhandeneFotolaufDateiBenutzen->setObjectName(QStringLiteral("optVorhandeneFotolaufDateiBenutzen"));
    chkSortAsDragAndDrop = new QCheckBox(QStringLiteral("Sortierfolge wie bei Drag&&Drop"), flaeche);
    chkSortAsDragAndDrop->setObjectName(QStringLiteral("chkSortAsDragAndDrop"));
    chkFensterGroesseAenderbar = new QCheckBox(QStringLiteral("Fenstergröße änderbar"), flaeche);
    chkFensterGroesseAenderbar->setObjectName(QStringLiteral("chkFensterGroesseAenderbar"));
    cmdStartAfterDragDrop = new QPushButton(QStringLiteral("S&tart"), flaeche);
    cmdStartAfterDragDrop->setObjectName(QStringLiteral("cmdStartAfterDragDrop"));
    cmdKeinNeustart = new QPushButton(QStringLiteral("&Container leeren"), flaeche);
    cmdKeinNeustart->setObjectName(QStringLiteral("cmdKeinNeustart"));

    Timer1.setInterval(3000);
    Timer1.setSingleShot(false);
    connect(&Timer1, &QTimer::timeout, this, &FotolaufForm::Timer1_Timer);
    m_vorlader->aufschub().timerHalten(&Timer1);

    for (BildListenFeld* liste : {List1, List1Unsorted}) {
        liste->DateienAnnehmen(true);
        connect(liste, &BildListenFeld::DateienAbgelegt, this, &FotolaufForm::UebernehmeDateien);
    }
    connect(chkSortAsDragAndDrop, &QCheckBox::clicked, this, &FotolaufForm::chkSortAsDragAndDrop_Click);
    connect(cmdKeinNeustart, &QPushButton::clicked, this, &FotolaufForm::cmdKeinNeustart_Click);
    connect(cmdStartAfterDragDrop, &QPushButton::clicked, this, &FotolaufForm::cmdStartAfterDragDrop_Click);

    // The window sees every key before its controls do.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    installEventFilter(this);

    resize(640, 480);
    anordnen();
}

FotolaufForm::~FotolaufForm() = default;

void FotolaufForm::anordnen()
{
    // The container: heading, the two lists at one place, the options and buttons below.
    const int b = centralWidget()->width();
    const int h = centralWidget()->height();
    const int rand = 8;
    const int zeile = 26;
    lblDateinamen->setGeometry(rand, rand, b - 2 * rand, zeile);
    const int listeOben = rand + zeile + 4;
    const int unten = h - rand - 2 * zeile - 8;
    const QRect listen(rand, listeOben, b - 2 * rand, std::max(unten - listeOben, 40));
    List1->setGeometry(listen);
    List1Unsorted->setGeometry(listen);
    Frame1->setGeometry(listen);
    optVorhandeneFotolaufDateiBenutzen->setGeometry(rand, zeile, listen.width() - 2 * rand, zeile);
    const int y1 = listen.bottom() + 8;
    chkSortAsDragAndDrop->setGeometry(rand, y1, (b - 3 * rand) / 2, zeile);
    chkFensterGroesseAenderbar->setGeometry(b / 2 + rand / 2, y1, (b - 3 * rand) / 2, zeile);
    const int y2 = y1 + zeile + 4;
    cmdKeinNeustart->setGeometry(rand, y2, 180, zeile + 2);
    cmdStartAfterDragDrop->setGeometry(b - rand - 180, y2, 180, zeile + 2);
}

void FotolaufForm::setVisible(bool sichtbar)
{
    // Making a menu bar loads the picture plugins (for its overflow icon); a start with pictures,
    // which keeps this window hidden, does without until the window is first shown.
    if (sichtbar && !menuWidget()) {
        menuBar()->addActions({mnuRegistry, mnuHilfe, mnuBeenden});
        menuBar()->installEventFilter(this);
    }
    QMainWindow::setVisible(sichtbar);
}

void FotolaufForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    anordnen();
}

void FotolaufForm::closeEvent(QCloseEvent* event)
{
    // Unloading the main window ends the program.
    event->accept();
    m_programm.ProgrammBeenden();
}

bool FotolaufForm::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (ereignis->type() == QEvent::KeyPress && isVisible()) {
        auto* taste = static_cast<QKeyEvent*>(ereignis);
        // The window sees the key first; its control still gets it unless the handler consumed it.
        // Alt alone opens the menu bar: keep that for the menus.
        if (taste->key() != Qt::Key_Alt && TasteWeitergeben(*taste))
            return true;
    }
    return QMainWindow::eventFilter(objekt, ereignis);
}

void FotolaufForm::mnuBeenden_Click()
{
    m_programm.ProgrammBeenden();
}

void FotolaufForm::Form_Load()
{
    Programm& p = m_programm;
    Platform& platform = p.platform();

    p.DesktopDPIErmitteln();
    p.FensterLokalisieren(*this);
    // Long path names scroll sideways in both lists (the list views do that by themselves).

    p.AppPfad = platform.programFolder();
    if (p.AppPfad.endsWith(u'/'))
        p.AppPfad.chop(1);
    EXF.setProgrammOrdner(p.AppPfad);

    blnHinweisErweiterung = true;
    blnMauszeigerSichtbar = true;
    Helligkeit = ::Helligkeit::kNeutral;

    const QSize bildschirm = platform.screenSizePixels();
    ScreenWidth = static_cast<qint32>(std::nearbyint(bildschirm.width() * p.TwipsPerPixelX()));
    ScreenHeight = static_cast<qint32>(std::nearbyint(bildschirm.height() * p.TwipsPerPixelY()));
    SGVH = ScreenHeight != 0 ? static_cast<double>(ScreenWidth) / ScreenHeight : 0.0;

    p.IniLesen();
    p.Startmarke("settings file read");
    if (p.beendet())
        return;
    if (p.Sprache.isEmpty())
        p.LanguageOffset = 0;
    platform.setUiLanguage(p.LanguageOffset == 3000 ? QStringLiteral("en") : QStringLiteral("de"));

    lblDateinamen->setText(p.Text(1202));
    cmdStartAfterDragDrop->setText(p.Text(3101));
    cmdKeinNeustart->setText(p.Text(3102));
    chkFensterGroesseAenderbar->setText(p.Text(3045));
    mnuHilfe->setText(p.Text(1039));
    mnuBeenden->setText(p.Text(1040));
    chkSortAsDragAndDrop->setText(p.Text(1235));

    p.blnWin9x = false;
    Befehlszeilenargumente = platform.arguments();
    CommandLine = Argumente::Verbinden(Befehlszeilenargumente).toLower();
    if (platform.shiftKeyStateAtStart() == 0x8001) {
        CommandLine.clear();
        Befehlszeilenargumente.clear();
    }

    if (!CommandLine.isEmpty()) {
        p.imageForm().setHintergrundfarbe(Qt::black);
        Frame1->hide();
        List1->hide();
        List1Unsorted->hide();
        strArgumente = CommandLine;
        if (CommandLine.startsWith(u'"') && !strArgumente.contains(u' '))
            strArgumente = CommandLine.mid(1, CommandLine.size() - 2);
        ArgumenteAuswerten();
        p.Startmarke("arguments read");
        if (p.beendet())
            return;
        blnOhneUnterOrdner = true;
        // The first entry of the lists is the picture shown first (with one picture the started one,
        // whatever the folder question adds to the list).
        auto* start = new Startbild(p, *m_vorlader, this);
        start->Vormerken(Quellliste().liste().Datei(0), LadeUmstaende(), p.FruehDekodierungNehmen());
        p.Startmarke("first picture's decode begun");
        if (List1->ListCount() == 1 && List1Unsorted->ListCount() == 0) {
            frmDurchsuchenUnterOrdner frage(p);
            frage.zeigenModal();
            if (p.beendet())
                return;
        } else {
            KopiereListBox();
        }
        if (List1->ListCount() != 1)
            ErstesBild();
        if (strStartBild.isEmpty())
            ErstesBild();
        else
            SucheBildInListe();
        platform.setBusyPointer(false);
        p.Startmarke("working list built");
        p.imageForm().FensterArtFestlegen(chkFensterGroesseAenderbar->isChecked());
        p.Startmarke("picture window made");
        start->FensterVorbereiten();
        p.Startmarke("windows made ready");
        BildAnzeigen();
        return;
    }

    p.FruehDekodierungNehmen().reset();  // no picture to show: the drop container comes
    show();
    if (UnsortierterModus())
        List1Unsorted->Clear();
    else
        List1->Clear();
    p.Arbeitsliste().Clear();
    // Nothing waits for a picture here: the list window is made at once.
    p.listBoxForm();
    Frame1->hide();
    lblDateinamen->show();
    cmdStartAfterDragDrop->show();
    List1Unsorted->show();
    List1->show();
}
