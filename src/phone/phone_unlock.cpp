#include "phone/phone_unlock.h"

#include "phone/command_ledger.h"
#include "phone/phone_line.h"
#include "phone/phone_messages.h"
#include "platform/cp1250.h"
#include "sim/position_report.h"
#include "sim/sim_texts.h"

#include <algorithm>

using final_answers::Answer;
using final_answers::Final;

namespace {

constexpr sim::PinTexts kPinTexts{phone_messages::kPinAsked, phone_messages::kPinWrong,
                                  phone_messages::kPinRepeated, sim_texts::kPinForm};

} // namespace

PhoneUnlock::PhoneUnlock(PhoneLine& line, sim::Prompts& prompts) : m_line(line), m_pins(prompts, kPinTexts) {}

std::string PhoneUnlock::stateOf(const Answer& answer) {
    std::string state(answer.after("+CPIN:").value_or(""));
    std::erase(state, '"');
    return state;
}

void PhoneUnlock::tellBlocked() {
    m_line.warn(sim_texts::kSimBlocked);
}

bool PhoneUnlock::unlockAlone() {
    const Answer answer = m_line.ask("AT+CPIN?\r", CommandLedger::kSelectionMs);
    if (!answer.complete()) {
        m_line.warnSilent();
        return false;
    }
    if (answer.final == Final::Ok)
        return unlockFrom(stateOf(answer));
    if (!final_answers::meansPukNeeded(answer.error))
        return true;
    tellBlocked();
    return false;
}

bool PhoneUnlock::unlockFrom(const std::string& state) {
    if (isReady(state))
        return true;
    if (state == "SIM PIN")
        return enterPin();
    if (state == "SIM PUK")
        tellBlocked();
    else
        m_line.warn(sim::filledIn(phone_messages::kSimWaits, platform::cp1250ToUtf8(state)));
    return false;
}

// The PIN lives only here; the transcript that echoed it is emptied at once.
bool PhoneUnlock::enterPin() {
    auto pin = m_pins.askFirst();
    while (pin) {
        const Answer answer = m_line.askOnce("AT+CPIN=\"" + *pin + "\"\r", CommandLedger::kWriteMs);
        m_line.forgetTranscript();
        if (!answer.complete()) {
            m_line.warnSilent();
            return false;
        }
        if (answer.final == Final::Ok)
            return true;
        m_pins.refused(*pin);
        const std::string now = stateOf(m_line.ask("AT+CPIN?\r", CommandLedger::kSelectionMs));
        if (now == "READY")
            return true;
        if (now == "SIM PUK" || final_answers::meansPukNeeded(answer.error)) {
            tellBlocked();
            return false;
        }
        pin = m_pins.askAfterRefusal();
    }
    return false;
}
