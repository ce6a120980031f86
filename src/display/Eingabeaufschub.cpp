#include "display/Eingabeaufschub.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QTimerEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// Mouse moves beyond this many held events are dropped: they only describe a path, and a long wait
// with the mouse in motion must not gather memory without end.
constexpr size_t kHoechstensGehalten = 4096;

// Input other than key presses, and whether it acts on the picture (a click may drag it or open
// the magnifier; a move only describes where the pointer is).
bool istEingabe(QEvent::Type art, Eingabeaufschub::Taste& wirkung)
{
    switch (art) {
    case QEvent::KeyRelease:
    case QEvent::MouseMove:
    case QEvent::TabletMove:
        wirkung = Eingabeaufschub::Taste::Halten;
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        wirkung = Eingabeaufschub::Taste::AmBild;
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
    if (m_eingehaengt)
        QCoreApplication::instance()->removeEventFilter(this);
}

void Eingabeaufschub::timerHalten(QObject* timer)
{
    m_timer.push_back(timer);
}

void Eingabeaufschub::zeichnenLassen(QWidget* fenster)
{
    if (!wartet())
        return;
    m_zeichnen.emplace_back(fenster);
    if (fenster->windowHandle())
        m_zeichnen.emplace_back(fenster->windowHandle());
}

void Eingabeaufschub::einhaengen()
{
    if (m_eingehaengt)
        return;
    m_eingehaengt = true;
    QCoreApplication::instance()->installEventFilter(this);
}

bool Eingabeaufschub::warten(const std::function<bool()>& fertig)
{
    einhaengen();
    if (m_schleifen.empty())
        m_ueberholt = ueberholtVonGehaltenen();
    while (!m_ueberholt && !fertig()) {
        QEventLoop schleife;
        m_schleifen.push_back(&schleife);
        schleife.exec();
        m_schleifen.pop_back();
    }
    const bool ueberholt = m_ueberholt;
    if (m_schleifen.empty()) {
        m_ueberholt = false;
        m_zeichnen.clear();
        // Repaints go back to the event loop at once; input and ticks are handed on from it in
        // their order, after the code that waited has done its work.
        std::erase_if(m_gehalten, [](Gehalten& g) {
            const QEvent::Type art = g.ereignis->type();
            if (art != QEvent::UpdateRequest && art != QEvent::Expose)
                return false;
            if (g.ziel)
                QCoreApplication::postEvent(g.ziel, g.ereignis.release());
            return true;
        });
        if (!m_gehalten.empty())
            QTimer::singleShot(0, this, &Eingabeaufschub::ausliefern);
        abschliessen();
    }
    return !ueberholt;
}

void Eingabeaufschub::wecken()
{
    for (QEventLoop* schleife : m_schleifen)
        schleife->quit();
}

bool Eingabeaufschub::ueberholtVonGehaltenen() const
{
    for (const Gehalten& g : m_gehalten) {
        if (g.art == Taste::Ueberholen)
            return true;
        if (g.art == Taste::AmBild)
            return false;
    }
    return false;
}

bool Eingabeaufschub::fuerOffenenDialog(QObject* ziel) const
{
    auto* widget = qobject_cast<QWidget*>(ziel);
    for (QWidget* offen : {QApplication::activeModalWidget(), QApplication::activePopupWidget()})
        if (offen && (offen == ziel || offen->windowHandle() == ziel || (widget && offen->isAncestorOf(widget))))
            return true;
    return false;
}

bool Eingabeaufschub::eventFilter(QObject* ziel, QEvent* ereignis)
{
    if (ereignis == m_durch)
        return false;
    const QEvent::Type art = ereignis->type();
    Taste wirkung = Taste::Halten;
    const bool taste = art == QEvent::KeyPress;
    if (!taste && !istEingabe(art, wirkung)) {
        // Between waits only input queues up behind what is held (and the registered ticks, which
        // act like a key); repaints and deletions go on as usual.
        const bool tick = art == QEvent::Timer && std::find(m_timer.begin(), m_timer.end(), ziel) != m_timer.end();
        if (!wartet() && !tick)
            return false;
        // Windows unloaded by the code that waits are deleted when it is done, not under its feet.
        if (art == QEvent::DeferredDelete) {
            m_loeschen.emplace_back(ziel);
            return true;
        }
        // Repaints wait as well: the picture on screen stays until the change is done, as it
        // would on a busy thread, rather than showing the half-made state between its steps.
        const bool einmal = art == QEvent::UpdateRequest || art == QEvent::Expose || tick;
        if (!einmal || std::find(m_zeichnen.begin(), m_zeichnen.end(), ziel) != m_zeichnen.end())
            return false;
        const bool schonGehalten = std::any_of(m_gehalten.begin(), m_gehalten.end(), [ziel, art](const Gehalten& g) {
            return g.ziel == ziel && g.ereignis->type() == art;
        });
        if (!schonGehalten)
            halten(ziel, ereignis, Taste::Halten);
        return true;
    }
    if (taste) {
        wirkung = m_einordnen ? m_einordnen(*static_cast<QKeyEvent*>(ereignis)) : Taste::Halten;
        if (wirkung == Taste::Durchlassen) {
            QTimer::singleShot(0, this, &Eingabeaufschub::wecken);
            return false;
        }
    }
    if (!wartet() && fuerOffenenDialog(ziel))
        return false;  // a dialog opened by held input takes what is typed into it
    if (art == QEvent::MouseMove && m_gehalten.size() >= kHoechstensGehalten)
        return true;
    // A picture key supersedes the wait unless input before it acts on the picture being loaded.
    const bool ueberholt = wirkung == Taste::Ueberholen && wartet() &&
                           std::none_of(m_gehalten.begin(), m_gehalten.end(), [](const Gehalten& g) { return g.art == Taste::AmBild; });
    halten(ziel, ereignis, wirkung);
    if (ueberholt) {
        m_ueberholt = true;
        wecken();
    }
    return true;
}

void Eingabeaufschub::halten(QObject* ziel, QEvent* ereignis, Taste art)
{
    einhaengen();
    m_gehalten.push_back(Gehalten{ziel, std::unique_ptr<QEvent>(ereignis->clone()), art});
    // Taken: an input event left untaken would be offered to the parent widgets as well.
    ereignis->accept();
}

void Eingabeaufschub::ausliefern()
{
    // One after the other and never inside a wait: each acts in full, with the waits it starts,
    // before the next.
    if (m_liefert || wartet())
        return;
    m_liefert = true;
    while (!m_gehalten.empty()) {
        Gehalten g = std::move(m_gehalten.front());
        m_gehalten.pop_front();
        if (!g.ziel)
            continue;
        m_durch = g.ereignis.get();
        QCoreApplication::sendEvent(g.ziel, g.ereignis.get());
        m_durch = nullptr;
    }
    m_liefert = false;
    abschliessen();
}

void Eingabeaufschub::abschliessen()
{
    if (wartet() || m_liefert || !m_gehalten.empty())
        return;
    if (m_eingehaengt) {
        m_eingehaengt = false;
        QCoreApplication::instance()->removeEventFilter(this);
    }
    std::vector<QPointer<QObject>> loeschen;
    loeschen.swap(m_loeschen);
    for (const QPointer<QObject>& objekt : loeschen)
        if (objekt)
            objekt->deleteLater();
}
