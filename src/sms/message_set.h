#pragma once
// The four alarm messages with their destination numbers, and the form check they pass before the
// phone gets them. Texts are Windows-1250.
#include <array>
#include <string>

namespace message_set {

inline constexpr int kPositions = 4;

struct Message {
    std::string number;
    std::string text;
    bool operator==(const Message&) const = default;
};

// Position 1 to 4 at index 0 to 3.
using Messages = std::array<Message, kPositions>;

// The SMS-centre number and every destination number in the form the alarm unit expects.
bool acceptable(const std::string& smscNumber, const Messages& messages);

} // namespace message_set
