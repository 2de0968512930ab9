#include "phone/command_ledger.h"

#include "phone/port_link.h"
#include "phone/shared_state.h"
#include "platform/pause.h"

#include <chrono>

CommandLedger::CommandLedger(PortLink& port, SharedState& shared, platform::Pause& pause)
    : m_port(port), m_shared(shared), m_pause(pause) {}

void CommandLedger::send(const std::string& text, const final_answers::Expectation& expected) {
    m_commands.push_back(expected);
    sendRest(text);
}

void CommandLedger::sendRest(const std::string& text) {
    if (!lineLost())
        m_port.SendText(text);
}

bool CommandLedger::lineLost() const {
    return !m_port.IsOpen();
}

bool CommandLedger::allAnswered() const {
    for (const auto& outcome : outcomes())
        if (!outcome.answered)
            return false;
    return true;
}

void CommandLedger::awaitAnswers() {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLongestWaitMs);
    while (!allAnswered() && !lineLost() && std::chrono::steady_clock::now() < giveUp) {
        const std::size_t heard = m_shared.Transcript.size();
        // Only something new from the phone can answer a command.
        const bool spoke =
            m_pause.waitUntil([&] { return m_shared.Transcript.size() != heard || lineLost(); }, kSilenceMs);
        if (!spoke)
            return;
    }
}

std::vector<final_answers::Outcome> CommandLedger::outcomes() const {
    return final_answers::match(m_commands, final_answers::scan(m_shared.Transcript));
}
