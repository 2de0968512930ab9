#pragma once
// The application's live pause, remembering the fixed waits of the pages' sequences.
#include "app/live_pause.h"

#include <vector>

class RecordingPause final : public platform::Pause {
public:
    std::vector<int> waits;

    void wait(int milliseconds) override {
        waits.push_back(milliseconds);
        m_live.wait(milliseconds);
    }
    bool waitUntil(const std::function<bool()>& done, int timeoutMs) override {
        return m_live.waitUntil(done, timeoutMs);
    }
    void dropHeldInput() override { m_live.dropHeldInput(); }

private:
    LivePause m_live;
};
