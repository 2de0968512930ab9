#pragma once
// The pause of an exchange that keeps the application alive: while it waits, the event loop serves
// the port's hand-overs (the phone's replies), timers and, in the window, painting, the window
// manager and screen readers. It returns as soon as what it waits for holds.
#include "platform/pause.h"

class EventLoopPause : public platform::Pause {
public:
    void wait(int milliseconds) override;
    bool waitUntil(const std::function<bool()>& done, int timeoutMs) override;
    // Serves what waits, as a pause would: in the window, input is dropped there (LivePause).
    void dropHeldInput() override;

protected:
    // Pauses running, nested ones included.
    int depth() const { return m_depth; }

private:
    bool runLoop(const std::function<bool()>* done, int timeoutMs);

    int m_depth = 0;
};
