#include "commands/Zufallsziehung.h"

#include <QRandomGenerator>

#include <chrono>

namespace {

float neuGesaet()
{
    // Reseeded from the clock on every draw (nanoseconds, so that quick draws differ).
    const auto jetzt = static_cast<quint64>(std::chrono::steady_clock::now().time_since_epoch().count());
    QRandomGenerator zufall(static_cast<quint32>(jetzt ^ (jetzt >> 32)));
    return static_cast<float>(zufall.generate() >> 8) * (1.0f / 16777216.0f);  // 24 bits: 0 <= r < 1
}

}  // namespace

Zufallsziehung::Zufallsziehung()
    : m_quelle(neuGesaet)
{
}

float Zufallsziehung::ziehen()
{
    if (m_vorgezogen) {
        const float r = *m_vorgezogen;
        m_vorgezogen.reset();
        return r;
    }
    return m_quelle();
}

float Zufallsziehung::vorziehen()
{
    if (!m_vorgezogen)
        m_vorgezogen = m_quelle();
    return *m_vorgezogen;
}

void Zufallsziehung::setQuelle(std::function<float()> quelle)
{
    m_quelle = quelle ? std::move(quelle) : std::function<float()>(neuGesaet);
    m_vorgezogen.reset();
}
