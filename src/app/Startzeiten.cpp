#include "app/Startzeiten.h"

#include <QFile>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

// Seconds from the start of the process (exec, loading of the libraries) to now, from the
// kernel's clock ticks; -1 when /proc cannot tell.
double prozessAlter()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray s = stat.readAll();
    // Field 22 counts after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> felder = s.mid(s.lastIndexOf(')') + 2).split(' ');
    const long ticks = sysconf(_SC_CLK_TCK);
    if (felder.size() < 20 || ticks <= 0)
        return -1;
    const double start = felder[19].toDouble() / double(ticks);
    return uptime.readAll().split(' ').value(0).toDouble() - start;
}

}  // namespace

Startzeiten::Startzeiten()
    : m_an(qEnvironmentVariableIsSet("FOTOLAUF_STARTZEITEN"))
{
    m_uhr.start();
    if (m_an)
        std::fprintf(stderr, "fotolauf start: process start to main(): %.0f ms (10 ms steps)\n", prozessAlter() * 1000.0);
}

void Startzeiten::markieren(const char* was)
{
    if (!m_an || m_gesehen.contains(QLatin1String(was)))
        return;
    m_gesehen.insert(QLatin1String(was));
    // The processor time of the whole process as well: on a busy machine the wall clock also counts
    // the time other programs had the processor.
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::fprintf(stderr, "fotolauf start: %8.1f ms (processor %6.1f ms)  %s\n", double(m_uhr.nsecsElapsed()) / 1e6,
                 double(cpu.tv_sec) * 1e3 + double(cpu.tv_nsec) / 1e6, was);
}
