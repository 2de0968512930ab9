#pragma once
// What an exchange tells and asks, as the window's boxes and its PIN dialog.
#include "sim/prompts.h"

class UserDialogs;

class DialogPrompts final : public sim::Prompts {
public:
    explicit DialogPrompts(UserDialogs& dialogs) : m_dialogs(dialogs) {}

    void warn(const std::string& text) override;
    void error(const std::string& text) override;
    std::optional<std::string> askPin(const sim::PinQuestion& question) override;

private:
    UserDialogs& m_dialogs;
};
