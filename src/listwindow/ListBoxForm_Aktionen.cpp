// The file actions of the list window: open, print, new e-mail, file manager, trash and copy of
// the ticked pictures, with their messages.
#include "listwindow/ListBoxForm.h"

#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/BildListenFeld.h"
#include "system/OrdnerWaehlen.h"
#include "system/ShellFehlertext.h"
#include "windows/ImageForm.h"

const std::array<ListBoxForm::Aktion, 6> ListBoxForm::kAktionen{{
    {1, 3005, &ListBoxForm::Oeffnen},
    {2, 3119, &ListBoxForm::Drucken},
    {3, 3120, &ListBoxForm::NeueEmail},
    {4, 3121, &ListBoxForm::ImDateimanagerZeigen},
    {5, 3112, &ListBoxForm::PapierkorbAktion},
    {6, 3130, &ListBoxForm::KopierAktion},
}};

const QString ListBoxForm::kMailLink = QStringLiteral("mailto:empfaenger@example.com?");

void ListBoxForm::WeiterAnShellExecute(int routine_to_do)
{
    if (routine_to_do == 0)
        return;
    const int index = routine_to_do - 1;
    if (index < 0 || index >= static_cast<int>(kAktionen.size()))
        return;
    (this->*kAktionen[static_cast<size_t>(index)].Ausfuehren)();
}

QString ListBoxForm::GetShellError(int lErrorCode)
{
    return ShellFehlertext(lErrorCode);
}

QString ListBoxForm::ErweiterungFuerMeldung(const QString& eintrag)
{
    const qsizetype l = eintrag.size();
    int laenge = 0;
    // 1-based positions L-3, L-4, L-5, in this order; the last dot found wins.
    for (int abstand = 3; abstand <= 5; ++abstand) {
        const qsizetype position = l - abstand;
        if (position >= 1 && eintrag.at(position - 1) == u'.')
            laenge = abstand;
    }
    return eintrag.right(laenge);
}

void ListBoxForm::Oeffnen()
{
    Programm& p = m_programm;
    const QString eintrag = ListBoxNeu->Text();
    const int ergebnis = p.platform().openWithApplication(ListBoxNeu->Datei());
    if (ergebnis > 32)
        return;
    p.Meldung(OeffnenFehlermeldung(p, ergebnis, eintrag, ErweiterungFuerMeldung(eintrag)));
}

void ListBoxForm::Drucken()
{
    Programm& p = m_programm;
    if (p.platform().printPicture(ListBoxNeu->Datei()) <= 32)
        p.Meldung(p.Text(3122));
}

void ListBoxForm::NeueEmail()
{
    // Whether a mail program came up is not looked at.
    m_programm.platform().openLink(kMailLink);
}

void ListBoxForm::ImDateimanagerZeigen()
{
    m_programm.platform().showInFileManager(ListBoxNeu->Datei());
}

namespace {
bool einesAngehakt(const BildListenFeld& liste)
{
    for (int i = 0; i < liste.ListCount(); ++i)
        if (liste.Selected(i))
            return true;
    return false;
}
}  // namespace

void ListBoxForm::PapierkorbAktion()
{
    Programm& p = m_programm;
    BildListenFeld& liste = *ListBoxNeu;
    if (!einesAngehakt(liste))
        return;
    if (p.Meldung(p.Text(3116), MsgBox::JaNein) != MsgBox::Ja)
        return;
    bool fehlgeschlagen = false;
    // Files the trash refused for a reason of its own, not the file's protection: by reason.
    std::vector<std::pair<QString, QStringList>> verweigert;
    int i = 0;
    while (i != liste.ListCount()) {
        if (liste.ListCount() == 0)
            break;
        if (!liste.Selected(i)) {
            if (i == liste.ListCount() - 1)
                break;
            ++i;
            continue;
        }
        const QString eintrag = liste.List(i);
        // The file the entry named, and only that one: never a neighbour differing in case.
        const QString datei = liste.liste().Datei(i);
        Refusal grund;
        if (p.platform().moveToTrash({datei}, &grund) != 0) {
            // The entry stays, still ticked.
            using Kind = Refusal::Kind;
            if (grund.kind == Kind::WriteProtected || grund.kind == Kind::Missing || !grund.refused()) {
                fehlgeschlagen = true;
            } else {
                const QString text = Programm::MeldungMitGrund(grund, p.Text(3112));
                auto gleich = std::find_if(verweigert.begin(), verweigert.end(), [&](const auto& v) { return v.first == text; });
                if (gleich == verweigert.end())
                    gleich = verweigert.insert(verweigert.end(), {text, {}});
                gleich->second.append(eintrag);
            }
            ++i;
            continue;
        }
        p.imageForm().Image1Leeren();
        BildListenFeld& quelle = p.fotolaufForm().Quellliste();
        // The count is taken once; after a removal the entry that moved up is not compared.
        const int anzahl = quelle.ListCount();
        for (int j = 0; j < anzahl; ++j)
            if (quelle.List(j) == eintrag && quelle.liste().Datei(j) == datei)
                quelle.RemoveItem(j);
        liste.RemoveItem(i);
    }
    if (fehlgeschlagen)
        p.Meldung(p.Text(3114));
    for (const auto& [text, eintraege] : verweigert)
        p.Meldung(text + Programm::CrLf + eintraege.join(Programm::CrLf));
    if (liste.ListCount() == 0) {
        p.Meldung(p.Text(3115));
        p.ProgrammBeenden();
        return;
    }
}

void ListBoxForm::KopierAktion()
{
    Programm& p = m_programm;
    BildListenFeld& liste = *ListBoxNeu;
    if (!einesAngehakt(liste))
        return;
    QString ziel = OrdnerWaehlen(p.platform(), QString());
    if (ziel.isEmpty())
        return;
    setCursor(Qt::WaitCursor);
    for (int i = 0; liste.ListCount() != 0;) {
        if (liste.Selected(i)) {
            const QString eintrag = liste.List(i);
            // The copy keeps the file's real name, whatever the letter case of the entry's text.
            const QString datei = liste.liste().Datei(i);
            const qsizetype trenner = datei.lastIndexOf(u'/');
            if (!ziel.endsWith(u'/'))
                ziel += u'/';
            const QString zielDatei = ziel + datei.mid(trenner + 1);
            QString fehlertext;
            const int fehlernummer = p.platform().copyFile(datei, zielDatei, fehlertext);
            if (fehlernummer != 0) {
                unsetCursor();
                const QString& n = Programm::CrLf;
                const int antwort = p.Meldung(QStringLiteral("FileCopy from ") + eintrag + QStringLiteral(" to ") + zielDatei + n +
                                                  QStringLiteral("Error number=") + QString::number(fehlernummer) + n +
                                                  QStringLiteral("Error text=") + fehlertext + n +
                                                  QStringLiteral("Wollen Sie den Kopiervorgang abbrechen ?"),
                                              MsgBox::JaNein, MsgBox::KeinIcon, MsgBox::StandardKnopf2);
                if (antwort == MsgBox::Ja)
                    return;
                setCursor(Qt::WaitCursor);
            }
        }
        if (i == liste.ListCount() - 1)
            break;
        ++i;
    }
    p.imageForm().Image1.Visible = true;
    hide();
    unsetCursor();
    p.fotolaufForm().BildAnzeigen();
}
