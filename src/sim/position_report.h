#pragma once
// What became of each position an exchange touched: confirmed or read, or not, with the device's
// own code for it ("+CME ERROR: 24", "9804"). Told once, at the end, in one box that names the
// positions in order and quotes each code once.
#include <optional>
#include <string>
#include <vector>

namespace sim {

class PositionReport {
public:
    // Position 0 stands for a step that is never named to the user.
    void unanswered(int position);
    // An empty cause carries nothing worth quoting.
    void answered(int position, bool done, const std::string& cause = {});

    // Something was asked, and nothing ever answered.
    bool nothingAnswered() const;
    // The box: `text` with the positions that did not go well in its "%1", the causes on the line
    // below; nothing when every one went well.
    std::optional<std::string> box(const std::string& text) const;

private:
    struct Outcome {
        int position = 0;
        bool answered = false;
        bool done = false;
        std::string cause;
    };
    std::vector<Outcome> m_outcomes;
};

// `pattern` with its "%1" replaced by `value`.
std::string filledIn(const std::string& pattern, const std::string& value);

} // namespace sim
