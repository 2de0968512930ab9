#pragma once
// An alarm message as the phone stores it: the PDU the tool writes, and a stored one read back.
#include "sms/message_set.h"
#include "sms/PDU.h"

#include <cstdint>
#include <string>

namespace alarm_pdu {

inline constexpr int kCharTableVariant = 2;

struct Encoded {
    PDU::TSMS_Record record;  // its PduText is what follows the write command's prompt
    std::uint16_t length = 0; // the TPDU's octets, as the write command names them
};

// An SMS-SUBMIT through the given centre, valid 25 minutes.
Encoded encode(const std::string& smscNumber, const std::string& number, const std::string& text);

// "AT+CMGW=<length>" and CR.
std::string writeCommand(const Encoded& encoded);

// The stored message as its row shows it. A received message carries no destination; its sender
// stands in for it.
message_set::Message decode(const std::string& pdu);

} // namespace alarm_pdu
