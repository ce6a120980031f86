// Times 200 presses of F3 over a folder of 1920 × 1080 JPEGs on a 1920 × 1080 screen: from the key
// event to the picture painted in the picture window. Prints the median per step next to the
// loader's time for one picture measured in the same run, so that overhead beyond loading shows.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/BildListenFeld.h"
#include "listwindow/ListBoxForm.h"
#include "platform/LinuxPlatform.h"
#include "platform/PictureLoader.h"
#include "windows/ImageForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class BenchPlatform : public LinuxPlatform {
public:
    BenchPlatform(QStringList args)
        : LinuxPlatform(std::move(args))
    {
    }
    int messageBox(const MessageBoxRequest& r) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(r.text));
        return MsgBox::Ok;
    }
    QSize screenSizePixels() override { return {1920, 1080}; }
};

// A photo-like picture: smooth gradients with fine noise, so the JPEG is not trivially small.
void fotoSchreiben(const QString& pfad, int nummer)
{
    QImage bild(1920, 1080, QImage::Format_RGB32);
    QPainter p(&bild);
    QLinearGradient g(0, 0, 1920, 1080);
    g.setColorAt(0, QColor::fromHsv((nummer * 37) % 360, 180, 200));
    g.setColorAt(1, QColor::fromHsv((nummer * 37 + 120) % 360, 120, 90));
    p.fillRect(bild.rect(), g);
    p.end();
    QRandomGenerator zufall(static_cast<quint32>(nummer));
    for (int y = 0; y < bild.height(); ++y) {
        auto* zeile = reinterpret_cast<QRgb*>(bild.scanLine(y));
        for (int x = 0; x < bild.width(); ++x) {
            const int n = static_cast<int>(zufall.bounded(24)) - 12;
            const QRgb c = zeile[x];
            zeile[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255), std::clamp(qBlue(c) + n, 0, 255));
        }
    }
    bild.save(pfad, "JPEG", 90);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    QStringList bilder;
    for (int i = 0; i < 20; ++i) {
        const QString pfad = tmp.path() + QStringLiteral("/foto%1.jpg").arg(i, 2, 10, QChar(u'0'));
        fotoSchreiben(pfad, i);
        bilder.append(pfad);
    }

    BenchPlatform platform(bilder);
    Programm programm(platform);
    programm.Starten();
    ImageForm& fenster = programm.imageForm();
    fenster.resize(1920, 1080);
    QImage leinwand(1920, 1080, QImage::Format_RGB32);

    std::vector<double> schritte;
    for (int i = 0; i < 200; ++i) {
        QKeyEvent taste(QEvent::KeyPress, Qt::Key_F3, Qt::NoModifier);
        QElapsedTimer t;
        t.start();
        QApplication::sendEvent(&fenster, &taste);
        fenster.render(&leinwand);  // the picture painted as the window shows it
        schritte.push_back(t.nsecsElapsed() / 1e6);
    }

    // The loader alone on the same pictures, for comparison.
    PictureLoader lader;
    std::vector<double> laden;
    for (int runde = 0; runde < 10; ++runde)
        for (const QString& b : bilder) {
            QElapsedTimer t;
            t.start();
            const LoadedPicture p = lader.load(b, QSize(1920, 1080));
            laden.push_back(t.nsecsElapsed() / 1e6);
            if (!p.ok)
                std::fprintf(stderr, "not loaded: %s\n", qPrintable(b));
        }
    const double schritt = median(schritte), allein = median(laden);
    std::printf("F3 step (key to picture painted), median of 200: %.2f ms; loading one picture alone: %.2f ms; "
                "overhead %.2f ms (ratio %.2f)\n",
                schritt, allein, schritt - allein, schritt / allein);
    return 0;
}
