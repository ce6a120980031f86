// The main window's command-line interpreter: picture names or one slide-list file, with the
// messages that end the program when nothing usable was given.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/Argumente.h"
#include "lists/BildListenFeld.h"
#include "platform/TextEncoding.h"

#include <QRadioButton>

void FotolaufForm::ArgumenteAuswerten()
{
    Programm& p = m_programm;
    if (!Argumente::IstFotolaufDatei(strArgumente)) {
        for (const QString& name : Argumente::NamenZerlegen(strArgumente))
            BildInListeAufnehmen(name);
        if (List1->ListCount() == 0) {
            p.Meldung(p.Text(2309));
            p.ProgrammBeenden();
        }
        return;
    }

    if (strArgumente.startsWith(u'"'))
        strArgumente = strArgumente.mid(1, strArgumente.size() - 2);
    QByteArray inhalt;
    if (!p.platform().readFile(strArgumente, inhalt)) {
        p.Meldung(p.Text(2310) + Programm::CrLf + strArgumente + Programm::CrLf + p.Text(2311), MsgBox::OkNur,
                  MsgBox::Kritisch);
        p.ProgrammBeenden();
        return;
    }
    optVorhandeneFotolaufDateiBenutzen->setChecked(true);
    ZeilenZaehler = 0;
    for (const QString& feld : Argumente::FotolaufDateiFelder(TextEncoding::decodeText(inhalt))) {
        if (!feld.isEmpty() && Quellliste().ListCount() >= BildListe::kHoechstzahl) {
            // The list holds no more: say so once, as the other ways of filling it do.
            p.Meldung(p.Text(2332));
            break;
        }
        ZeileUebernehmen(feld);
        if (p.beendet())
            return;
    }
    if (List1Unsorted->ListCount() == 0) {
        p.Meldung(p.Text(2312) + strArgumente, MsgBox::OkNur, MsgBox::Kritisch);
        p.ProgrammBeenden();
    }
}

void FotolaufForm::ZeileUebernehmen(const QString& zeile)
{
    ZeilenZaehler += 1;
    if (zeile.isEmpty()) {
        ZeilenfehlerMelden(zeile);
        return;
    }
    // The extension is not checked here: the display reports names it cannot load.
    Quellliste().AddItem(zeile);
}

void FotolaufForm::ZeilenfehlerMelden(const QString& zeile)
{
    Programm& p = m_programm;
    p.Meldung(p.Text(2307) + strArgumente + Programm::CrLf + zeile + Programm::CrLf + p.Text(2308) +
                  QString::number(ZeilenZaehler),
              MsgBox::OkNur, MsgBox::Kritisch);
    p.ProgrammBeenden();
}
