#include "sim/position_report.h"

#include <algorithm>

namespace sim {

namespace {

void addOnce(std::vector<std::string>& list, const std::string& item) {
    if (!item.empty() && std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

} // namespace

void PositionReport::unanswered(int position) {
    m_outcomes.push_back({position, false, false, {}});
}

void PositionReport::answered(int position, bool done, const std::string& cause) {
    m_outcomes.push_back({position, true, done, cause});
}

bool PositionReport::nothingAnswered() const {
    return !m_outcomes.empty() && std::none_of(m_outcomes.begin(), m_outcomes.end(),
                                               [](const Outcome& each) { return each.answered; });
}

std::optional<std::string> PositionReport::box(const std::string& text) const {
    std::vector<Outcome> inOrder = m_outcomes;
    std::stable_sort(inOrder.begin(), inOrder.end(),
                     [](const Outcome& a, const Outcome& b) { return a.position < b.position; });
    std::vector<std::string> positions;
    std::vector<std::string> causes;
    for (const Outcome& outcome : inOrder) {
        if (outcome.done || outcome.position == 0)
            continue;
        addOnce(positions, std::to_string(outcome.position));
        addOnce(causes, outcome.cause);
    }
    if (positions.empty())
        return std::nullopt;
    const std::string box = filledIn(text, joined(positions));
    return causes.empty() ? box : box + '\n' + joined(causes);
}

std::string filledIn(const std::string& pattern, const std::string& value) {
    std::string text = pattern;
    if (const std::size_t at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

} // namespace sim
