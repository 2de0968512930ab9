#include "widgets/dialog_prompts.h"

#include "widgets/user_dialogs.h"

void DialogPrompts::warn(const std::string& text) {
    m_dialogs.warning(QString::fromStdString(text));
}

void DialogPrompts::error(const std::string& text) {
    m_dialogs.error(QString::fromStdString(text));
}

std::optional<std::string> DialogPrompts::askPin(const sim::PinQuestion& question) {
    const auto pin = m_dialogs.askPin(QString::fromStdString(sim::shownText(question)));
    if (!pin)
        return std::nullopt;
    return pin->toStdString();
}
