#pragma once
// The terminal the command line talks to: the arguments it was given, whether a stream is one,
// text written to it, and a secret asked on it.
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// The program's arguments in UTF-8. On Windows they come from the wide command line: argv holds
// them in the ANSI code page, which loses every letter outside it.
std::vector<std::string> programArguments(int argc, char* argv[]);

bool isTerminal(std::FILE* stream);

// Writes UTF-8 text so that a terminal shows it whole: the Windows console takes it as UTF-16,
// whatever its code page; a file or pipe gets the UTF-8 as it is.
void writeText(std::FILE* stream, const std::string& text);

struct HiddenAnswer {
    enum class Kind { Typed, Cancelled, NoTerminal };
    Kind kind = Kind::NoTerminal;
    std::string text; // Typed only
};

// Shows the prompt on the controlling terminal and reads one line with the echo off; the echo is
// back on afterwards. Ctrl-C or the end of the input cancels.
HiddenAnswer askHidden(const std::string& prompt);

} // namespace platform
