#pragma once
// The SIM's PIN as the phone takes it: AT+CPIN? names what the SIM waits for, AT+CPIN="…" gives the
// PIN, under the rules every way to a SIM keeps (sim::PinRules). A blocked SIM, or one that waits
// for another code, is told plainly.
#include "phone/final_answers.h"
#include "sim/pin_rules.h"

#include <string>

class PhoneLine;

class PhoneUnlock {
public:
    PhoneUnlock(PhoneLine& line, sim::Prompts& prompts);

    // What AT+CPIN? says the SIM waits for: "READY", "SIM PIN", "SIM PUK", …; empty when it does not say.
    static std::string stateOf(const final_answers::Answer& answer);
    // A phone that does not say is taken as ready.
    static bool isReady(const std::string& state) { return state.empty() || state == "READY"; }

    // The SIM in the state AT+CPIN? named: false, after the warning, when it stays locked.
    bool unlockFrom(const std::string& state);
    // AT+CPIN? on its own; a phone that does not know it is taken as unlocked.
    bool unlockAlone();
    // The PIN from the person, sent once each; false when none was given or the SIM stays locked.
    bool enterPin();
    void tellBlocked();

private:
    PhoneLine& m_line;
    sim::PinRules m_pins;
};
