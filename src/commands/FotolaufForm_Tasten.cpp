// The one key handler of the program: every window hands its key strokes to it.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "commands/Tastencode.h"
#include "commands/Tastentabelle.h"
#include "lists/BildListe.h"
#include "listwindow/ListBoxForm.h"
#include "listwindow/Listenfenster.h"
#include "windows/HilfeBoxForm.h"
#include "windows/ImageForm.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>

void FotolaufForm::Form_KeyDown(qint16& KeyCode, qint16& Shift)
{
    Programm& p = m_programm;
    p.listenfenster().AnsichtenAus();
    ImageForm& bildFenster = p.imageForm();
    bildFenster.Shape1.Visible = false;
    bildFenster.Neuzeichnen();
    p.HilfeBoxSchliessen();
    blnNeuZusammenstellen = false;

    if (KeyCode == 115 && Shift == Tastencode::kAlt) {
        p.ProgrammBeenden();
        return;
    }
    if (p.Arbeitsliste().ListCount() == 0) {
        NeueZusammenstellung();
        return;
    }
    bildFenster.Anzeigen();
    bildFenster.Image1.Visible = true;

    const Tastenzeile* zeile = Tastentabelle::Suchen(KeyCode, Shift);
    if (!zeile)
        return;
    TasteAusfuehren(zeile->aktion);
    if (zeile->verbraucht)
        KeyCode = 0;
}

void FotolaufForm::TasteAusfuehren(Tastenaktion aktion)
{
    Programm& p = m_programm;
    ImageForm& bildFenster = p.imageForm();
    switch (aktion) {
    case Tastenaktion::ErstesBild:
        ErstesBild();
        BildAnzeigen();
        break;
    case Tastenaktion::LetztesBild:
        LetztesBild();
        BildAnzeigen();
        break;
    case Tastenaktion::ZoomOut:
        ZoomOut();
        break;
    case Tastenaktion::VorherigesBild:
        VorherigesBild();
        BildAnzeigen();
        break;
    case Tastenaktion::NaechstesBild:
        NaechstesBild();
        BildAnzeigen();
        break;
    case Tastenaktion::NachLinks:
        bildFenster.Image1.setLeft(bildFenster.Image1.Left() - 4000.0f);
        SpeichernInBildPosList();
        break;
    case Tastenaktion::NachRechts:
        bildFenster.Image1.setLeft(bildFenster.Image1.Left() + 4000.0f);
        SpeichernInBildPosList();
        break;
    case Tastenaktion::NachOben:
        bildFenster.Image1.setTop(bildFenster.Image1.Top() - 2000.0f);
        SpeichernInBildPosList();
        break;
    case Tastenaktion::NachUnten:
        bildFenster.Image1.setTop(bildFenster.Image1.Top() + 2000.0f);
        SpeichernInBildPosList();
        break;
    case Tastenaktion::ZoomIn:
        ZoomIn();
        break;
    case Tastenaktion::Liste: {
        if (!blnMauszeigerSichtbar)
            bildFenster.ZeigerNormal();
        ListBoxForm& liste = p.listBoxForm();
        liste.show();
        liste.raise();
        liste.activateWindow();
        liste.chkIptcAnzeigen->setChecked(true);
        break;
    }
    case Tastenaktion::AutomatikStarten:
        F6TimerGestartet = true;
        Timer1.start();
        break;
    case Tastenaktion::AutomatikStoppen:
        F6TimerGestartet = false;
        Timer1.stop();
        break;
    case Tastenaktion::NeueZusammenstellung:
        NeueZusammenstellung();
        break;
    case Tastenaktion::MauszeigerUmschalten:
        MauszeigerUmschalten();
        break;
    case Tastenaktion::Einstellungen: {
        WertxForm& w = p.wertxForm();
        w.show();
        w.raise();
        w.activateWindow();
        break;
    }
    case Tastenaktion::Mausposition: {
        XYPos& xy = p.xyPos();
        xy.show();
        xy.raise();
        xy.activateWindow();
        break;
    }
    case Tastenaktion::LupeScharf:
        RechteckLupeScharf = true;
        bildFenster.ZeigerAusDatei(p.AppPfad + QStringLiteral("/SquareZoom.ico"));
        break;
    case Tastenaktion::LupeAus:
        RechteckLupeScharf = false;
        bildFenster.ZeigerNormal();
        break;
    case Tastenaktion::ListeVerbergen:
        p.listenfenster().Verbergen();
        break;
    }
    bildFenster.Neuzeichnen();
}

void FotolaufForm::MauszeigerUmschalten()
{
    ImageForm& bildFenster = m_programm.imageForm();
    if (blnMauszeigerSichtbar) {
        blnMauszeigerSichtbar = false;
        bildFenster.ZeigerAusDatei(m_programm.AppPfad + QStringLiteral("/MOUSE01.ICO"));
    } else {
        blnMauszeigerSichtbar = true;
        if (RechteckLupeScharf)
            bildFenster.ZeigerAusDatei(m_programm.AppPfad + QStringLiteral("/SquareZoom.ico"));
        else
            bildFenster.ZeigerNormal();
    }
}

bool FotolaufForm::TasteWeitergeben(const QKeyEvent& ereignis)
{
    qint16 keyCode = 0;
    qint16 shift = 0;
    Tastencode::AusQt(ereignis, keyCode, shift);
    const bool mitCode = keyCode != 0;
    Form_KeyDown(keyCode, shift);
    return mitCode && keyCode == 0;
}

Eingabeaufschub::Taste FotolaufForm::TasteWaehrendBildwechsel(const QKeyEvent& ereignis)
{
    qint16 keyCode = 0;
    qint16 shift = 0;
    Tastencode::AusQt(ereignis, keyCode, shift);
    if (keyCode == 115 && shift == Tastencode::kAlt)
        return Eingabeaufschub::Taste::Durchlassen;
    const Tastenzeile* zeile = Tastentabelle::Suchen(keyCode, shift);
    if (!zeile)
        return Eingabeaufschub::Taste::Halten;
    switch (zeile->aktion) {
    case Tastenaktion::ErstesBild:
    case Tastenaktion::LetztesBild:
    case Tastenaktion::VorherigesBild:
    case Tastenaktion::NaechstesBild:
        return Eingabeaufschub::Taste::Ueberholen;
    // These act on the picture being loaded (or replace the list it belongs to): it is shown
    // first, even when a picture key follows them.
    case Tastenaktion::ZoomOut:
    case Tastenaktion::ZoomIn:
    case Tastenaktion::NachLinks:
    case Tastenaktion::NachRechts:
    case Tastenaktion::NachOben:
    case Tastenaktion::NachUnten:
    case Tastenaktion::NeueZusammenstellung:
        return Eingabeaufschub::Taste::AmBild;
    default:
        return Eingabeaufschub::Taste::Halten;
    }
}
