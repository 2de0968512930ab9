#include "card/sms_record.h"

#include <algorithm>

namespace card {

namespace {

constexpr std::uint8_t kUnused = 0xFF;
// Bit 1 of the status: the record holds a message. The top three bits are never set in a status,
// so a record of FF, as some blank cards have them, is free too.
constexpr std::uint8_t kInUse = 0x01;
constexpr std::uint8_t kNeverSet = 0xE0;

} // namespace

std::optional<std::vector<std::uint8_t>> encodeSms(const sim::Message& message, std::size_t recordLength) {
    if (1 + message.pdu.size() > recordLength)
        return std::nullopt;
    std::vector<std::uint8_t> record(recordLength, kUnused);
    record[0] = std::uint8_t(message.status);
    std::copy(message.pdu.begin(), message.pdu.end(), record.begin() + 1);
    return record;
}

sim::Message decodeSms(std::span<const std::uint8_t> record) {
    if (record.empty() || !(record[0] & kInUse) || (record[0] & kNeverSet))
        return {};
    return {sim::MessageStatus(record[0]), {record.begin() + 1, record.end()}};
}

std::vector<std::uint8_t> freeSms(std::size_t recordLength) {
    std::vector<std::uint8_t> record(recordLength, kUnused);
    if (!record.empty())
        record[0] = std::uint8_t(sim::MessageStatus::Free);
    return record;
}

} // namespace card
