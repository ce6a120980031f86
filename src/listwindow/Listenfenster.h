// The list window as the rest of the program sees it. The window is made only when it is needed
// (it costs the start-up its time otherwise); until then what it would show of the picture on
// screen is kept here, so that the window, once made, shows what it would have shown had it been
// there all along. Before it is made its EXIF and IPTC views cannot have been switched on (only
// the window itself does that), so little is to keep.
#pragma once

#include <QMetaObject>
#include <QString>

#include <memory>

class BildListe;
class ListBoxForm;
class Programm;

// What the list window shows of the picture on screen while neither its EXIF nor its IPTC view is
// on.
struct Listenfensterstand {
    QString titel;               // the window's title; "" keeps the one it is made with
    bool ansichtenAn = true;     // the EXIF and IPTC check boxes can be ticked
    bool hinweis = false;        // the EXIF text holds the note that another picture is shown
    bool hinweisSichtbar = false;

    // The selection moved: on the picture shown the views can be switched on, on any other entry
    // the note says why not.
    void AuswahlGeaendert(bool gezeigtesBild)
    {
        ansichtenAn = gezeigtesBild;
        hinweis = !gezeigtesBild;
        hinweisSichtbar = !gezeigtesBild;
    }
    void BildGezeigt(const QString& neuerTitel)
    {
        titel = neuerTitel;
        ansichtenAn = true;
    }
    void AnsichtenAus()
    {
        ansichtenAn = true;
        hinweisSichtbar = false;
    }
};

class Listenfenster {
public:
    Listenfenster(Programm& programm, BildListe& arbeitsliste);
    ~Listenfenster();
    Listenfenster(const Listenfenster&) = delete;
    Listenfenster& operator=(const Listenfenster&) = delete;

    // The window, made now if it is not yet.
    ListBoxForm& fenster();
    bool gemacht() const { return m_fenster != nullptr; }

    void Verbergen();
    // A picture is on screen: the title names its entry, its EXIF and IPTC can be looked at.
    void BildGezeigt(const QString& eintrag);
    // A key went to the program: the EXIF and IPTC views go off.
    void AnsichtenAus();

private:
    Programm& m_programm;
    BildListe& m_arbeitsliste;
    std::unique_ptr<ListBoxForm> m_fenster;
    Listenfensterstand m_stand;
    QMetaObject::Connection m_auswahl;
};
