#pragma once
// A SIM as the alarm reads it: GSM (class A0) commands on its files, one level per SELECT, with the
// header of each selected file from GET RESPONSE: record length and count of an EF, the state of
// CHV1 (the PIN) of the MF or a DF. Between commands the pause lets the window serve its events.
#include "card/card_channel.h"
#include "platform/pause.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace card {

inline constexpr std::uint16_t kMasterFile = 0x3F00;
inline constexpr std::uint16_t kTelecom = 0x7F10;
inline constexpr std::uint16_t kPhonebook = 0x6F3A; // EF_ADN
inline constexpr std::uint16_t kMessages = 0x6F3C;  // EF_SMS

// Status words the SIM code tells apart.
inline constexpr std::uint16_t kAccessDenied = 0x9804;  // CHV1 not verified, or a wrong PIN
inline constexpr std::uint16_t kChvBlocked = 0x9840;    // no try left
inline constexpr std::uint16_t kWrongClass = 0x6E00;    // a card without GSM access
inline constexpr std::uint16_t kRecordMissing = 0x9402; // out of range

struct FileHeader {
    std::uint16_t fid = 0;
    // An EF's size and the length of its records.
    std::size_t size = 0;
    std::size_t recordLength = 0;
    bool linearFixed = false;
    // The MF's or a DF's CHV1.
    bool chv1Enabled = false;
    int chv1Tries = 0;

    std::size_t records() const { return recordLength == 0 ? 0 : size / recordLength; }
};

class GsmCard {
public:
    GsmCard(platform::SmartCardLink& link, platform::Pause& pause) : m_channel(link), m_pause(pause) {}

    // Nothing when the card refused (status()) or the link failed (linkLost()).
    std::optional<FileHeader> select(std::uint16_t fid);
    std::optional<std::vector<std::uint8_t>> readRecord(int record, std::size_t length);
    bool updateRecord(int record, std::span<const std::uint8_t> data);
    // The card's status word; nothing when the link failed.
    std::optional<std::uint16_t> verifyChv1(const std::string& pin);

    std::uint16_t status() const { return m_status; }
    bool linkLost() const { return m_linkLost; }
    platform::SmartCardError linkError() const { return m_channel.lastError(); }

private:
    std::optional<CardReply> send(std::vector<std::uint8_t> command);

    CardChannel m_channel;
    platform::Pause& m_pause;
    std::uint16_t m_status = 0;
    bool m_linkLost = false;
};

} // namespace card
