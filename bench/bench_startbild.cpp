// The first picture of a launch decoded alone: one load at 1920 x 1080 in a fresh process, as the
// program's start decodes it (a new loader, memory not touched before). paging_e2e.sh sets its time
// beside the time from launch to that picture on screen.
//
//   bench_startbild FILE    prints the time of the load in ms; fails when the file is not loadable
#include "platform/PictureLoader.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: bench_startbild FILE\n");
        return 2;
    }
    QElapsedTimer uhr;
    uhr.start();
    PictureLoader lader;
    const LoadedPicture bild = lader.load(app.arguments()[1], QSize(1920, 1080));
    const double ms = double(uhr.nsecsElapsed()) / 1e6;
    if (!bild.ok)
        return 1;
    std::printf("%.1f\n", ms);
    return 0;
}
