// The main window's help and registry menu entries.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "system/ShellFehlertext.h"
#include "system/frmVerknuepfeDateitypenXP.h"

void FotolaufForm::mnuRegistry_Click()
{
    if (m_programm.blnWin9x)
        return;
    frmVerknuepfeDateitypenXP dateitypen(m_programm);
    dateitypen.zeigenModal();
}

void FotolaufForm::mnuHilfe_Click()
{
    Programm& p = m_programm;
    const QString datei = p.AppPfad + (p.LanguageOffset != 0 ? QStringLiteral("/Help/English/fotolauf.CHM")
                                                             : QStringLiteral("/Help/Deutsch/fotolauf.CHM"));
    const int ergebnis = p.platform().openWithApplication(datei);
    if (ergebnis > 32)
        return;
    p.Meldung(OeffnenFehlermeldung(p, ergebnis, datei, QStringLiteral("CHM")));
}
