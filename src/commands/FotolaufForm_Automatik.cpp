// Stepping through the working list with wrap-around, the random pick of the automatic show in
// random order, and the interval timer.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "display/BildVorlader.h"
#include "lists/BildListe.h"
#include "windows/WertxForm.h"

#include <QRadioButton>

#include <cmath>

void FotolaufForm::NaechstesBild()
{
    BildListe& neu = m_programm.Arbeitsliste();
    if (neu.ListIndex() + 1 < neu.ListCount()) {
        neu.setListIndex(neu.ListIndex() + 1);
        ZufallsBild();
    } else {
        ErstesBild();
    }
}

void FotolaufForm::VorherigesBild()
{
    BildListe& neu = m_programm.Arbeitsliste();
    if (neu.ListIndex() >= 1) {
        neu.setListIndex(neu.ListIndex() - 1);
        ZufallsBild();
    } else {
        LetztesBild();
    }
}

int FotolaufForm::ZufallsIndex(int n, float r)
{
    // x = r × n + 1 stored in single precision and rounded half to even: index 0 is never drawn,
    // index 1 with 0.5/n, the last with 2.5/n.
    const auto x = static_cast<float>(static_cast<double>(r) * n + 1.0);
    const auto k = static_cast<int>(std::nearbyint(x));
    return k >= n ? n - 1 : k;
}

void FotolaufForm::ZufallsBild()
{
    if (m_programm.Einstellungen().alphabetisch || !F6TimerGestartet)
        return;
    BildListe& neu = m_programm.Arbeitsliste();
    const int n = neu.ListCount();
    if (n == 0)
        return;
    neu.setListIndex(ZufallsIndex(n, m_zufall.ziehen()));
}

QList<int> FotolaufForm::Nachbarn()
{
    const BildListe& neu = m_programm.Arbeitsliste();
    const int i = neu.ListIndex();
    const int n = neu.ListCount();
    if (i < 0 || n <= 0)
        return {};
    // Both steps end in the random pick unless they wrap; its draw is taken now, so that the
    // picture it names can be decoded before the tick or key that uses it.
    const bool zufaellig = !m_programm.Einstellungen().alphabetisch && F6TimerGestartet;
    const int gezogen = zufaellig ? ZufallsIndex(n, m_zufall.vorziehen()) : -1;
    const int naechstes = i + 1 < n ? (zufaellig ? gezogen : i + 1) : 0;
    const int voriges = i >= 1 ? (zufaellig ? gezogen : i - 1) : n - 1;
    return {naechstes, voriges};
}

void FotolaufForm::Timer1_Timer()
{
    Timer1.stop();
    m_programm.ZoomFormSchliessen();
    NaechstesBild();
    BildAnzeigen();
    if (!m_programm.beendet())
        Timer1.start();
}
