#pragma once
// An EF_SMS record of a SIM: its status byte, then the service-centre address and the TPDU as a
// phone stores them with AT+CMGW, then FF to the record's end. A free record has status 00.
#include "sim/records.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace card {

// Nothing when the message does not fit the record.
std::optional<std::vector<std::uint8_t>> encodeSms(const sim::Message& message, std::size_t recordLength);
// A free record as a message without octets; else every octet after the status, the padding
// included (the PDU's own lengths say where it ends).
sim::Message decodeSms(std::span<const std::uint8_t> record);
// What deleting leaves: a free record.
std::vector<std::uint8_t> freeSms(std::size_t recordLength);

} // namespace card
