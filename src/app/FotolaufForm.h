// The main window: the drop container, the owner of the picture lists, the slide-show timer and
// the public fields the other windows read. Its operations live in the folders of their
// subsystems (lists/, commands/, display/); this file holds the window and its start-up.
#pragma once

#include "commands/Tastentabelle.h"
#include "commands/Zufallsziehung.h"
#include "display/BildVorlader.h"
#include "display/Eingabeaufschub.h"
#include "display/Helligkeit.h"
#include "display/Platzierung.h"
#include "display/VolleAufloesung.h"
#include "metadata/clsEXIF.h"
#include "platform/PictureLoader.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class Programm;
class BildListenFeld;
class QAction;
class QKeyEvent;
class QMimeData;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class FotolaufForm : public QMainWindow {
    Q_OBJECT
public:
    explicit FotolaufForm(Programm& programm);
    ~FotolaufForm() override;

    // --- controls ------------------------------------------------------------------------------
    BildListenFeld* List1 = nullptr;
    BildListenFeld* List1Unsorted = nullptr;
    BildListenFeld* lstFilesImGleichenOrdner = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* optVorhandeneFotolaufDateiBenutzen = nullptr;
    QCheckBox* chkSortAsDragAndDrop = nullptr;
    QCheckBox* chkFensterGroesseAenderbar = nullptr;
    QLabel* lblDateinamen = nullptr;
    QPushButton* cmdStartAfterDragDrop = nullptr;
    QPushButton* cmdKeinNeustart = nullptr;
    QAction* mnuRegistry = nullptr;
    QAction* mnuHilfe = nullptr;
    QAction* mnuBeenden = nullptr;
    QTimer Timer1;

    // --- public fields -------------------------------------------------------------------------
    bool blnListBoxNeuDblClick = false;
    qint32 ScreenWidth = 0;   // twips
    qint32 ScreenHeight = 0;  // twips
    QString CommandLine;
    bool RechteckLupeScharf = false;
    double SGVH = 0;
    bool F6TimerGestartet = false;
    qint16 Helligkeit = 0;
    bool blnOhneUnterOrdner = false;
    clsEXIF EXF;

    // --- fields of the window's own operations (open to the tests) ------------------------------
    QString strArgumente;
    // The arguments as the user gave them (made absolute, letter case kept): the files the
    // lower-cased names of the command line stand for. Empty when strArgumente came from elsewhere.
    QStringList Befehlszeilenargumente;
    QString strStartBild;
    // The file of the start picture, which may differ from another listed file only in case.
    QString strStartBildDatei;
    bool blnMauszeigerSichtbar = false;
    bool blnHinweisErweiterung = false;
    bool blnNeuZusammenstellen = false;
    qint64 ZeilenZaehler = 0;
    double BildSeitenverhaeltnis = 0;
    double dblSeitenverhaeltnis = 0;
    double dblSeitenverhaeltnisAlt = 0;
    QString strMeldung;
    Helligkeit::Tabelle HelligkeitsTabelle{};
    // The hidden picture boxes of the brightness operation: the working copy and its source.
    LoadedPicture Pictbox;
    LoadedPicture Pictbuf;

    // --- start-up ------------------------------------------------------------------------------
    // The window's load: the whole start-up of the program.
    void Form_Load();
    void mnuBeenden_Click();
    // Makes the menu bar when the window is first shown.
    void setVisible(bool sichtbar) override;
    // --- menus (system/) -------------------------------------------------------------------------
    void mnuRegistry_Click();
    void mnuHilfe_Click();

    // --- picture lists -------------------------------------------------------------------------
    void ListAlleFilesImGleichenOrdner();
    void KopiereListBox();
    // Whether a name of the command line is admitted to List1 (the caller adds the admitted names
    // at once); shows the one-time hint for a name of another type.
    bool BildInListeAufnehmen(const QString& dateiname);
    // The one-time hint about the allowed file types.
    void ErweiterungsHinweis();
    // The unsorted mode: an existing slide-list file is used or the drop order is kept.
    bool UnsortierterModus() const;
    // The source list of the current mode.
    BildListenFeld& Quellliste();

    // --- command line and slide-list files -----------------------------------------------------
    void ArgumenteAuswerten();
    // Counts a field of a slide-list file; false after reporting a faulty one (the program ends).
    bool ZeileUebernehmen(const QString& zeile);
    void ZeilenfehlerMelden(const QString& zeile);

    // --- showing a picture --------------------------------------------------------------------
    void BildAnzeigen();
    void LadefehlerMelden();
    void PassendMachen();
    void PositionWiederherstellen();
    void HelligkeitAnwenden(qint16& stufe);
    void DoImagePro(const QString& operation);
    // The pointer over the picture window: hidden, normal, or the armed magnifier.
    void ZeigerRegelAnwenden();
    // The shown picture for drawing it `geraet` device pixels large, when the copy on screen is
    // smaller than that: decoded anew at full resolution with the brightness applied (see
    // VolleAufloesung). Nothing when the copy on screen suffices, or while that decode is under
    // way (the picture and the zoom window are given it when it arrives).
    std::optional<VolleAufloesung::Paar> VolleAufloesungFuer(QSize geraet);
    // The screen as the placement sees it.
    Bildschirm BildschirmMasse() const;
    Vergroesserung VergroesserungsRegel();
    // Decodes on a worker, ahead of the picture keys.
    BildVorlader& Vorlader() { return *m_vorlader; }

    // --- keys, navigation, automatic show, zoom -------------------------------------------------
    // The key handler of every window; sets KeyCode to 0 for keys it consumes.
    void Form_KeyDown(qint16& KeyCode, qint16& Shift);
    // Translates a Qt key event and hands it to Form_KeyDown; true when the handler consumed it.
    bool TasteWeitergeben(const QKeyEvent& ereignis);
    void ErstesBild();
    void LetztesBild();
    void NaechstesBild();
    void VorherigesBild();
    void ZufallsBild();
    void SucheBildInListe();
    // The random pick's index for a draw 0 <= r < 1 among n entries.
    static int ZufallsIndex(int n, float r);
    Zufallsziehung& Zufall() { return m_zufall; }
    void Timer1_Timer();
    void ZoomOut();
    void ZoomIn();
    void SpeichernInBildPosList();
    void MauszeigerUmschalten();

    // --- drop container and new compilation -----------------------------------------------------
    void NeueZusammenstellung();
    void ContainerAnzeigen();
    void UebernehmeDateien(const QStringList& dateien);
    void chkSortAsDragAndDrop_Click();
    void cmdKeinNeustart_Click();
    void cmdStartAfterDragDrop_Click();

signals:
    // A picture was shown (or reported as not loadable): the end of every BildAnzeigen.
    void BildAngezeigt();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void anordnen();
    void TasteAusfuehren(Tastenaktion aktion);
    void NachZoomPlatzieren();
    void VolleAufloesungSicherstellen();
    std::optional<LoadedPicture> BildLaden(const QString& dateiPfad);
    // What a picture is decoded for: the screen, the brightness, the kind of window.
    BildVorlader::Umstaende LadeUmstaende();
    void VorausLaden();
    // The entries the next and the previous picture key would show from here.
    QList<int> Nachbarn();
    // What a key does while a picture change waits for its decode.
    static Eingabeaufschub::Taste TasteWaehrendBildwechsel(const QKeyEvent& ereignis);
    // The full resolution arrived: the picture and the zoom window take it.
    void VolleAufloesungAngekommen();
    Programm& m_programm;
    Zufallsziehung m_zufall;
    std::unique_ptr<BildVorlader> m_vorlader;
    VolleAufloesung m_volleAufloesung;  // works on m_vorlader's worker
};
