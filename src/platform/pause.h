#pragma once
// The pause of a phone sequence on the GUI thread. The application's pause keeps the window alive
// while it waits; the sleeping one here serves tools without an event loop. Tests inject their own.
#include <functional>

namespace platform {

class Pause {
public:
    virtual ~Pause() = default;
    virtual void wait(int milliseconds) = 0;
    // Waits until done() holds, at most timeoutMs; true when it holds. This one looks every
    // kPollMs through wait(), so a pause that only records waits returns without delay.
    virtual bool waitUntil(const std::function<bool()>& done, int timeoutMs);
    // At the end of a sequence: forgets what the user did while it ran (a pause without an event
    // loop has nothing to forget).
    virtual void dropHeldInput() {}

    static constexpr int kPollMs = 10;
};

class SleepingPause final : public Pause {
public:
    void wait(int milliseconds) override;
};

} // namespace platform
