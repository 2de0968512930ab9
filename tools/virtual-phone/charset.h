#pragma once
// Names are kept as the tool sends them, 8-bit Windows-1250; a client that selects the "GSM"
// character set (as phone libraries prefer) reads and writes them in the GSM 7-bit default
// alphabet, one byte a septet, with 1B escapes for the extension table.
#include <optional>
#include <string>

namespace vphone {

// Characters the GSM alphabet lacks become "?", as a phone shows them.
std::string cp1250ToGsm(const std::string& text);
// Empty optional when a character has no Windows-1250 form.
std::optional<std::string> gsmToCp1250(const std::string& gsm);

} // namespace vphone
