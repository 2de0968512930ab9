#pragma once
// The phone's answer to one command, read from everything it said since the command went out, by
// what the lines say and never by where they stand: with or without command echo, with unsolicited
// result codes before, inside or after it, late, in pieces or byte by byte.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace final_answers {

enum class Final {
    None,   // not complete yet
    Ok,     // "OK"
    Error,  // "ERROR", "+CME ERROR: …", "+CMS ERROR: …"
    Prompt, // "> ": the phone waits for a message
};

struct Answer {
    Final final = Final::None;
    std::string error; // the error line as the phone sent it
    // Every other ended, non-empty line before the final one, in order: the echo, the command's
    // information lines and whatever unsolicited codes came in between.
    std::vector<std::string> lines;

    bool complete() const { return final != Final::None; }
    // The first line that begins with prefix ("+CPBR:"), with the prefix and the blanks after it
    // taken off.
    std::optional<std::string_view> after(std::string_view prefix) const;
    // The first line of hexadecimal digits after the line that begins with prefix: the PDU of a
    // message read, which an unsolicited code may come in front of.
    std::optional<std::string_view> hexLineAfter(std::string_view prefix) const;
};

// A line counts once it has ended; the prompt, which no line end follows, at once.
Answer read(std::string_view said);

// What the phone means by an error line, numeric or verbose (AT+CMEE=1 or 2; with AT+CMEE=0 a bare
// "ERROR" says nothing more).
bool meansAbsent(std::string_view error);    // deleting or reading an empty position
bool meansPinNeeded(std::string_view error); // the SIM waits for its PIN
bool meansPukNeeded(std::string_view error); // the SIM is blocked
bool meansSimBusy(std::string_view error);   // the SIM is still loading
bool meansWrongPin(std::string_view error);  // "incorrect password"

} // namespace final_answers
