#include "display/Eingabeaufschub.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QTimerEvent>

#include <algorithm>

namespace {

// Mouse moves beyond this many held events are dropped: they only describe a path, and a long wait
// with the mouse in motion must not gather memory without end.
constexpr size_t kHoechstensGehalten = 4096;

bool istEingabe(QEvent::Type art)
{
    switch (art) {
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

}  // namespace

Eingabeaufschub::Eingabeaufschub(Einordnung einordnen, QObject* parent)
    : QObject(parent)
    , m_einordnen(std::move(einordnen))
{
}

Eingabeaufschub::~Eingabeaufschub()
{
    if (!m_schleifen.empty())
        QCoreApplication::instance()->removeEventFilter(this);
}

void Eingabeaufschub::timerHalten(QObject* timer)
{
    m_timer.push_back(timer);
}

bool Eingabeaufschub::warten(const std::function<bool()>& fertig)
{
    if (m_schleifen.empty()) {
        m_ueberholt = false;
        QCoreApplication::instance()->installEventFilter(this);
    }
    while (!m_ueberholt && !fertig()) {
        QEventLoop schleife;
        m_schleifen.push_back(&schleife);
        schleife.exec();
        m_schleifen.pop_back();
    }
    const bool ueberholt = m_ueberholt;
    if (m_schleifen.empty()) {
        QCoreApplication::instance()->removeEventFilter(this);
        freigeben();
    }
    return !ueberholt;
}

void Eingabeaufschub::wecken()
{
    for (QEventLoop* schleife : m_schleifen)
        schleife->quit();
}

bool Eingabeaufschub::eventFilter(QObject* ziel, QEvent* ereignis)
{
    const QEvent::Type art = ereignis->type();
    if (art == QEvent::KeyPress) {
        const Taste taste = m_einordnen ? m_einordnen(*static_cast<QKeyEvent*>(ereignis)) : Taste::Halten;
        if (taste == Taste::Durchlassen) {
            QTimer::singleShot(0, this, &Eingabeaufschub::wecken);
            return false;
        }
        halten(ziel, ereignis);
        if (taste == Taste::Ueberholen) {
            m_ueberholt = true;
            wecken();
        }
        return true;
    }
    if (istEingabe(art)) {
        if (art != QEvent::MouseMove || m_gehalten.size() < kHoechstensGehalten)
            halten(ziel, ereignis);
        return true;
    }
    // Windows unloaded by the code that waits are deleted when it is done, not under its feet.
    if (art == QEvent::DeferredDelete) {
        m_loeschen.emplace_back(ziel);
        return true;
    }
    // Repaints wait as well: the picture on screen stays until the change is done, as it would on
    // a busy thread, rather than showing the half-made state between the change's steps.
    const bool einmal = art == QEvent::UpdateRequest || art == QEvent::Expose ||
                        (art == QEvent::Timer && std::find(m_timer.begin(), m_timer.end(), ziel) != m_timer.end());
    if (!einmal)
        return false;
    const bool schonGehalten = std::any_of(m_gehalten.begin(), m_gehalten.end(), [ziel, art](const Gehalten& g) {
        return g.ziel == ziel && g.ereignis->type() == art;
    });
    if (!schonGehalten)
        halten(ziel, ereignis);
    return true;
}

void Eingabeaufschub::halten(QObject* ziel, QEvent* ereignis)
{
    m_gehalten.push_back(Gehalten{ziel, std::unique_ptr<QEvent>(ereignis->clone())});
    // Taken: an input event left untaken would be offered to the parent widgets as well.
    ereignis->accept();
}

void Eingabeaufschub::freigeben()
{
    std::vector<Gehalten> gehalten;
    gehalten.swap(m_gehalten);
    for (Gehalten& g : gehalten)
        if (g.ziel)
            QCoreApplication::postEvent(g.ziel, g.ereignis.release());
    std::vector<QPointer<QObject>> loeschen;
    loeschen.swap(m_loeschen);
    for (const QPointer<QObject>& objekt : loeschen)
        if (objekt)
            objekt->deleteLater();
}
