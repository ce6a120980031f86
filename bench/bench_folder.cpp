// Times collecting the pictures of a folder (32767 pictures among 8000 other files) and the walk
// through a tree of 40000 pictures in 2000 folders, each next to a bare listing of the same files
// done in the same run. Prints medians and ratios.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/BildListenFeld.h"
#include "lists/frmDurchsuchenUnterOrdner.h"
#include "platform/LinuxPlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <vector>

namespace {

// The real platform, with message boxes answered at once and modal windows driven in place.
class BenchPlatform : public LinuxPlatform {
public:
    BenchPlatform()
        : LinuxPlatform({})
    {
    }
    int messageBox(const MessageBoxRequest&) override { return MsgBox::Ok; }
    void execModal(QDialog& dialog) override
    {
        if (auto* f = dynamic_cast<frmDurchsuchenUnterOrdner*>(&dialog))
            f->btnMitUnterOrdnern->click();
    }
};

void touch(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QStringList bareListing(const QByteArray& folder)
{
    QStringList names;
    DIR* d = ::opendir(folder.constData());
    while (dirent* e = ::readdir(d))
        if (e->d_name[0] != '.')
            names.append(QFile::decodeName(e->d_name));
    ::closedir(d);
    return names;
}

void bareRecursive(const QByteArray& folder, QStringList& out)
{
    DIR* d = ::opendir(folder.constData());
    if (!d)
        return;
    std::vector<QByteArray> subs;
    while (dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        if (e->d_type == DT_DIR)
            subs.push_back(folder + '/' + e->d_name);
        else
            out.append(QFile::decodeName(folder + '/' + e->d_name));
    }
    ::closedir(d);
    for (const QByteArray& s : subs)
        bareRecursive(s, out);
}

template <typename F>
double timeMs(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString flat = tmp.path() + "/flach";
    QDir().mkpath(flat);
    for (int i = 0; i < 32767; ++i)
        touch(flat + QStringLiteral("/Bild %1.jpg").arg(i, 5, 10, QChar(u'0')));
    for (int i = 0; i < 8000; ++i)
        touch(flat + QStringLiteral("/Notiz %1.txt").arg(i));
    const QString tree = tmp.path() + "/baum";
    for (int a = 0; a < 40; ++a)
        for (int b = 0; b < 50; ++b) {
            const QString folder = tree + QStringLiteral("/Jahr %1/Album %2").arg(a).arg(b);
            QDir().mkpath(folder);
            for (int i = 0; i < 20; ++i)
                touch(folder + QStringLiteral("/IMG_%1.JPG").arg(i, 4, 10, QChar(u'0')));
        }
    touch(tree + "/start.jpg");

    constexpr int kRounds = 7;
    std::vector<double> ours, bare, walk, bareWalk;
    for (int r = 0; r < kRounds; ++r) {
        BenchPlatform platform;
        Programm programm(platform);
        FotolaufForm& form = programm.fotolaufForm();
        form.List1->AddItem(flat + "/Bild 00000.jpg");
        ours.push_back(timeMs([&] { form.ListAlleFilesImGleichenOrdner(); }));
        if (form.lstFilesImGleichenOrdner->ListCount() != 32767)
            std::fprintf(stderr, "unexpected count %d\n", form.lstFilesImGleichenOrdner->ListCount());
        bare.push_back(timeMs([&] {
            QStringList names = bareListing(QFile::encodeName(flat));
            std::sort(names.begin(), names.end(),
                      [](const QString& x, const QString& y) { return x.compare(y, Qt::CaseInsensitive) < 0; });
        }));

        form.List1->Clear();
        form.List1->AddItem(tree + "/start.jpg");
        walk.push_back(timeMs([&] {
            frmDurchsuchenUnterOrdner frage(programm);
            frage.zeigenModal();
        }));
        bareWalk.push_back(timeMs([&] {
            QStringList all;
            bareRecursive(QFile::encodeName(tree), all);
            std::sort(all.begin(), all.end(),
                      [](const QString& x, const QString& y) { return x.compare(y, Qt::CaseInsensitive) < 0; });
        }));
    }
    const double o = median(ours), b = median(bare), w = median(walk), bw = median(bareWalk);
    std::printf("folder of 32767 pictures + 8000 others: ListAlleFilesImGleichenOrdner %.1f ms, bare listing+sort %.1f ms, "
                "ratio %.2f (goal <= 2)\n", o, b, o / b);
    std::printf("walk of 40000 pictures in 2000 folders: sub-folder search %.1f ms, bare recursive listing+sort %.1f ms, "
                "ratio %.2f (goal <= 2)\n", w, bw, w / bw);
    return 0;
}
