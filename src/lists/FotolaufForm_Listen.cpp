// The main window's picture lists: the pictures of one folder, the copy into the working list,
// and the admission of a single file name.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "display/BildVorlader.h"
#include "lists/BildListenFeld.h"
#include "lists/Bildtyp.h"
#include "listwindow/ListBoxForm.h"

#include <QCheckBox>
#include <QRadioButton>

bool FotolaufForm::UnsortierterModus() const
{
    return optVorhandeneFotolaufDateiBenutzen->isChecked() || chkSortAsDragAndDrop->isChecked();
}

BildListenFeld& FotolaufForm::Quellliste()
{
    return UnsortierterModus() ? *List1Unsorted : *List1;
}

void FotolaufForm::ListAlleFilesImGleichenOrdner()
{
    Programm& p = m_programm;
    lstFilesImGleichenOrdner->Clear();
    const QString erster = List1->List(0);
    const QString ordner = Bildtyp::Ordner(erster);

    // The folder is sorted once, not entry by entry: the same order, without quadratic cost.
    const FolderEntries inhalt = p.platform().listFolder(ordner, Platform::Order::AsStored);
    QStringList bilder;
    bool grenzeErreicht = false;
    for (const QString& name : inhalt.files) {
        if (!Bildtyp::HatBildEndung(name))
            continue;
        bilder.append(ordner + name);
        if (bilder.size() > BildListe::kHoechstzahl - 1) {
            grenzeErreicht = true;
            break;
        }
    }
    lstFilesImGleichenOrdner->liste().AddItems(bilder);
    if (grenzeErreicht)
        p.Meldung(p.Text(2332));

    for (int i = 0; i < lstFilesImGleichenOrdner->ListCount(); ++i) {
        if (lstFilesImGleichenOrdner->List(i).compare(erster, Qt::CaseInsensitive) == 0) {
            lstFilesImGleichenOrdner->setListIndex(i);
            break;
        }
    }
}

void FotolaufForm::KopiereListBox()
{
    Platform& platform = m_programm.platform();
    BildListenFeld& neu = *m_programm.listBoxForm().ListBoxNeu;
    platform.setBusyPointer(true);
    Vorlader().verwerfen();
    neu.Clear();
    if (List1->ListCount() == 1) {
        strStartBild = List1->List(0);
        List1->Clear();
        QStringList alle;
        alle.reserve(lstFilesImGleichenOrdner->ListCount());
        for (const QString& e : lstFilesImGleichenOrdner->liste().Eintraege())
            alle.append(e);
        neu.liste().AddItems(alle);
        List1->liste().AddItems(alle);
        platform.setBusyPointer(false);
        List1->ZOrder();
        return;
    }
    BildListenFeld& quelle = UnsortierterModus() ? *List1Unsorted : *List1;
    QStringList alle;
    alle.reserve(quelle.ListCount());
    for (const QString& e : quelle.liste().Eintraege())
        alle.append(e);
    neu.liste().AddItems(alle);
    quelle.ZOrder();
    platform.setBusyPointer(false);
}

void FotolaufForm::BildInListeAufnehmen(const QString& dateiname)
{
    if (Bildtyp::HatBildEndung(dateiname)) {
        if (Bildtyp::HatBildEndungMitPunkt(dateiname))
            List1->AddItem(dateiname);
        return;
    }
    ErweiterungsHinweis();
}

void FotolaufForm::ErweiterungsHinweis()
{
    if (!blnHinweisErweiterung)
        return;
    Programm& p = m_programm;
    p.Meldung(p.Text(2304) + QStringLiteral("'BMP', 'CUR', 'DIB', 'EMF', 'GIF', 'ICO', 'JPG', 'WMF'") + Programm::CrLf +
              p.Text(2305) + Programm::CrLf + p.Text(2306) + Programm::CrLf + p.Text(2094));
    blnHinweisErweiterung = false;
}
