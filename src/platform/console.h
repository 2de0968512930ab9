#pragma once
// The terminal the command line talks to: whether a stream is one, and a secret asked on it.
#include <cstdio>
#include <optional>
#include <string>

namespace platform {

bool isTerminal(std::FILE* stream);

// Shows the prompt on the controlling terminal and reads one line with the echo off; the echo is
// back on afterwards. Nothing when the process has no terminal or the input ended.
std::optional<std::string> askHidden(const std::string& prompt);

} // namespace platform
