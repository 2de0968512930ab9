#include "card/gsm_card.h"

namespace card {

namespace {

constexpr std::uint8_t kClass = 0xA0;
constexpr std::uint8_t kSelect = 0xA4;
constexpr std::uint8_t kReadRecord = 0xB2;
constexpr std::uint8_t kUpdateRecord = 0xDC;
constexpr std::uint8_t kVerify = 0x20;
constexpr std::uint8_t kAbsolute = 0x04; // P2 of the record commands: the record named in P1
constexpr std::uint8_t kChv1 = 0x01;
constexpr std::size_t kPinBytes = 8;

// The header's bytes (TS 51.011, the response to SELECT), counted from 0.
constexpr std::size_t kSizeAt = 2;
constexpr std::size_t kFidAt = 4;
constexpr std::size_t kTypeAt = 6;
constexpr std::size_t kStructureAt = 13; // an EF's; of the MF or a DF, its characteristics
constexpr std::size_t kRecordLengthAt = 14;
constexpr std::size_t kChv1At = 18;
constexpr std::uint8_t kElementaryFile = 0x04;
constexpr std::uint8_t kLinearFixed = 0x01;
constexpr std::uint8_t kChv1Disabled = 0x80;
constexpr std::uint8_t kInitialised = 0x80;

std::uint16_t wordAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::uint16_t(bytes[at] << 8 | bytes[at + 1]);
}

std::optional<FileHeader> headerOf(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() <= kRecordLengthAt)
        return std::nullopt;
    FileHeader header;
    header.fid = wordAt(bytes, kFidAt);
    if (bytes[kTypeAt] == kElementaryFile) {
        header.size = wordAt(bytes, kSizeAt);
        header.linearFixed = bytes[kStructureAt] == kLinearFixed;
        header.recordLength = bytes[kRecordLengthAt];
        return header;
    }
    if (bytes.size() <= kChv1At)
        return std::nullopt;
    header.chv1Enabled = !(bytes[kStructureAt] & kChv1Disabled) && (bytes[kChv1At] & kInitialised);
    header.chv1Tries = bytes[kChv1At] & 0x0F;
    return header;
}

} // namespace

std::optional<CardReply> GsmCard::send(std::vector<std::uint8_t> command) {
    auto reply = m_channel.send(std::move(command));
    m_pause.wait(0);
    m_linkLost = !reply;
    m_status = reply ? reply->status : 0;
    return reply;
}

std::optional<FileHeader> GsmCard::select(std::uint16_t fid) {
    const auto reply =
        send({kClass, kSelect, 0x00, 0x00, 0x02, std::uint8_t(fid >> 8), std::uint8_t(fid & 0xFF)});
    if (!reply || reply->status != kOk)
        return std::nullopt;
    return headerOf(reply->data);
}

std::optional<std::vector<std::uint8_t>> GsmCard::readRecord(int record, std::size_t length) {
    const auto reply = send({kClass, kReadRecord, std::uint8_t(record), kAbsolute, std::uint8_t(length)});
    if (!reply || reply->status != kOk || reply->data.size() != length)
        return std::nullopt;
    return reply->data;
}

bool GsmCard::updateRecord(int record, std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> command{kClass, kUpdateRecord, std::uint8_t(record), kAbsolute,
                                      std::uint8_t(data.size())};
    command.insert(command.end(), data.begin(), data.end());
    const auto reply = send(std::move(command));
    return reply && reply->status == kOk;
}

// ASCII digits, padded with FF to eight bytes.
std::optional<std::uint16_t> GsmCard::verifyChv1(const std::string& pin) {
    std::vector<std::uint8_t> command{kClass, kVerify, 0x00, kChv1, kPinBytes};
    for (std::size_t i = 0; i < kPinBytes; ++i)
        command.push_back(i < pin.size() ? std::uint8_t(pin[i]) : 0xFF);
    const auto reply = send(std::move(command));
    if (!reply)
        return std::nullopt;
    return reply->status;
}

} // namespace card
