#pragma once
// The four alarm numbers as the phone-number page sends and reads them: the form check, the
// phonebook write and read commands for SIM positions 1 to 4, and the stored entry in a read reply.
// Texts are Windows-1250 and pass through unchanged.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace number_list {

inline constexpr int kPositions = 4;

// An empty number leaves its position unused; any other must have the international form.
bool isAcceptableNumber(std::string_view number);
bool allNumbersAcceptable(const std::array<std::string, kPositions>& numbers);

// "AT+CPBR=n" and CR.
std::string readCommand(int position);

// "AT+CPBW=n,"number",,"name"" and CR, or "AT+CPBW=n" and CR (delete) for an empty number. The
// type field stays empty so that the phone picks the number type itself.
std::string writeCommand(int position, const std::string& number, const std::string& name);

struct StoredEntry {
    std::string number;
    std::string name;
    bool operator==(const StoredEntry&) const = default;
};

// The entry in the reply to readCommand(position), or nothing when the SIM position is empty or the
// reply holds no entry line for that position at the place the command echo puts it (a late reply
// still holding an older text, an error reply, a line not yet ended). The number is the quoted field whole,
// so a number of another length than 13 comes out as stored instead of cut or padded with the fields after
// it; a quoted field without its closing quote runs to the end of its line, never into the final OK.
std::optional<StoredEntry> storedEntry(std::string_view reply, int position);

} // namespace number_list
