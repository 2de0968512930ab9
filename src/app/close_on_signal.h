#pragma once
// The system's request to end the tool ends it as closing its window does (the port is closed,
// setting.ini written, and a demo's phone stopped and its directory removed), or as the command
// line ends a run: after the exchange that is running. On Linux that is Ctrl-C, a closed terminal
// or a plain kill; on Windows Ctrl-C or a closed console for the command line, and the end of the
// session (log off, shut down) for the window.
#include <functional>
#include <memory>

class QObject;
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
    struct Watch;
    std::unique_ptr<Watch> m_watch;
};
