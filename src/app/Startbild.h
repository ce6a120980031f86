// A start with pictures, on its way to the first picture: that picture's decode begins on the
// prefetcher's worker as soon as the lists name it and runs while the start-up goes on (windows,
// working list, folder question); the windows the first picture needs are made ready meanwhile;
// decoding ahead, which nobody sees before the first picture, waits until the picture window has
// painted. Nothing shows earlier or otherwise: the picture decoded ahead is taken only as any
// picture decoded ahead is (same file, same size and brightness).
#pragma once

#include "display/BildVorlader.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class Programm;

class Startbild : public QObject {
    Q_OBJECT
public:
    // Goes away by itself once decoding ahead is let go.
    Startbild(Programm& programm, BildVorlader& vorlader, QObject* parent = nullptr);

    // The file the start shows first (as it exists on disk): its decode begins (or the one begun
    // before the program was up goes on, when it is of that file, see FruehDekodierung), decoding
    // ahead waits.
    void Vormerken(const QString& datei, const BildVorlader::Umstaende& umstaende, std::shared_ptr<FruehDekodierung> frueh);
    // The picture window has its kind: it and the hidden windows the first picture writes to are
    // made now, while the decode runs, rather than after it.
    void FensterVorbereiten();

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    // A window that is not exposed (a locked screen) paints only later: decoding ahead does not
    // wait longer than this after the first picture was shown.
    static constexpr int kLaengstens = 250;

    void Freigeben();

    Programm& m_programm;
    BildVorlader& m_vorlader;
    QPointer<QWidget> m_bildFenster;
    bool m_freigegeben = false;
};
