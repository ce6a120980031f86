// The main window's picture lists: the pictures of one folder, the copy into the working list,
// and the admission of a single file name.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "display/BildVorlader.h"
#include "lists/BildListenFeld.h"
#include "lists/Bildtyp.h"

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
    // The folder of the file the user named: the entry's text may have lost its letter case.
    const QString ersteDatei = List1->liste().Datei(0);
    const QString echterOrdner = Bildtyp::Ordner(ersteDatei);

    // The folder is sorted once, not entry by entry: the same order, without quadratic cost.
    const FolderEntries inhalt = p.platform().listFolder(echterOrdner, Platform::Order::AsStored);
    QStringList bilder;
    std::vector<EintragsDatei> dateien;
    bool grenzeErreicht = false;
    for (const QString& name : inhalt.files) {
        if (!Bildtyp::HatBildEndung(name))
            continue;
        bilder.append(ordner + name);
        dateien.push_back({echterOrdner + name, true});
        if (bilder.size() > BildListe::kHoechstzahl - 1) {
            grenzeErreicht = true;
            break;
        }
    }
    lstFilesImGleichenOrdner->liste().AddItems(bilder, std::move(dateien));
    if (grenzeErreicht)
        p.Meldung(p.Text(2332));

    // The started file itself when it is listed (Foto.jpg beside foto.jpg), else the first entry
    // equal without regard to case.
    const BildListe& gefunden = lstFilesImGleichenOrdner->liste();
    int start = -1;
    for (int i = 0; i < gefunden.ListCount() && start < 0; ++i)
        if (gefunden.Dateien()[static_cast<size_t>(i)].pfad == ersteDatei)
            start = i;
    for (int i = 0; i < gefunden.ListCount() && start < 0; ++i)
        if (gefunden.List(i).compare(erster, Qt::CaseInsensitive) == 0)
            start = i;
    if (start >= 0)
        lstFilesImGleichenOrdner->setListIndex(start);
}

void FotolaufForm::KopiereListBox()
{
    Platform& platform = m_programm.platform();
    BildListe& neu = m_programm.Arbeitsliste();
    platform.setBusyPointer(true);
    Vorlader().verwerfen();
    neu.Clear();
    if (List1->ListCount() == 1) {
        strStartBild = List1->List(0);
        strStartBildDatei = List1->liste().Datei(0);
        List1->Clear();
        neu.AddItemsAus(lstFilesImGleichenOrdner->liste());
        List1->liste().AddItemsAus(lstFilesImGleichenOrdner->liste());
        platform.setBusyPointer(false);
        List1->ZOrder();
        return;
    }
    BildListenFeld& quelle = UnsortierterModus() ? *List1Unsorted : *List1;
    neu.AddItemsAus(quelle.liste());
    quelle.ZOrder();
    platform.setBusyPointer(false);
}

bool FotolaufForm::BildInListeAufnehmen(const QString& dateiname)
{
    if (Bildtyp::HatBildEndung(dateiname))
        return Bildtyp::HatBildEndungMitPunkt(dateiname);
    ErweiterungsHinweis();
    return false;
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
