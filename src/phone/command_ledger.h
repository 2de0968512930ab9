#pragma once
// One command at a time, each sent only once the phone has given its final answer to the last and
// a short gap has passed, as a terminal must (V.250): a phone busy with one command may drop or
// mangle the next. What the phone says goes into SharedState::Transcript (the main window's
// data-received handler adds it at once); each command reads its answer from there.
#include "phone/final_answers.h"

#include <chrono>
#include <string>

class PortLink;
struct SharedState;
namespace platform {
class Pause;
}

class CommandLedger {
public:
    // After a final result code V.250 lets the phone a tenth of a second before the next command.
    static constexpr int kGapMs = 100;
    // How long a command may take before its phone counts as not answering.
    static constexpr int kSelectionMs = 5000;
    static constexpr int kReadMs = 5000;
    static constexpr int kWriteMs = 10000;

    CommandLedger(PortLink& port, SharedState& shared, platform::Pause& pause);

    // Sends text (with its CR) once the gap after the previous answer has passed, and waits for its
    // final answer or the prompt, at most timeoutMs. Incomplete when none came in time or the line
    // has gone.
    final_answers::Answer ask(const std::string& text, int timeoutMs);
    // Waits for the answer to what was sent before the ledger took over (the probe).
    final_answers::Answer awaitAnswer(int timeoutMs);
    // Tells a phone waiting for a message that none comes (ESC), without waiting for an answer.
    void cancelMessage();

    bool lineLost() const;

private:
    void keepGap();

    PortLink& m_port;
    SharedState& m_shared;
    platform::Pause& m_pause;
    std::chrono::steady_clock::time_point m_lastAnswer{};
};
