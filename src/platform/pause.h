#pragma once
// The blocking pause of the GUI thread. It processes no events on purpose: replies that arrive
// meanwhile are taken in after the caller's handler returns. Tests inject a recording pause.

namespace platform {

class Pause {
public:
    virtual ~Pause() = default;
    virtual void wait(int milliseconds) = 0;
};

class SleepingPause final : public Pause {
public:
    void wait(int milliseconds) override;
};

} // namespace platform
