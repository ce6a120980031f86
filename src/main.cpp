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
    QStringList argumente = QApplication::arguments();
    argumente.removeFirst();
    LinuxPlatform platform(argumente);
    Programm programm(platform);
    programm.setStartzeiten(&startzeiten);
    programm.Starten();
    return QApplication::exec();
}
