#pragma once
// What an exchange with a SIM tells the person at the desk and asks of them: the window shows boxes
// and its PIN dialog, the command line writes lines to standard error and reads the PIN from the
// terminal. Texts are UTF-8.
#include <optional>
#include <string>

namespace sim {

struct PinQuestion {
    std::string text;             // what happened, then what to type
    std::optional<int> triesLeft; // when the SIM tells them without spending one
};

// The question as the PIN dialog and the console show it: its text, and the tries left when known.
std::string shownText(const PinQuestion& question);

class Prompts {
public:
    virtual ~Prompts() = default;
    // Something went wrong on the way (a "Warning" box in the window).
    virtual void warn(const std::string& text) = 0;
    // Nothing could start (an "Error" box in the window).
    virtual void error(const std::string& text) = 0;
    // The PIN as typed; nothing when the person gives none.
    virtual std::optional<std::string> askPin(const PinQuestion& question) = 0;
};

} // namespace sim
