#pragma once
// The system's request to end the tool closes its window as closing it by hand does: the port is
// closed, setting.ini written, and a demo's phone stopped and its directory removed, once the
// exchange that is running has ended. On Linux that is Ctrl-C, a closed terminal or a plain kill;
// on Windows the end of the session (log off, shut down).
#include <memory>

class QWidget;

class CloseWindowOnSignal {
public:
    explicit CloseWindowOnSignal(QWidget& window);
    ~CloseWindowOnSignal(); // the previous handlers return
    CloseWindowOnSignal(const CloseWindowOnSignal&) = delete;
    CloseWindowOnSignal& operator=(const CloseWindowOnSignal&) = delete;

private:
    struct Watch;
    std::unique_ptr<Watch> m_watch;
};
