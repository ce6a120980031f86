// The decode function of the display tests: counts the decodes of each file and holds back the
// decodes of the files named until they are let go, before reading the file or, with nachDemLesen,
// once it is read (gelesen is released then). Shared with the worker, which may outlive the test's
// own members.
#pragma once

#include "platform/PictureLoader.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSemaphore>
#include <QStringList>

struct Dekodierer {
    QMutex sperre;
    QHash<QString, int> anzahl;
    QStringList anhalten;  // names of the files whose decodes wait for frei
    bool nachDemLesen = false;
    QSemaphore frei;
    QSemaphore gelesen;
    PictureLoader lader;  // used by the one worker only

    LoadedPicture operator()(const QString& pfad, QSize abdeckung, const ByteTable* tabelle, const CancelFlag& abbruch)
    {
        const QString name = QFileInfo(pfad).fileName();
        bool warten = false;
        bool danach = false;
        {
            QMutexLocker l(&sperre);
            ++anzahl[name];
            warten = anhalten.contains(name);
            danach = nachDemLesen;
        }
        if (warten && !danach)
            frei.acquire();
        LoadedPicture bild = lader.load(pfad, abdeckung, tabelle, &abbruch);
        if (warten && danach) {
            gelesen.release();
            frei.acquire();
        }
        return bild;
    }
    int wieOft(const QString& name)
    {
        QMutexLocker l(&sperre);
        return anzahl.value(name);
    }
    void halten(const QStringList& namen, bool erstNachDemLesen = false)
    {
        QMutexLocker l(&sperre);
        anhalten = namen;
        nachDemLesen = erstNachDemLesen;
    }
};
