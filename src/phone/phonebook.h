#pragma once
// SIM phonebook entries as the phone takes and gives them: the write and read commands, the entry
// line of a read answer, and the character set names travel in. The tool keeps names in
// Windows-1250; a phone left in UCS2 or GSM would otherwise refuse them or give them back as hex,
// so the set is chosen from what the phone offers and names are converted to and from it.
#include "phone/final_answers.h"

#include <optional>
#include <string>
#include <string_view>

namespace phonebook {

enum class Charset {
    Unchanged, // the phone offers none of the others: names go as they are
    Ucs2,      // four hex digits a UTF-16 unit: every Czech letter survives
    Gsm,       // one byte a GSM septet, through the SMS codec's table
    Ira,       // names go as they are
};

// The best set of those the phone lists in its answer to AT+CSCS=? ("(\"IRA\",\"GSM\",\"UCS2\")").
Charset choose(std::string_view offered);
// As AT+CSCS names it: "UCS2", "GSM", "IRA".
const char* nameOf(Charset charset);

// A name in the phone's set; nothing when a character has no form there.
std::optional<std::string> encodeName(const std::string& name, Charset charset);
std::string decodeName(std::string_view name, Charset charset);
// Numbers go as digits whatever the set, but some phones give them back in UCS2.
std::string decodeNumber(std::string_view number, Charset charset);

// "AT+CPBR=n" and CR.
std::string readCommand(int position);
// "AT+CPBW=n,"number",,"name"" and CR, or "AT+CPBW=n" and CR (delete) for an empty number. The
// type field stays empty so that the phone picks the number type itself. The name is as the phone
// takes it (encodeName).
std::string writeCommand(int position, const std::string& number, const std::string& name);

struct Entry {
    std::string number;
    std::string name;
    bool operator==(const Entry&) const = default;
};

// The entry of the given position in a read's answer, as the phone sent it; nothing when the
// answer has no entry line for that position (an empty position). The number is the quoted field
// whole; a quoted field without its closing quote runs to the end of its line.
std::optional<Entry> entryOf(const final_answers::Answer& answer, int position);

} // namespace phonebook
