#pragma once
// Ctrl-C, a closed terminal or a plain kill end the tool as closing its window does (the port is
// closed, setting.ini written, and a demo's phone stopped and its directory removed), or as the
// command line ends a run: after the exchange that is running.
#include <array>
#include <functional>
#include <memory>
#include <signal.h>

class QObject;
class QSocketNotifier;
class QWidget;

class CloseOnSignal {
public:
    explicit CloseOnSignal(QWidget& window);
    // close runs on the event loop, in the context's thread.
    CloseOnSignal(QObject& context, std::function<void()> close);
    ~CloseOnSignal(); // the previous handlers return
    CloseOnSignal(const CloseOnSignal&) = delete;
    CloseOnSignal& operator=(const CloseOnSignal&) = delete;

private:
    std::array<int, 2> m_pipe{-1, -1};
    std::array<struct sigaction, 3> m_previous{};
    std::unique_ptr<QSocketNotifier> m_notifier;
};
