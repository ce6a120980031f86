// Where the launch time goes: with the environment variable FOTOLAUF_STARTZEITEN set, the way to
// the first picture on screen is marked on standard error, in milliseconds since main() began,
// each mark once. Without it every mark is a no-op.
#pragma once

#include <QElapsedTimer>
#include <QSet>
#include <QString>

class Startzeiten {
public:
    // Starts the clock; call first thing in main().
    Startzeiten();
    void markieren(const char* was);

private:
    QElapsedTimer m_uhr;
    bool m_an = false;
    QSet<QString> m_gesehen;
};
