// Counting the work and the kept bytes of one drawing.
#include "Budget.h"

#include <ctime>

namespace metafile {

namespace {

constexpr int kChecksPerClock = 64;

std::chrono::nanoseconds threadTime()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

}  // namespace

Budget::Budget(qint64 work, qint64 keptBytes) : m_work(work), m_keptLimit(keptBytes) {}

void Budget::setTimeLimit(std::chrono::milliseconds cpu)
{
    m_timed = true;
    m_timeLimit = cpu;
    m_deadline = {};
    m_checksToClock = 0;
}

bool Budget::timeUp(qint64 units)
{
    // Work of a millisecond or more is worth a look at the clock before it starts.
    if (!m_timed || (--m_checksToClock > 0 && m_used + units < m_clockDue))
        return false;
    m_checksToClock = kChecksPerClock;
    m_clockDue = m_used + m_work / 1000;
    const std::chrono::nanoseconds now = threadTime();
    if (m_deadline == std::chrono::nanoseconds{})
        m_deadline = now + m_timeLimit;
    return now >= m_deadline;
}

bool Budget::keepGoing()
{
    return fits(0);
}

bool Budget::fits(qint64 units)
{
    if (units >= 0 && units <= m_work - m_used && (units > 0 || m_used < m_work) && !m_stopAsked.load(std::memory_order_relaxed) &&
        !(m_stopWhen && m_stopWhen()) && !timeUp(units))
        return true;
    m_cut = true;
    return false;
}

void Budget::charge(qint64 units)
{
    m_used += std::max<qint64>(units, 0);
}

bool Budget::afford(qint64 units)
{
    if (!fits(units))
        return false;
    m_used += units;
    return true;
}

bool Budget::keep(qint64 bytes)
{
    if (bytes >= 0 && bytes <= m_keptLimit - m_kept) {
        m_kept += bytes;
        return true;
    }
    m_cut = true;
    return false;
}

}  // namespace metafile
