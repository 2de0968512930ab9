#pragma once
// What an exchange tells, as lines on the console, and the SIM's PIN from the terminal without echo
// or, for scripts, as one line of standard input. A PIN is never an argument: other users see a
// process's arguments.
#include "sim/prompts.h"

#include <cstdio>
#include <QString>

class Console;

class ConsolePrompts final : public sim::Prompts {
public:
    enum class PinSource { Terminal, StandardInput };
    ConsolePrompts(Console& console, PinSource pins, std::FILE* input);

    void warn(const std::string& text) override;
    void error(const std::string& text) override;
    std::optional<std::string> askPin(const sim::PinQuestion& question) override;

private:
    std::optional<std::string> pinFromInput(const QString& text);

    Console& m_console;
    PinSource m_pins;
    std::FILE* m_input;
    bool m_inputTaken = false;
};
