// Keeps every window the viewer opens while the picture is on screen above the picture window.
// Window managers that follow EWMH put a focused full-screen window above all windows that are
// not its own transients, however "above" those ask to be, and let the desktop's panel cover it
// as soon as such a window has the focus. So each window that comes on screen over the picture
// (own windows, message boxes, file and folder choosers) is made transient for it first.
#pragma once

#include <QObject>

#include <functional>

class QWidget;
class QWindow;

class Fensterordnung : public QObject {
public:
    // bildfenster: the picture window, or nullptr while there is none. Watches the whole application.
    explicit Fensterordnung(std::function<QWidget*()> bildfenster);
    ~Fensterordnung() override;

    // Makes `fenster` transient for the picture window when that is on screen; true when it did.
    bool UeberBildfenster(QWidget& fenster) const;

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    // Whether the window is the picture window or transient for it, directly or through others.
    static bool gehoertZu(const QWindow* fenster, const QWindow* bild);
    std::function<QWidget*()> m_bildfenster;
};
