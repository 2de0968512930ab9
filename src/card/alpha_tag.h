#pragma once
// The alpha identifier of a SIM record (the name of an EF_ADN entry): the GSM default alphabet, a
// byte a septet (two for a character of the extension table), left-justified and padded with FF; or
// one of three UCS2 forms, of which a record uses one: 80 then UCS2 big-endian; 81 then the count,
// a base of bits 15 to 7, and a byte a character (below 80 a GSM character, else base + its low
// seven bits); 82 the same with a 16-bit base.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace card {

// `room` bytes: a name of GSM characters in the alphabet, any other in the most compact UCS2 form
// that holds it; nothing when none fits.
std::optional<std::vector<std::uint8_t>> alphaTagOf(std::u16string_view name, std::size_t room);
std::u16string textOfAlphaTag(std::span<const std::uint8_t> tag);

} // namespace card
