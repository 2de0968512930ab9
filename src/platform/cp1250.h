#pragma once
// Windows code page 1250, the 8-bit text of the whole system, to and from UTF-16, and to UTF-8.
#include <string>
#include <string_view>

namespace platform {

std::u16string cp1250ToUtf16(std::string_view text);
// A character with no code in 1250 becomes "?".
std::string utf16ToCp1250(std::u16string_view text);
// For texts told to the user, which the layers above take in UTF-8.
std::string cp1250ToUtf8(std::string_view text);

} // namespace platform
