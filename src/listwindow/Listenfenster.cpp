#include "listwindow/Listenfenster.h"

#include "app/Programm.h"
#include "lists/BildListe.h"
#include "listwindow/ListBoxForm.h"

Listenfenster::Listenfenster(Programm& programm, BildListe& arbeitsliste)
    : m_programm(programm)
    , m_arbeitsliste(arbeitsliste)
{
    // Once made, the window hears of the selection through its own list control.
    m_auswahl = QObject::connect(&arbeitsliste, &BildListe::ListIndexGesetzt,
                                 [this] { m_stand.AuswahlGeaendert(m_arbeitsliste.Text() == m_programm.AngezeigteDatei); });
}

Listenfenster::~Listenfenster()
{
    QObject::disconnect(m_auswahl);
}

ListBoxForm& Listenfenster::fenster()
{
    if (!m_fenster) {
        QObject::disconnect(m_auswahl);
        m_fenster = std::make_unique<ListBoxForm>(m_programm);
        m_fenster->StandUebernehmen(m_stand);
    }
    return *m_fenster;
}

void Listenfenster::Verbergen()
{
    if (m_fenster)
        m_fenster->hide();
}

void Listenfenster::BildGezeigt(const QString& eintrag)
{
    const QString titel = m_programm.Text(3103) + u'=' + eintrag;
    if (m_fenster)
        m_fenster->BildGezeigt(titel);
    else
        m_stand.BildGezeigt(titel);
}

void Listenfenster::AnsichtenAus()
{
    if (m_fenster)
        m_fenster->AnsichtenAus();
    else
        m_stand.AnsichtenAus();
}
