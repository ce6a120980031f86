// Moving the current position through the working list. Selecting an entry never shows a
// picture by itself; the callers show it afterwards.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/BildListenFeld.h"
#include "listwindow/ListBoxForm.h"

void FotolaufForm::ErstesBild()
{
    m_programm.listBoxForm().ListBoxNeu->setListIndex(0);
}

void FotolaufForm::LetztesBild()
{
    BildListenFeld& neu = *m_programm.listBoxForm().ListBoxNeu;
    neu.setListIndex(neu.ListCount() - 1);
}

void FotolaufForm::SucheBildInListe()
{
    BildListenFeld& neu = *m_programm.listBoxForm().ListBoxNeu;
    // The started file itself wins over a neighbour that differs from it only in letter case.
    const std::vector<EintragsDatei>& dateien = neu.liste().Dateien();
    for (int i = 0; i < neu.ListCount(); ++i)
        if (!strStartBildDatei.isEmpty() && dateien[static_cast<size_t>(i)].pfad == strStartBildDatei) {
            neu.setListIndex(i);
            return;
        }
    // Every entry is visited: with duplicates the last equal one stays selected.
    for (int i = 0; i < neu.ListCount(); ++i)
        if (neu.List(i).compare(strStartBild, Qt::CaseInsensitive) == 0)
            neu.setListIndex(i);
}
