// The program object: the module globals, the string table, the module procedures of start-up
// and the default instance of every window (created on first use, anew after an unload).
#pragma once

#include "app/StringTable.h"
#include "platform/Platform.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class BildListe;
class FotolaufForm;
class FruehDekodierung;
class Fensterordnung;
class Listenfenster;
class HilfeBoxForm;
class ZoomForm;
class ListBoxForm;
class ImageForm;
class Startzeiten;
class WertxForm;
struct Einstellungsstand;
class XYPos;
class QWidget;

// One stored picture rectangle in twips; all zero means nothing stored.
struct Positionssatz {
    qint32 Top = 0;
    qint32 Left = 0;
    qint32 Width = 0;
    qint32 Height = 0;
    bool leer() const { return Top == 0 && Left == 0 && Width == 0 && Height == 0; }
    bool operator==(const Positionssatz&) const = default;
};

class Programm {
public:
    explicit Programm(Platform& platform);
    ~Programm();
    Programm(const Programm&) = delete;
    Programm& operator=(const Programm&) = delete;

    Platform& platform() { return m_platform; }

    // Loads the main window, which is the whole start-up.
    void Starten();
    // Marks on the way to the first picture (see Startzeiten); without them nothing is marked.
    void setStartzeiten(Startzeiten* zeiten) { m_startzeiten = zeiten; }
    void Startmarke(const char* was);
    // The first picture's decode begun before the program was up (see FruehDekodierung); the
    // start-up takes it once.
    void setFruehDekodierung(std::shared_ptr<FruehDekodierung> frueh) { m_frueh = std::move(frueh); }
    std::shared_ptr<FruehDekodierung> FruehDekodierungNehmen() { return std::move(m_frueh); }

    // --- module globals -------------------------------------------------------------------
    QString AppPfad;
    QString IniDatei;
    int LanguageOffset = 0;
    QString Sprache;
    QString DPIPruefung;
    int BildschirmDPI = 0;
    bool blnWin9x = false;
    QString AngezeigteDatei;
    // The file on disk of the entry last shown (AngezeigteDatei is its list text).
    QString AngezeigteDateiPfad;
    std::vector<Positionssatz> BildPosList;
    QString InstallationsOrdner;

    // Recreates BildPosList with the indexes 0..obergrenze, all records zero.
    void BildPosListNeu(int obergrenze);

    // --- texts and messages ----------------------------------------------------------------
    // Entry LanguageOffset + nummer of the string table.
    QString Text(int nummer) const;
    static const QString CrLf;
    // A modal message box with the program's title; returns the answer (MsgBox::Antwort).
    int Meldung(const QString& text, int knoepfe = MsgBox::OkNur, int icon = MsgBox::KeinIcon,
                int standardKnopf = MsgBox::StandardKnopf1);
    // A refusal that the table has no message of its own for (a limit or a check of this program):
    // the nearest message, below an error-text line with the real reason, as the open failure of a
    // file gives its reason. Every such refusal is worded here, so they all read alike.
    static QString MeldungMitGrund(const Refusal& grund, const QString& naechsteMeldung);

    // Ends the program at once; in tests only recorded, so callers check beendet() and return.
    void ProgrammBeenden();
    bool beendet() const { return m_beendet; }

    // --- settings file (albo.ini) ------------------------------------------------------------
    void IniLesen();
    void SpracheLesen();
    void DPIEinstellungLesen();
    // Takes the raw value read last (up to laenge characters), appends a comma and starts parsing.
    void IniWertVorbereiten(int laenge, const QString& schluessel, const QString& abschnitt, const QString& datei);
    // Takes the next comma-terminated field of wert from position on (1-based) into ziel. Without a
    // further comma it shows the comma-error message and ends the program (returns false).
    bool NaechsterWert(QString& ziel, qint16& position, const QString& wert, const QString& datei);
    QString SonderordnerPfad(int csidl);
    static QString BisNullzeichen(const QString& text);

    // --- screen metrics and fonts ------------------------------------------------------------
    void DesktopDPIErmitteln();
    // Fonts by screen density for every control of the window. They are chosen now; a window not yet
    // on screen gets them when it is first shown, so that windows that stay hidden (the main window
    // while pictures are shown, the list and settings windows) never lay out their texts and the
    // font database is not loaded before the first picture.
    void FensterLokalisieren(QWidget& fenster);
    double TwipsPerPixelX() const;
    double TwipsPerPixelY() const;
    // Twips per picture pixel. One picture pixel is one device pixel of the screen, so a picture
    // at its natural size (or zoomed by whole factors) stays pixel-sharp on a HiDPI screen, where
    // a logical pixel is several device pixels.
    double TwipsProBildpunktX() const;
    double TwipsProBildpunktY() const;

    // --- the working list ---------------------------------------------------------------------
    // The pictures of the show; its selected entry is the current position of the whole program.
    // The list window shows it.
    BildListe& Arbeitsliste() { return *m_arbeitsliste; }

    // --- windows -----------------------------------------------------------------------------
    FotolaufForm& fotolaufForm();
    // The list window, made now if it is not yet; what the program tells it meanwhile goes
    // through listenfenster().
    ListBoxForm& listBoxForm();
    Listenfenster& listenfenster() { return *m_listenfenster; }
    ImageForm& imageForm();
    WertxForm& wertxForm();
    // The settings as the settings window has them, without making it.
    Einstellungsstand Einstellungen() const;
    XYPos& xyPos();
    bool hatListBoxForm() const;
    bool hatImageForm() const { return m_imageForm != nullptr; }
    bool hatXYPos() const { return m_xyPos != nullptr; }
    HilfeBoxForm& hilfeBoxForm();
    bool hatHilfeBoxForm() const { return m_hilfeBoxForm != nullptr; }
    ZoomForm& zoomForm();
    bool hatZoomForm() const { return m_zoomForm != nullptr; }
    // Unload the key-help or the zoom window if it is loaded.
    void HilfeBoxSchliessen();
    void ZoomFormSchliessen();
    // Unloads a window; the next use creates it anew. The list window is never unloaded.
    void entladen(QWidget* fenster);

private:
    // The reader's working set, shared by all reads as in one module.
    struct IniArbeitswerte {
        QString Puffer;  // the raw value as the profile reader returned it
        QString Abschnitt;
        QString Schluessel;
        QString Wert;
        qint16 Position = 1;
        int Laenge = 0;
    };
    bool EinenSchluesselLesen(const QString& abschnitt, const QString& schluessel, QString& feld);

    Platform& m_platform;
    StringTable m_strings;
    IniArbeitswerte m_ini;
    bool m_beendet = false;
    Startzeiten* m_startzeiten = nullptr;
    std::shared_ptr<FruehDekodierung> m_frueh;
    std::unique_ptr<Fensterordnung> m_fensterordnung;  // windows over the picture stay above it
    std::unique_ptr<BildListe> m_arbeitsliste;
    std::unique_ptr<FotolaufForm> m_fotolaufForm;
    std::unique_ptr<Listenfenster> m_listenfenster;
    std::unique_ptr<ImageForm> m_imageForm;
    std::unique_ptr<WertxForm> m_wertxForm;
    std::unique_ptr<XYPos> m_xyPos;
    std::unique_ptr<HilfeBoxForm> m_hilfeBoxForm;
    std::unique_ptr<ZoomForm> m_zoomForm;
    // Windows unloaded while one of their own handlers ran, until the event loop deletes them.
    std::vector<QPointer<QWidget>> m_entladen;
};
