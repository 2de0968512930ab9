#include "sim/pin_rules.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::size_t kShortestPin = 4;
constexpr std::size_t kLongestPin = 8;

} // namespace

bool isPinForm(const std::string& pin) {
    return pin.size() >= kShortestPin && pin.size() <= kLongestPin &&
           std::all_of(pin.begin(), pin.end(), [](char c) { return c >= '0' && c <= '9'; });
}

PinRules::PinRules(Prompts& prompts, const PinTexts& texts) : m_prompts(prompts), m_texts(texts) {}

std::optional<std::string> PinRules::ask(const std::string& text, std::optional<int> triesLeft) {
    std::string question = text;
    for (;;) {
        auto given = m_prompts.askPin({question, triesLeft});
        if (!given)
            return std::nullopt;
        if (!isPinForm(*given))
            question = m_texts.form;
        else if (m_refused.contains(*given))
            question = m_texts.repeated;
        else
            return given;
    }
}

void PinRules::refused(const std::string& pin) {
    m_refused.insert(pin);
}

} // namespace sim
