// The drop container: files dragged from the file manager, the start button, emptying, and the
// new compilation (F8), which offers the container again or another slide-list file.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "display/BildVorlader.h"
#include "lists/BildListenFeld.h"
#include "lists/Bildtyp.h"
#include "windows/ImageForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>

void FotolaufForm::UebernehmeDateien(const QStringList& dateien)
{
    Programm& p = m_programm;
    BildListenFeld& ziel = Quellliste();
    // A file already in the container is not taken twice. Files are compared as they are on
    // disk: Foto.jpg and foto.jpg are two pictures here.
    QSet<QString> schonDa;
    for (const EintragsDatei& d : ziel.liste().Dateien())
        schonDa.insert(d.pfad);
    if (ziel.ListCount() > 0)
        ziel.setListIndex(0);
    QStringList neu;
    std::vector<EintragsDatei> neueDateien;
    for (qsizetype i = 1; i <= dateien.size(); ++i) {
        const QString& datei = dateien[i - 1];
        if (!schonDa.contains(datei)) {
            if (!Bildtyp::HatBildEndung(datei)) {
                ErweiterungsHinweis();
            } else {
                schonDa.insert(datei);
                neu.append(datei);
                neueDateien.push_back(EintragsDatei::nachsehen(datei));
            }
        }
        if (i > 32766) {
            p.Meldung(p.Text(2332));
            break;
        }
    }
    ziel.liste().AddItems(neu, std::move(neueDateien));  // sorted once, however many
    p.platform().setBusyPointer(false);
    p.BildPosListNeu(Quellliste().ListCount());
}

void FotolaufForm::chkSortAsDragAndDrop_Click()
{
    List1Unsorted->Clear();
    List1->Clear();
    if (chkSortAsDragAndDrop->isChecked())
        List1Unsorted->ZOrder();
    else
        List1->ZOrder();
}

void FotolaufForm::cmdKeinNeustart_Click()
{
    lstFilesImGleichenOrdner->Clear();
    Quellliste().Clear();
    m_programm.Arbeitsliste().Clear();
    cmdKeinNeustart->hide();
}

void FotolaufForm::cmdStartAfterDragDrop_Click()
{
    Programm& p = m_programm;
    if (Quellliste().ListCount() == 0) {
        p.Meldung(p.Text(2303));
        return;
    }
    if (List1->ListCount() == 1) {
        p.Meldung(p.Text(1234) + Programm::CrLf + p.Text(1231) + Programm::CrLf + p.Text(1232) + Programm::CrLf + p.Text(1233) +
                  Programm::CrLf);
        ListAlleFilesImGleichenOrdner();
    }
    lblDateinamen->hide();
    List1Unsorted->hide();
    List1->hide();
    cmdStartAfterDragDrop->hide();
    cmdKeinNeustart->hide();
    ImageForm& bild = p.imageForm();
    bild.setWindowTitle(QString());
    KopiereListBox();
    p.BildPosListNeu(Quellliste().ListCount());
    if (strStartBild.isEmpty())
        ErstesBild();
    else
        SucheBildInListe();
    bild.FensterArtFestlegen(chkFensterGroesseAenderbar->isChecked());
    BildAnzeigen();
    p.platform().setBusyPointer(false);
}

void FotolaufForm::NeueZusammenstellung()
{
    Programm& p = m_programm;
    if (p.Arbeitsliste().IrgendeinHaekchen()) {
        if (p.Meldung(p.Text(3149), MsgBox::JaNein) == MsgBox::Nein)
            return;
    }
    Timer1.stop();
    Vorlader().verwerfen();
    blnNeuZusammenstellen = true;
    ImageForm& bild = p.imageForm();
    bild.Image1.Visible = false;
    bild.Neuzeichnen();
    cmdKeinNeustart->show();
    bild.setHintergrundfarbe(QColor(0xC0, 0xC0, 0xC0));
    setWindowTitle(p.Text(1201));
    ContainerAnzeigen();
    if (p.beendet())
        return;
    if (!optVorhandeneFotolaufDateiBenutzen->isChecked()) {
        bild.hide();
        show();
        raise();
        activateWindow();
    }
    p.platform().setBusyPointer(false);
}

void FotolaufForm::ContainerAnzeigen()
{
    Programm& p = m_programm;
    BildListe& neu = p.Arbeitsliste();
    if (!optVorhandeneFotolaufDateiBenutzen->isChecked()) {
        if (!blnNeuZusammenstellen) {
            Quellliste().Clear();
            neu.Clear();
        }
        Frame1->hide();
        lblDateinamen->show();
        cmdStartAfterDragDrop->show();
        List1Unsorted->show();
        List1->show();
        if (chkSortAsDragAndDrop->isChecked())
            List1Unsorted->ZOrder();
        return;
    }

    Frame1->hide();
    for (;;) {
        strArgumente = p.platform().chooseOpenFile(p.Text(1223), QStringLiteral("Fotolauf(*.flf *.FLF *.Flf)"));
        List1Unsorted->hide();
        if (!strArgumente.isEmpty()) {
            lblDateinamen->hide();
            cmdStartAfterDragDrop->hide();
            cmdKeinNeustart->hide();
            break;
        }
        if (p.Meldung(p.Text(1224), MsgBox::JaNein) == MsgBox::Ja) {
            p.ProgrammBeenden();
            return;
        }
    }
    blnListBoxNeuDblClick = true;
    setWindowTitle(QString());
    ImageForm& bild = p.imageForm();
    bild.setHintergrundfarbe(Qt::black);
    List1Unsorted->Clear();
    neu.Clear();
    Befehlszeilenargumente.clear();  // the chosen file is the argument now
    ArgumenteAuswerten();
    if (p.beendet())
        return;
    KopiereListBox();
    p.BildPosListNeu(Quellliste().ListCount());
    ErstesBild();
    p.platform().setBusyPointer(false);
    bild.FensterArtFestlegen(chkFensterGroesseAenderbar->isChecked());
    BildAnzeigen();
}
