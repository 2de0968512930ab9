#pragma once
// An alarm message as the phone stores it: the PDU the tool writes, and a stored one read back.
#include "sms/message_set.h"
#include "sms/PDU.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace alarm_pdu {

inline constexpr int kCharTableVariant = 2;

struct Encoded {
    PDU::TSMS_Record record;  // its PduText is what the page shows and what follows the write prompt
    std::uint16_t length = 0; // the TPDU's octets, as the write command names them
    PDU::Octets octets;       // SMS-centre part and TPDU: the same PDU as PduText
};

// An SMS-SUBMIT through the given centre, valid 25 minutes.
Encoded encode(const std::string& smscNumber, const std::string& number, const std::string& text);

// The stored message as its row shows it, or nothing for a PDU cut short or with a length no PDU
// can have; what follows the PDU's end (a SIM record's padding) does not count. A received message
// carries no destination; its sender stands in for it.
std::optional<message_set::Message> decode(std::span<const std::uint8_t> pdu);

} // namespace alarm_pdu
