#include "windows/Fensterordnung.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

Fensterordnung::Fensterordnung(std::function<QWidget*()> bildfenster)
    : m_bildfenster(std::move(bildfenster))
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

Fensterordnung::~Fensterordnung() = default;

bool Fensterordnung::UeberBildfenster(QWidget& fenster) const
{
    QWidget* bild = m_bildfenster();
    if (!bild || bild == &fenster || !bild->isVisible() || !fenster.isWindow())
        return false;
    // Menus find their parent themselves.
    const Qt::WindowType art = fenster.windowType();
    if (art == Qt::Popup || art == Qt::Desktop)
        return false;
    QWindow* eigenes = fenster.windowHandle();
    QWindow* bildHandle = bild->windowHandle();
    if (!eigenes || !bildHandle)
        return false;
    // A window already transient for the picture window or a window over it (a message of the list
    // window) stays with that one: it is above the picture too.
    if (gehoertZu(eigenes->transientParent(), bildHandle))
        return true;
    // Otherwise it belongs to the window that has the keyboard when that is over the picture (the
    // key help opened from the list window shows over the list), else to the picture window.
    QWindow* aktiv = QGuiApplication::focusWindow();
    eigenes->setTransientParent(aktiv && aktiv != eigenes && gehoertZu(aktiv, bildHandle) ? aktiv : bildHandle);
    return true;
}

bool Fensterordnung::gehoertZu(const QWindow* fenster, const QWindow* bild)
{
    for (const QWindow* w = fenster; w; w = w->transientParent())
        if (w == bild)
            return true;
    return false;
}

bool Fensterordnung::eventFilter(QObject* objekt, QEvent* ereignis)
{
    // The show event comes before the window is mapped, when the window manager reads the parent.
    if (ereignis->type() == QEvent::Show && objekt->isWidgetType()) {
        auto* fenster = static_cast<QWidget*>(objekt);
        if (fenster->isWindow())
            UeberBildfenster(*fenster);
    }
    return false;
}
