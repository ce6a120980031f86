// TESSRIN Fotolauf: a full-screen slide-show picture viewer.
#include "app/Programm.h"
#include "app/Startzeiten.h"
#include "platform/LinuxPlatform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    Startzeiten startzeiten;
    QApplication app(argc, argv);
    startzeiten.markieren("QApplication");
    QApplication::setApplicationName(QStringLiteral("fotolauf"));
    // The program ends only through its own end operation (closing the picture or main window).
    QApplication::setQuitOnLastWindowClosed(false);
    // From argv itself: the toolkit's own list would decode names that are not UTF-8 lossily.
    LinuxPlatform platform(programArguments(argc, argv));
    Programm programm(platform);
    programm.setStartzeiten(&startzeiten);
    programm.Starten();
    return QApplication::exec();
}
