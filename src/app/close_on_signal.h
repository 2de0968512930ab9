#pragma once
// The system's request to end the tool ends it as the command line ends a run, after the exchange
// that is running, or as closing the window does (CloseWindowOnSignal). On Linux that is Ctrl-C, a
// closed terminal or a plain kill; on Windows Ctrl-C or a closed console.
#include <functional>
#include <memory>

class QObject;

class CloseOnSignal {
public:
    // close runs on the event loop, in the context's thread.
    CloseOnSignal(QObject& context, std::function<void()> close);
    ~CloseOnSignal(); // the previous handlers return
    CloseOnSignal(const CloseOnSignal&) = delete;
    CloseOnSignal& operator=(const CloseOnSignal&) = delete;

private:
    struct Watch;
    std::unique_ptr<Watch> m_watch;
};
