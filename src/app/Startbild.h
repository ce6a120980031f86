// A start with pictures, on its way to the first picture: that picture's decode begins on the
// prefetcher's worker as soon as the lists name it and runs while the start-up goes on (windows,
// working list, folder question); the windows the first picture needs are made ready meanwhile;
// work that nobody sees before the first picture waits until the picture window has painted.
// Nothing shows earlier or otherwise: the picture decoded ahead is taken only as any picture
// decoded ahead is (same file, same size and brightness).
#pragma once

#include "display/BildVorlader.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class Programm;

class Startbild : public QObject {
    Q_OBJECT
public:
    Startbild(Programm& programm, BildVorlader& vorlader, QObject* parent = nullptr);

    // The file the start shows first (as it exists on disk): its decode begins.
    void Vormerken(const QString& datei, const BildVorlader::Umstaende& umstaende);
    // The picture window has its kind: it and the hidden windows the first picture writes to are
    // made now, while the decode runs, rather than after it.
    void FensterVorbereiten();
    // Runs `arbeit` after the picture window's first paint (the picture, or its background when the
    // picture could not be loaded), from the event loop; at once when that paint is past, and at
    // the latest kLaengstens ms after the first such request.
    void NachDemErstenBild(std::function<void()> arbeit);
    bool Gemalt() const { return m_gemalt; }

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

    static constexpr int kLaengstens = 250;

private:
    void Nachholen();

    Programm& m_programm;
    BildVorlader& m_vorlader;
    QPointer<QWidget> m_bildFenster;
    bool m_gemalt = false;
    std::vector<std::function<void()>> m_danach;
};
