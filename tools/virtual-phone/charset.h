#pragma once
// Names are kept as the tool sends them, 8-bit Windows-1250; a client that selects the "GSM"
// character set (as phone libraries prefer) reads and writes them in the GSM 7-bit default
// alphabet, one byte a septet, with 1B escapes for the extension table, and one that selects "UCS2"
// as hex, four digits per UTF-16 code unit.
#include <optional>
#include <string>

namespace vphone {

// Characters the GSM alphabet lacks become "?", as a phone shows them.
std::string cp1250ToGsm(const std::string& text);
// Empty optional when a character has no Windows-1250 form.
std::optional<std::string> gsmToCp1250(const std::string& gsm);

// Upper-case hex; every Windows-1250 character has a code unit.
std::string cp1250ToUcs2(const std::string& text);
// Hex of either case; empty optional when it is not whole groups of four hex digits or a character
// has no Windows-1250 form.
std::optional<std::string> ucs2ToCp1250(const std::string& hex);

} // namespace vphone
