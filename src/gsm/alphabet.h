#pragma once
// The GSM 03.38 default alphabet and its extension table, which SIM phonebook names and short
// messages share: characters to septets and back. Septets stay unpacked, one byte each; a character
// of the extension table takes the escape septet and its own.
#include <optional>
#include <string>
#include <string_view>

namespace gsm {

inline constexpr char kEscape = 27;

// One septet, or the escape and one; nothing when the character has no form in the alphabet.
std::optional<std::string> septetsOf(char16_t character);
// Nothing when any character has no form.
std::optional<std::string> toSeptets(std::u16string_view text);
// An escape before a septet the extension table lacks stands for that septet's own character, as a
// receiver must read it; a byte above 127 is no septet and is skipped.
std::u16string fromSeptets(std::string_view septets);

} // namespace gsm
