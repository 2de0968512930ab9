#include "phone/command_ledger.h"

#include "phone/port_link.h"
#include "phone/shared_state.h"
#include "platform/pause.h"

namespace {

constexpr char kEscape = 27;

} // namespace

CommandLedger::CommandLedger(PortLink& port, SharedState& shared, platform::Pause& pause)
    : m_port(port), m_shared(shared), m_pause(pause) {}

bool CommandLedger::lineLost() const {
    return !m_port.IsOpen();
}

void CommandLedger::keepGap() {
    using namespace std::chrono;
    const auto since = duration_cast<milliseconds>(steady_clock::now() - m_lastAnswer).count();
    if (since < kGapMs)
        m_pause.wait(int(kGapMs - since));
}

final_answers::Answer CommandLedger::ask(const std::string& text, int timeoutMs) {
    keepGap();
    // The gap may have brought the news that the cable is gone.
    if (lineLost())
        return {};
    // Whatever came before belongs to earlier commands or to nobody.
    m_shared.Transcript.clear();
    m_port.SendText(text);
    return awaitAnswer(timeoutMs);
}

final_answers::Answer CommandLedger::awaitAnswer(int timeoutMs) {
    final_answers::Answer answer;
    m_pause.waitUntil(
        [&] {
            answer = final_answers::read(m_shared.Transcript);
            return answer.complete() || lineLost();
        },
        timeoutMs);
    // The prompt is no final result: the message follows it at once.
    if (answer.final == final_answers::Final::Prompt)
        m_lastAnswer = {};
    else if (answer.complete())
        m_lastAnswer = std::chrono::steady_clock::now();
    return answer;
}

void CommandLedger::cancelMessage() {
    if (!lineLost())
        m_port.SendText(std::string(1, kEscape));
}
