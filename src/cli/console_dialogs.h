#pragma once
// The boxes of the phone exchanges as lines on the console, and the SIM's PIN from the terminal
// without echo or, for scripts, as one line of standard input. A PIN is never an argument: other
// users see a process's arguments.
#include "widgets/user_dialogs.h"

#include <cstdio>

class Console;

class ConsoleDialogs final : public UserDialogs {
public:
    enum class PinSource { Terminal, StandardInput };
    ConsoleDialogs(Console& console, PinSource pins, std::FILE* input);

    void error(const QString& text) override;
    void warning(const QString& text) override;
    // Nothing on the command line asks; a question is shown and answered No.
    bool askYesNo(const QString& text) override;
    void reportFailure(const QString& title, const QString& text) override;
    std::optional<QString> saveFileName(const FileDialogSpec& spec) override;
    std::optional<QString> openFileName(const FileDialogSpec& spec) override;
    std::optional<QString> askPin(const QString& text) override;

private:
    std::optional<QString> pinFromInput(const QString& text);

    Console& m_console;
    PinSource m_pins;
    std::FILE* m_input;
    bool m_inputTaken = false;
};
