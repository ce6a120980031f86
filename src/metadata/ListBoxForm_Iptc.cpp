// The IPTC view of the list window: the fields of the selected picture, one line each, in a
// fixed order, long texts wrapped and the creation date and time rearranged.
#include "listwindow/ListBoxForm.h"

#include "lists/BildListenFeld.h"
#include "metadata/clsIPTC.h"

#include <QListWidget>
#include <QTextBoundaryFinder>

namespace {

enum class Anzeige { Zeile, Umbrochen, Datum, Zeit };

struct Anzeigezeile {
    clsIPTC::Feld feld;
    const char* label;
    Anzeige art;
};

// In the order the window shows them, which is not the reader's own order.
constexpr Anzeigezeile kAnzeige[] = {
    {clsIPTC::OriginatingProgram, "Originating Program", Anzeige::Zeile},
    {clsIPTC::ObjectName, "Object name", Anzeige::Zeile},
    {clsIPTC::Byline, "Byline", Anzeige::Zeile},
    {clsIPTC::BylineTitle, "Byline title", Anzeige::Zeile},
    {clsIPTC::Caption, "Caption", Anzeige::Umbrochen},
    {clsIPTC::CaptionWriter, "Caption writer", Anzeige::Zeile},
    {clsIPTC::CopyrightNotice, "Copyright notice", Anzeige::Zeile},
    {clsIPTC::SpecialInstructions, "Special Instructions", Anzeige::Umbrochen},
    {clsIPTC::Urgency, "Urgency", Anzeige::Zeile},
    {clsIPTC::DateCreated, "Date created", Anzeige::Datum},
    {clsIPTC::TimeCreated, "Time created", Anzeige::Zeit},
    {clsIPTC::City, "City", Anzeige::Zeile},
    {clsIPTC::ProvinceState, "Province/State", Anzeige::Zeile},
    {clsIPTC::Country, "Country", Anzeige::Zeile},
    {clsIPTC::Credit, "Credit", Anzeige::Zeile},
    {clsIPTC::Source, "Source", Anzeige::Zeile},
    {clsIPTC::Headline, "Headline", Anzeige::Umbrochen},
    {clsIPTC::TransmissionReference, "Transmission reference", Anzeige::Zeile},
    {clsIPTC::Category, "Category", Anzeige::Zeile},
    {clsIPTC::SupplementalCategories, "Supplemental Categories", Anzeige::Umbrochen},
    {clsIPTC::Keywords, "Keywords", Anzeige::Umbrochen},
};

constexpr qsizetype kZeilenBreite = 70;

// Consecutive pieces of `breite` characters each (the last may be shorter). A character is what
// the reader sees as one: a letter outside the basic plane (two UTF-16 units) or a letter with
// its combining marks is never split between two lines.
QStringList stuecke(const QString& wert, qsizetype breite)
{
    QStringList teile;
    QTextBoundaryFinder grenzen(QTextBoundaryFinder::Grapheme, wert);
    qsizetype anfang = 0, zeichen = 0;
    while (grenzen.toNextBoundary() >= 0) {
        if (++zeichen == breite || grenzen.position() == wert.size()) {
            teile << wert.sliced(anfang, grenzen.position() - anfang);
            anfang = grenzen.position();
            zeichen = 0;
        }
    }
    return teile;
}

// The reader lives as a child of the window from its first use on.
class IptcKomponente : public QObject {
public:
    explicit IptcKomponente(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("IptcKomponente")); }
    clsIPTC iptc;
};

}  // namespace

void ListBoxForm::IptcAnzeigen()
{
    auto* komponente = dynamic_cast<IptcKomponente*>(
        findChild<QObject*>(QStringLiteral("IptcKomponente"), Qt::FindDirectChildrenOnly));
    if (!komponente)
        komponente = new IptcKomponente(this);
    clsIPTC& iptc = komponente->iptc;
    iptc.setSeparator(QStringLiteral(";"));
    iptc.LoadFromFile(ListBoxNeu->Datei());

    for (const Anzeigezeile& zeile : kAnzeige) {
        const QString wert = iptc.feld(zeile.feld);
        if (wert.isEmpty())
            continue;
        const QString label = QString::fromLatin1(zeile.label) + QStringLiteral(" - ");
        switch (zeile.art) {
        case Anzeige::Zeile:
            lstExifIptc->addItem(label + wert);
            break;
        case Anzeige::Umbrochen:
            lstExifIptc->addItem(label);
            for (const QString& stueck : stuecke(wert, kZeilenBreite))
                lstExifIptc->addItem(stueck);
            break;
        case Anzeige::Datum:
            lstExifIptc->addItem(label + wert.mid(4, 2) + u'/' + wert.mid(6, 2) + u'/' + wert.mid(0, 4));
            break;
        case Anzeige::Zeit:
            lstExifIptc->addItem(label + wert.mid(0, 2) + u':' + wert.mid(2, 2) + u':' + wert.mid(4, 2)
                                 + QStringLiteral(" GMT") + wert.mid(6));
            break;
        }
    }
}
