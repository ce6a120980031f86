// Times filling the working list with 32767 entries and showing the list window, next to
// building the same strings in a plain string list in the same run.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/BildListenFeld.h"
#include "listwindow/ListBoxForm.h"
#include "platform/LinuxPlatform.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LinuxPlatform platform({});
    std::vector<double> fuellen, grund;
    for (int runde = 0; runde < 5; ++runde) {
        Programm programm(platform);
        QStringList namen;
        QElapsedTimer t0;
        t0.start();
        for (int i = 0; i < 32767; ++i)
            namen.append(QStringLiteral("/home/anna/Bilder/Urlaub 2026/Album %1/IMG_%2.JPG").arg(i / 100).arg(i, 5, 10, QChar(u'0')));
        grund.push_back(t0.nsecsElapsed() / 1e6);

        ListBoxForm& liste = programm.listBoxForm();
        QElapsedTimer t;
        t.start();
        liste.ListBoxNeu->liste().AddItems(namen);
        liste.ListBoxNeu->setListIndex(32766);
        liste.show();
        QApplication::processEvents();
        liste.repaint();
        fuellen.push_back(t.nsecsElapsed() / 1e6);
        if (liste.ListBoxNeu->ListCount() != 32767)
            std::fprintf(stderr, "unexpected count %d\n", liste.ListBoxNeu->ListCount());
    }
    std::sort(fuellen.begin(), fuellen.end());
    std::sort(grund.begin(), grund.end());
    std::printf("list window with 32767 entries: fill, select the last and show %.1f ms (median of 5); "
                "building the names alone %.1f ms; ratio %.2f (goal: well under a second)\n",
                fuellen[2], grund[2], fuellen[2] / grund[2]);
    return 0;
}
