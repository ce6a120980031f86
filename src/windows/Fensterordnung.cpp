#include "windows/Fensterordnung.h"

#include <QCoreApplication>
#include <QEvent>
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
    // Menus and tooltips are not managed by the window manager; they need no parent.
    const Qt::WindowType art = fenster.windowType();
    if (art == Qt::Popup || art == Qt::ToolTip || art == Qt::Desktop)
        return false;
    QWindow* eigenes = fenster.windowHandle();
    QWindow* bildHandle = bild->windowHandle();
    if (!eigenes || !bildHandle)
        return false;
    // A window already transient for a window over the picture (a message of the list window)
    // stays with that one: it is above the picture too.
    for (const QWindow* w = eigenes->transientParent(); w; w = w->transientParent())
        if (w == bildHandle)
            return true;
    eigenes->setTransientParent(bildHandle);
    return true;
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
