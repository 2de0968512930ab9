#pragma once
// Paths and system texts travel through the tool as UTF-8; the Windows API takes and gives UTF-16.
#include <string>
#include <string_view>

namespace platform {

std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);
// The system's text for an error code, in the language of the PC; empty when it has none.
std::string systemMessage(unsigned long code);

} // namespace platform
