// Waiting on the GUI thread for a worker while the program stays responsive. What the user does
// meanwhile takes effect afterwards and in order, as if the program had been busy: keys, mouse
// input, repaints, deferred deletions and the ticks of the registered timers are held back and
// handed on one after the other when the outermost wait ends; input that comes while they are
// handed on queues up behind them (input for a dialog that one of them opened goes to it). A key
// that ends the program passes at once. A key that asks for another picture ends the wait, so that
// the newer request supersedes the older one, unless input that acts on the picture being loaded
// (a zoom, a shift, a mouse click) came before it: that picture is then shown first and the held
// input acts on it, as it would on a busy program.
#pragma once

#include <QObject>
#include <QPointer>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
class QKeyEvent;
class QWidget;

class Eingabeaufschub : public QObject {
    Q_OBJECT
public:
    enum class Taste {
        Halten,       // acts later, in its turn, on whatever is shown then
        AmBild,       // acts later on the picture being loaded: a later picture key does not supersede it
        Ueberholen,   // asks for another picture
        Durchlassen,  // acts at once
    };
    using Einordnung = std::function<Taste(const QKeyEvent&)>;

    explicit Eingabeaufschub(Einordnung einordnen, QObject* parent = nullptr);
    ~Eingabeaufschub() override;

    // Ticks of this timer are held too, at most one, as a busy thread sees one tick and not many.
    // (So are repaints, one per window.)
    void timerHalten(QObject* timer);

    // Runs the pending events until fertig() holds; the condition is checked at the start, after
    // every wecken() and after every key let through. False when a key overtook the wait (also one
    // held before it began).
    bool warten(const std::function<bool()>& fertig);
    // Has the waits check their conditions again.
    void wecken();
    bool wartet() const { return !m_schleifen.empty(); }
    // Nothing held, nothing being handed on.
    bool leer() const { return m_gehalten.empty() && !m_liefert; }
    // The window came up during the current wait with nothing on it to keep: it is painted.
    void zeichnenLassen(QWidget* fenster);

protected:
    bool eventFilter(QObject* ziel, QEvent* ereignis) override;

private:
    struct Gehalten {
        QPointer<QObject> ziel;
        std::unique_ptr<QEvent> ereignis;
        Taste art = Taste::Halten;
    };
    void halten(QObject* ziel, QEvent* ereignis, Taste art);
    bool ueberholtVonGehaltenen() const;
    bool fuerOffenenDialog(QObject* ziel) const;
    void einhaengen();
    void ausliefern();
    void abschliessen();

    Einordnung m_einordnen;
    std::vector<QObject*> m_timer;
    std::deque<Gehalten> m_gehalten;
    std::vector<QPointer<QObject>> m_loeschen;
    std::vector<QPointer<QObject>> m_zeichnen;  // windows painted during the current wait
    std::vector<QEventLoop*> m_schleifen;
    const QEvent* m_durch = nullptr;  // the held event being handed on
    bool m_liefert = false;
    bool m_eingehaengt = false;
    bool m_ueberholt = false;
};
