#pragma once
// A card in a reader that answers each APDU as a test scripts it (hex, "A0A40000023F00" ->
// "9F16"), records what was sent, and can be pulled out at a chosen APDU. What a test does not
// script answers 6D00, an instruction the card does not know.
#include "platform/smart_card.h"
#include "sms/PDU.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

class ScriptedCard final : public platform::SmartCardLink {
public:
    std::map<std::string, std::deque<std::string>> answers; // in turn; the last one stays
    std::vector<std::string> sent;
    std::size_t pulledAt = 0; // 1-based: that APDU finds the card gone; 0: never

    // The answer to every later sending of the command.
    void answer(const std::string& command, const std::string& response) { answers[command] = {response}; }

    std::optional<std::vector<std::uint8_t>> transmit(std::span<const std::uint8_t> command) override {
        const std::string hex = PDU::OctetsToHex(command);
        sent.push_back(hex);
        if (pulledAt != 0 && sent.size() >= pulledAt) {
            m_error = {platform::SmartCardFault::CardRemoved, 0};
            return std::nullopt;
        }
        m_error = {};
        auto& turns = answers[hex];
        const std::string response = turns.empty() ? "6D00" : turns.front();
        if (turns.size() > 1)
            turns.pop_front();
        return PDU::HexToOctets(response);
    }
    platform::SmartCardError lastError() const override { return m_error; }

private:
    platform::SmartCardError m_error;
};
