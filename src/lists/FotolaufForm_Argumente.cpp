// The main window's command-line interpreter: picture names or one slide-list file, with the
// messages that end the program when nothing usable was given.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/Argumente.h"
#include "lists/BildListenFeld.h"
#include "lists/Bildtyp.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <QRadioButton>

void FotolaufForm::ArgumenteAuswerten()
{
    Programm& p = m_programm;
    if (!Argumente::IstFotolaufDatei(strArgumente)) {
        // From the command line the names are taken one by one, as the user gave them: a name may
        // hold blanks and quotes that no split of the joined string keeps whole. Each stands for
        // the file of the argument, whose letter case the lower-cased name has lost.
        QStringList namen = Befehlszeilenargumente;
        QStringList dateien = Befehlszeilenargumente;
        if (namen.isEmpty())
            namen = dateien = Argumente::NamenZerlegen(strArgumente);
        else
            for (QString& name : namen)
                name = name.toLower();
        QStringList bilder;
        std::vector<EintragsDatei> bildDateien;
        for (qsizetype i = 0; i < namen.size(); ++i) {
            if (!BildInListeAufnehmen(namen[i]))
                continue;
            bilder.append(namen[i]);
            bildDateien.push_back(EintragsDatei::nachsehen(dateien[i]));
        }
        List1->liste().AddItems(bilder, std::move(bildDateien));  // sorted once, however many
        if (List1->ListCount() == 0) {
            p.Meldung(p.Text(2309));
            p.ProgrammBeenden();
        }
        return;
    }

    if (strArgumente.startsWith(u'"'))
        strArgumente = strArgumente.mid(1, strArgumente.size() - 2);
    // The file the user named, in its own letter case; another case only when that one is missing.
    const QString datei =
        FileSystem::resolvePath(Befehlszeilenargumente.size() == 1 ? Befehlszeilenargumente[0] : strArgumente);
    QByteArray inhalt;
    Refusal grund;
    if (!p.platform().readFile(datei, FileSystem::Limit::kSlideList, inhalt, &grund)) {
        // A file that could not be opened at all keeps the classic message. One that we chose not to
        // read (larger than we take, a pipe or a device that might never end) is not called missing:
        // it cannot be opened, and the error-text line says why.
        const QString angegeben = p.Text(2310) + Programm::CrLf + strArgumente + Programm::CrLf;
        const bool unsereGrenze = grund.kind == Refusal::Kind::TooLarge || grund.kind == Refusal::Kind::NotRegular;
        p.Meldung(unsereGrenze ? Programm::MeldungMitGrund(grund, angegeben + p.Text(1376)) : angegeben + p.Text(2311),
                  MsgBox::OkNur, MsgBox::Kritisch);
        p.ProgrammBeenden();
        return;
    }
    optVorhandeneFotolaufDateiBenutzen->setChecked(true);
    ZeilenZaehler = 0;
    // A line that is no full path names a picture beside the slide-list file.
    const QString textOrdner = Bildtyp::Ordner(strArgumente);
    const QString dateiOrdner = Bildtyp::Ordner(datei);
    QStringList zeilen;
    std::vector<EintragsDatei> zeilenDateien;
    const int frei = BildListe::kHoechstzahl - Quellliste().ListCount();
    for (const QString& feld : Argumente::FotolaufDateiFelder(TextEncoding::decodeText(inhalt))) {
        if (!feld.isEmpty() && zeilen.size() >= frei) {
            // The list holds no more: say so once, as the other ways of filling it do.
            p.Meldung(p.Text(2332));
            break;
        }
        if (!ZeileUebernehmen(feld))
            return;
        zeilen.append(FileSystem::absolutePath(feld, textOrdner));
        zeilenDateien.push_back(EintragsDatei::nachsehen(FileSystem::absolutePath(feld, dateiOrdner)));
    }
    Quellliste().liste().AddItems(zeilen, std::move(zeilenDateien));
    if (List1Unsorted->ListCount() == 0) {
        p.Meldung(p.Text(2312) + strArgumente, MsgBox::OkNur, MsgBox::Kritisch);
        p.ProgrammBeenden();
    }
}

bool FotolaufForm::ZeileUebernehmen(const QString& zeile)
{
    ZeilenZaehler += 1;
    // No file name holds a NUL: such a field is as faulty as an empty one, and taking it would
    // let one entry stand for two files.
    if (zeile.isEmpty() || zeile.contains(QChar(u'\0'))) {
        ZeilenfehlerMelden(zeile);
        return false;
    }
    // The extension is not checked here: the display reports names it cannot load. The caller
    // appends the fields to the source list all at once.
    return true;
}

void FotolaufForm::ZeilenfehlerMelden(const QString& zeile)
{
    Programm& p = m_programm;
    p.Meldung(p.Text(2307) + strArgumente + Programm::CrLf + zeile + Programm::CrLf + p.Text(2308) +
                  QString::number(ZeilenZaehler),
              MsgBox::OkNur, MsgBox::Kritisch);
    p.ProgrammBeenden();
}
