#pragma once
// The system's request to end the tool ends it as closing its window does: the port is closed,
// setting.ini written, and a demo's phone stopped and its directory removed. On Linux that is
// Ctrl-C, a closed terminal or a plain kill; on Windows the end of the session (log off, shut down).
#include <memory>

class QWidget;

class CloseOnSignal {
public:
    explicit CloseOnSignal(QWidget& window);
    ~CloseOnSignal(); // the previous handlers return
    CloseOnSignal(const CloseOnSignal&) = delete;
    CloseOnSignal& operator=(const CloseOnSignal&) = delete;

private:
    struct Watch;
    std::unique_ptr<Watch> m_watch;
};
