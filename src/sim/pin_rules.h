#pragma once
// The rules every way to a SIM keeps with its PIN: it has 4 to 8 digits, it comes only from the
// person, and one the SIM refused is never sent again, since the third wrong one blocks the SIM.
#include "sim/prompts.h"

#include <optional>
#include <set>
#include <string>

namespace sim {

// The questions of a way in, in its own words (UTF-8).
struct PinTexts {
    const char* asked;    // the SIM is locked: type its PIN
    const char* wrong;    // the SIM refused the PIN typed
    const char* repeated; // the PIN typed was refused before
    const char* form;     // the PIN typed is not 4 to 8 digits
};

class PinRules {
public:
    PinRules(Prompts& prompts, const PinTexts& texts);

    // A PIN of the right form that the SIM has not refused, asked for with `text`; nothing when the
    // person gives none.
    std::optional<std::string> ask(const std::string& text, std::optional<int> triesLeft = {});
    std::optional<std::string> askFirst(std::optional<int> triesLeft = {}) {
        return ask(m_texts.asked, triesLeft);
    }
    std::optional<std::string> askAfterRefusal(std::optional<int> triesLeft = {}) {
        return ask(m_texts.wrong, triesLeft);
    }
    void refused(const std::string& pin);

private:
    Prompts& m_prompts;
    PinTexts m_texts;
    std::set<std::string> m_refused;
};

// 4 to 8 digits.
bool isPinForm(const std::string& pin);

} // namespace sim
