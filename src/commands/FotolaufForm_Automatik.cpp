// Stepping through the working list with wrap-around, the random pick of the automatic show in
// random order, and the interval timer.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/BildListenFeld.h"
#include "listwindow/ListBoxForm.h"
#include "windows/WertxForm.h"

#include <QRadioButton>
#include <QRandomGenerator>

#include <chrono>
#include <cmath>

void FotolaufForm::NaechstesBild()
{
    BildListenFeld& neu = *m_programm.listBoxForm().ListBoxNeu;
    if (neu.ListIndex() + 1 < neu.ListCount()) {
        neu.setListIndex(neu.ListIndex() + 1);
        ZufallsBild();
    } else {
        ErstesBild();
    }
}

void FotolaufForm::VorherigesBild()
{
    BildListenFeld& neu = *m_programm.listBoxForm().ListBoxNeu;
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
    if (m_programm.wertxForm().OptAlphabetisch->isChecked() || !F6TimerGestartet)
        return;
    BildListenFeld& neu = *m_programm.listBoxForm().ListBoxNeu;
    const int n = neu.ListCount();
    // Reseeded from the clock on every pick (nanoseconds, so that quick picks differ).
    const auto jetzt = static_cast<quint64>(std::chrono::steady_clock::now().time_since_epoch().count());
    QRandomGenerator zufall(static_cast<quint32>(jetzt ^ (jetzt >> 32)));
    if (n == 0)
        return;
    const float r = static_cast<float>(zufall.generate() >> 8) * (1.0f / 16777216.0f);  // 24 bits: 0 ≤ r < 1
    neu.setListIndex(ZufallsIndex(n, r));
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
