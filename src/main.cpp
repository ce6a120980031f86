// TESSRIN Fotolauf: a full-screen slide-show picture viewer.
#include "app/Programm.h"
#include "app/Startzeiten.h"
#include "app/Terminalaufruf.h"
#include "app/Vorstart.h"
#include "platform/LinuxPlatform.h"
#include "system/Weitergabe.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>

#include <cstdio>
#include <vector>

int main(int argc, char* argv[])
{
    Startzeiten startzeiten;
    QStringList roh;
    for (int i = 1; i < argc; ++i)
        roh.append(QString::fromLocal8Bit(argv[i]));
    if (const auto antwort = Terminalaufruf::Antwort(roh)) {
        std::fputs(antwort->toLocal8Bit().constData(), stdout);
        return 0;
    }
    QStringList dateien;
    for (const QString& a : roh)
        dateien.append(QFileInfo(a).absoluteFilePath());
    if (!dateien.isEmpty() && Weitergabe::Weiterreichen(dateien))
        return 0;
    // The platform plugin as an argument, not in the environment, so that the programs the viewer
    // starts choose their own.
    const QString system = Terminalaufruf::Anzeigesystem(
        qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("XDG_SESSION_TYPE"), qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
        QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/libqwayland-generic.so")));
    // The picture shown first is decoded from now on, while the toolkit and the windows get ready.
    Vorstart vorstart(system, programArguments(argc, argv));
    if (vorstart.begonnen())
        startzeiten.markieren("first picture's decode begun before the toolkit");
    const QByteArray systemArgument = system.toLatin1();
    std::vector<char*> argumente(argv, argv + argc);
    if (!system.isEmpty() && !roh.contains(QStringLiteral("-platform"))) {
        static char platformSchalter[] = "-platform";
        argumente.insert(argumente.begin() + 1, {platformSchalter, const_cast<char*>(systemArgument.constData())});
    }
    int anzahl = static_cast<int>(argumente.size());
    argumente.push_back(nullptr);
    QApplication app(anzahl, argumente.data());
    vorstart.ToolkitBereit();
    startzeiten.markieren("QApplication");
    QApplication::setApplicationName(QStringLiteral("fotolauf"));
    // The program ends only through its own end operation (closing the picture or main window).
    QApplication::setQuitOnLastWindowClosed(false);
    // From argv itself: the toolkit's own list would decode names that are not UTF-8 lossily.
    LinuxPlatform platform(programArguments(anzahl, argumente.data()));
    Programm programm(platform);
    programm.setStartzeiten(&startzeiten);
    programm.setFruehDekodierung(vorstart.Dekodierung());
    programm.Starten();
    return QApplication::exec();
}
