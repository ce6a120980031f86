// Times a start with 30000 pictures named on the command line against a start with one of them
// answered "ohne Unterordner", which finds the same 30000 pictures by the folder scan. Both are
// whole start-ups on the real platform (message boxes answered at once), measured in the same run.
#include "app/Programm.h"
#include "listwindow/ListBoxForm.h"
#include "lists/BildListenFeld.h"
#include "lists/frmDurchsuchenUnterOrdner.h"
#include "platform/LinuxPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

class BenchPlatform : public LinuxPlatform {
public:
    explicit BenchPlatform(const QStringList& arguments)
        : LinuxPlatform(arguments)
    {
    }
    int messageBox(const MessageBoxRequest&) override { return MsgBox::Ok; }
    void execModal(QDialog& dialog) override
    {
        if (auto* f = dynamic_cast<frmDurchsuchenUnterOrdner*>(&dialog))
            f->btnOhneUnterordner->click();
    }
    void endProgram() override {}
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// CPU time of this thread in milliseconds: on a busy machine less noisy than the clock on the
// wall, and all the work runs on this thread.
double cpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Milliseconds for a whole start-up; the count of pictures in the working list.
double starten(const QStringList& argumente, int& anzahl)
{
    BenchPlatform platform(argumente);
    const double vorher = cpuMs();
    Programm programm(platform);
    programm.Starten();
    const double ms = cpuMs() - vorher;
    anzahl = programm.listBoxForm().ListBoxNeu->ListCount();
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    constexpr int kBilder = 30000;
    QStringList alle;
    for (int i = 0; i < kBilder; ++i) {
        // Shuffled against the sort order, as a shell glob over several folders would give them.
        const QString pfad = tmp.path() + QStringLiteral("/Bild %1.jpg").arg((i * 7919) % kBilder, 5, 10, QChar(u'0'));
        QFile f(pfad);
        f.open(QIODevice::WriteOnly);
        alle.append(pfad);
    }
    constexpr int kRunden = 9;
    std::vector<double> argumente, ordner;
    for (int r = 0; r < kRunden; ++r) {
        int n1 = 0, n2 = 0;
        argumente.push_back(starten(alle, n1));
        ordner.push_back(starten({alle.first()}, n2));
        if (n1 != kBilder || n2 != kBilder)
            std::fprintf(stderr, "unexpected counts %d and %d\n", n1, n2);
    }
    const double a = median(argumente), o = median(ordner);
    std::printf("start with %d pictures as arguments %.1f ms CPU, the same pictures by the folder scan %.1f ms CPU, "
                "ratio %.2f (goal <= 2)\n", kBilder, a, o, a / o);
    return 0;
}
