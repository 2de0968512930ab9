#pragma once
// What every page's phone exchange has in common at its start and end.
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

// The port check with its error box "POZOR - sériový port není otevřen !", then the exchange
// lock. False when nothing may start.
bool beginExchange(PageContext& context, const QObject* owner);
