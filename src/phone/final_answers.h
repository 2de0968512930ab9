#pragma once
// Which commands of an exchange the phone confirmed, from everything it said during the exchange.
// Phones answer late, in pieces, several answers in one read, and put unsolicited result codes in
// between; the final result codes still come in the order of the commands, so they are matched to
// the commands in that order.
#include <string>
#include <string_view>
#include <vector>

namespace final_answers {

enum class Kind {
    Ok,     // "OK"
    Error,  // "ERROR", "+CME ERROR: …", "+CMS ERROR: …"
    Prompt, // "> ", the phone waits for a PDU
    Stored, // "+CMGW: <index>"
};

struct Answer {
    Kind kind;
    std::string line; // as the phone sent it, without the line end
    int storedIndex = 0;
};

// The answers that decide a command, in the order given. Echoes, information lines and unsolicited
// codes are skipped. A line counts once it has ended; the prompt, which no line end follows, at once.
std::vector<Answer> scan(std::string_view transcript);

struct Expectation {
    bool prompt = false;   // the PDU is sent after a prompt (AT+CMGW)
    int storedAt = 0;      // the index "+CMGW: n" must name; 0: none expected
    bool absentOk = false; // a delete: "not found" means the position is empty, as wanted
    int position = 0;      // the SIM position reported when unconfirmed; 0: never reported
};

struct Outcome {
    bool answered = false;  // a final result code came for it
    bool confirmed = false; // done, as far as the phone says
    std::string error;      // the error code as sent, when the phone gave one
};

// One outcome per expectation, matching final result codes to commands in order.
std::vector<Outcome> match(const std::vector<Expectation>& commands, const std::vector<Answer>& answers);

} // namespace final_answers
