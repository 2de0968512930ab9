#pragma once
// SIM phonebook entries as the phone takes and gives them: the write and read commands, the entry
// line of a read answer, and the character set each name travels in. The tool keeps names in
// Windows-1250. A SIM keeps a name given in GSM or IRA in its own alphabet, a byte a character, and
// one given in UCS2 at two bytes a character and one more, so a plain name goes in GSM or IRA and
// only a name with a letter the alphabet lacks (č, ř, ž) goes in UCS2.
#include "phone/final_answers.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phonebook {

enum class Charset {
    Unchanged, // a set the tool does not know, or none: names go as they are
    Ucs2,      // four hex digits a UTF-16 unit: every Czech letter survives
    Gsm,       // one byte a septet of the GSM alphabet
    Ira,       // ASCII, of it only what the GSM alphabet also has
};

// The set to read names in, of those the phone lists in its answer to AT+CSCS=?
// ("(\"IRA\",\"GSM\",\"UCS2\")"): the one that carries every name.
Charset choose(std::string_view offered);
// The sets the tool knows of those listed, in the order it prefers them for reading.
std::vector<Charset> listed(std::string_view offered);
// The set that AT+CSCS? names ("\"GSM\""); Unchanged for one the tool does not know.
Charset named(std::string_view inUse);
// As AT+CSCS names it: "UCS2", "GSM", "IRA".
const char* nameOf(Charset charset);
// The set a name travels in: the one in use when it carries the name in the SIM's alphabet, else
// GSM or IRA when usable, else UCS2; the one in use when none of the usable sets carries it.
Charset forName(const std::string& name, Charset inUse, const std::vector<Charset>& usable);

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
