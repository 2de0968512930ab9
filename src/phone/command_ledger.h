#pragma once
// The commands of one exchange that change or select something on the phone, and what the phone
// answered to them. The main window's data-received handler adds everything the phone says to
// SharedState::Transcript, which starts afresh with the ledger's first command.
#include "phone/final_answers.h"

#include <string>
#include <vector>

class PortLink;
struct SharedState;
namespace platform {
class Pause;
}

class CommandLedger {
public:
    // A phone that has been silent this long will not answer any more.
    static constexpr int kSilenceMs = 2000;
    // Nor will one that keeps talking without answering.
    static constexpr int kLongestWaitMs = 10000;

    CommandLedger(PortLink& port, SharedState& shared, platform::Pause& pause);

    // Sends a command that wants a final answer. A line that has gone (port closed) takes nothing,
    // and the command stays unanswered.
    void send(const std::string& text, const final_answers::Expectation& expected = {});
    // Sends the rest of the previous command: the PDU after AT+CMGW.
    void sendRest(const std::string& text);
    bool lineLost() const;

    // Waits until every command sent so far has its final answer, the phone has fallen silent, or
    // the line has gone.
    void awaitAnswers();

    std::vector<final_answers::Outcome> outcomes() const;
    const std::vector<final_answers::Expectation>& commands() const { return m_commands; }

private:
    bool allAnswered() const;

    PortLink& m_port;
    SharedState& m_shared;
    platform::Pause& m_pause;
    std::vector<final_answers::Expectation> m_commands;
};
