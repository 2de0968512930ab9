#pragma once
// The values through which the pages and the main window's data-received handler share the state
// of a phone transfer. Touched on the GUI thread only. Texts are Windows-1250.
#include <cstdint>
#include <string>

struct SharedState {
    std::string ReplyBuffer;  // the phone's latest non-empty reply, replaced whole, never appended
    std::string LastReceived; // the data-received handler's last raw read
    std::string ExchangeMode; // "test_komunikace" / "prvni_konfigurak" during the configuration write
    std::int32_t StepState = 0;
    std::string SmscNumber;
    // Everything the phone said since the running exchange began, so that answers that came late
    // or several at once still confirm their commands (ReplyBuffer keeps only the latest read).
    std::string Transcript;
};
