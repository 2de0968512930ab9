#pragma once
// What every page's phone exchange has in common at its start and end.
#include <QTimer>
#include <utility>

class QObject;
struct PageContext;

// Runs an action when the scope ends, however it ends: a page comes back to idle also when a
// send raises the port's error.
template <typename Action> class OnExit {
public:
    explicit OnExit(Action action) : m_action(std::move(action)) {}
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;
    ~OnExit() { m_action(); }

private:
    Action m_action;
};

// Ends the exchange when the scope ends with no further tick armed: the last step, a silent
// phone, or an error on the way out of a tick or a start.
template <typename End> class EndUnlessTicking {
public:
    EndUnlessTicking(const QTimer& tick, End end) : m_tick(tick), m_end(std::move(end)) {}
    EndUnlessTicking(const EndUnlessTicking&) = delete;
    EndUnlessTicking& operator=(const EndUnlessTicking&) = delete;
    ~EndUnlessTicking() {
        if (!m_tick.isActive())
            m_end();
    }

private:
    const QTimer& m_tick;
    End m_end;
};

// The port check with its error box "POZOR - sériový port není otevřen !", then the exchange
// lock; what the phone says is gathered afresh from here. False when nothing may start.
bool beginExchange(PageContext& context, const QObject* owner);

// The end of every exchange: what the user did meanwhile is dropped, the phone is free for others.
void finishExchange(PageContext& context, const QObject* owner);
