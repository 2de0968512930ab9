#include "platform/pause.h"

#include <chrono>
#include <thread>

namespace platform {

bool Pause::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += kPollMs) {
        if (done())
            return true;
        wait(kPollMs);
    }
    return done();
}

void SleepingPause::wait(int milliseconds) {
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace platform
