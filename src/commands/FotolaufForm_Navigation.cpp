// Moving the current position through the working list. Selecting an entry never shows a
// picture by itself; the callers show it afterwards.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/BildListe.h"

void FotolaufForm::ErstesBild()
{
    m_programm.Arbeitsliste().setListIndex(0);
}

void FotolaufForm::LetztesBild()
{
    BildListe& neu = m_programm.Arbeitsliste();
    neu.setListIndex(neu.ListCount() - 1);
}

void FotolaufForm::SucheBildInListe()
{
    BildListe& neu = m_programm.Arbeitsliste();
    // The started file itself wins over a neighbour that differs from it only in letter case.
    const std::vector<EintragsDatei>& dateien = neu.Dateien();
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
