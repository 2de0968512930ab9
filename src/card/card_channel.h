#pragma once
// The card's transport as GSM (class A0) commands need it, in one place: GET RESPONSE fetches what a
// 9Fxx (or 61xx) announces, and a command without data goes again with the length that a 67xx (or
// 6Cxx) names. pcsc-lite does neither by itself.
#include "platform/smart_card.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace card {

struct CardReply {
    std::vector<std::uint8_t> data;
    std::uint16_t status = 0; // SW1 SW2
};

inline constexpr std::uint16_t kOk = 0x9000;

class CardChannel {
public:
    explicit CardChannel(platform::SmartCardLink& link) : m_link(link) {}

    // Nothing when the link failed: the card pulled out, the reader gone (lastError()).
    std::optional<CardReply> send(std::vector<std::uint8_t> command);
    platform::SmartCardError lastError() const { return m_link.lastError(); }

private:
    std::optional<CardReply> transmit(const std::vector<std::uint8_t>& command);

    platform::SmartCardLink& m_link;
};

} // namespace card
