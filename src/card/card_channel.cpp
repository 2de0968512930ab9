#include "card/card_channel.h"

namespace card {

namespace {

constexpr std::uint8_t kResponseWaits = 0x9F;     // class A0: xx bytes to fetch
constexpr std::uint8_t kResponseWaitsUicc = 0x61; // the same in class 00
constexpr std::uint8_t kWrongLength = 0x67;       // class A0: xx is the right length
constexpr std::uint8_t kWrongLengthUicc = 0x6C;
constexpr std::uint8_t kGetResponse = 0xC0;
constexpr std::size_t kHeader = 5; // CLA INS P1 P2 P3

} // namespace

std::optional<CardReply> CardChannel::transmit(const std::vector<std::uint8_t>& command) {
    const auto response = m_link.transmit(command);
    if (!response)
        return std::nullopt;
    const std::size_t size = response->size();
    return CardReply{{response->begin(), response->end() - 2},
                     std::uint16_t((*response)[size - 2] << 8 | (*response)[size - 1])};
}

std::optional<CardReply> CardChannel::send(std::vector<std::uint8_t> command) {
    auto reply = transmit(command);
    if (!reply)
        return reply;
    const std::uint8_t sw1 = reply->status >> 8;
    const std::uint8_t sw2 = reply->status & 0xFF;
    // Only a command that carries no data can simply ask for the length the card names.
    if ((sw1 == kWrongLength || sw1 == kWrongLengthUicc) && sw2 != 0 && command.size() == kHeader) {
        command[4] = sw2;
        reply = transmit(command);
    }
    if (reply && ((reply->status >> 8) == kResponseWaits || (reply->status >> 8) == kResponseWaitsUicc))
        reply = transmit({command[0], kGetResponse, 0x00, 0x00, std::uint8_t(reply->status & 0xFF)});
    return reply;
}

} // namespace card
