#pragma once
// The command ledger with what every part of a phone exchange shares: a SIM still busy loading is
// asked again a few times, a phone that stopped answering is sent nothing more, and a phone that
// does not answer is told once, unless the line itself has gone (the main window tells that).
#include "phone/command_ledger.h"

#include <string>

namespace sim {
class Prompts;
}

class PhoneLine {
public:
    PhoneLine(PortLink& port, SharedState& shared, platform::Pause& pause, sim::Prompts& prompts);

    // ask(), again while the SIM says it is busy.
    final_answers::Answer ask(const std::string& text, int timeoutMs);
    // Once, whatever it answers: a PIN, a message after its prompt.
    final_answers::Answer askOnce(const std::string& text, int timeoutMs) {
        return m_ledger.ask(text, timeoutMs);
    }
    final_answers::Answer awaitAnswer(int timeoutMs) { return m_ledger.awaitAnswer(timeoutMs); }
    void cancelMessage() { m_ledger.cancelMessage(); }

    bool lineLost() const { return m_ledger.lineLost(); }
    // The phone stopped answering: nothing more is sent.
    bool stopped() const { return m_stopped; }
    void stop() { m_stopped = true; }

    void warn(const std::string& text);
    void warnSilent();
    // The transcript that echoed a PIN is emptied at once.
    void forgetTranscript();

    // The phone's error code as the user is told it; a bare "ERROR" carries none worth quoting.
    static std::string causeOf(const final_answers::Answer& answer);

private:
    CommandLedger m_ledger;
    SharedState& m_shared;
    platform::Pause& m_pause;
    sim::Prompts& m_prompts;
    bool m_stopped = false;
};
