#pragma once
// A blocking pause that remembers every wait; it really waits unless told not to, so replies of a
// real (virtual) phone keep their timing.
#include "platform/pause.h"

#include <chrono>
#include <thread>
#include <vector>

class RecordingPause final : public platform::Pause {
public:
    explicit RecordingPause(bool sleeps = true) : m_sleeps(sleeps) {}
    std::vector<int> waits;

    void wait(int milliseconds) override {
        waits.push_back(milliseconds);
        if (m_sleeps)
            std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }

private:
    bool m_sleeps;
};
