// Waiting on the GUI thread for a worker while the program stays responsive. What the user does
// meanwhile takes effect afterwards and in order, as if the program had been busy: keys, mouse
// input, repaints, deferred deletions and the ticks of the registered timers are held back and
// posted again when the outermost wait ends. A key that ends the program passes at once; a key that asks for another
// picture ends every wait, so that the newer request supersedes the older ones.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
class QKeyEvent;

class Eingabeaufschub : public QObject {
    Q_OBJECT
public:
    enum class Taste { Halten, Durchlassen, Ueberholen };
    using Einordnung = std::function<Taste(const QKeyEvent&)>;

    explicit Eingabeaufschub(Einordnung einordnen, QObject* parent = nullptr);
    ~Eingabeaufschub() override;

    // Ticks of this timer are held too, at most one, as a busy thread sees one tick and not many.
    // (So are repaints, one per window.)
    void timerHalten(QObject* timer);

    // Runs the pending events until fertig() holds; the condition is checked at the start, after
    // every wecken() and after every key let through. False when a key overtook the wait.
    bool warten(const std::function<bool()>& fertig);
    // Has the waits check their conditions again.
    void wecken();
    bool wartet() const { return !m_schleifen.empty(); }

protected:
    bool eventFilter(QObject* ziel, QEvent* ereignis) override;

private:
    void halten(QObject* ziel, QEvent* ereignis);
    void freigeben();

    struct Gehalten {
        QPointer<QObject> ziel;
        std::unique_ptr<QEvent> ereignis;
    };
    Einordnung m_einordnen;
    std::vector<QObject*> m_timer;
    std::vector<Gehalten> m_gehalten;
    std::vector<QPointer<QObject>> m_loeschen;
    std::vector<QEventLoop*> m_schleifen;
    bool m_ueberholt = false;
};
