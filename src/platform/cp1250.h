#pragma once
// Windows code page 1250, the 8-bit text of the whole system, to and from UTF-16.
#include <string>
#include <string_view>

namespace platform {

std::u16string cp1250ToUtf16(std::string_view text);
// A character with no code in 1250 becomes "?".
std::string utf16ToCp1250(std::u16string_view text);

} // namespace platform
