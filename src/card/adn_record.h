#pragma once
// An EF_ADN record of a SIM, as the alarm reads positions 1 to 6 with GSM commands: the name in the
// record's first length − 14 bytes, then the number in BCD with its type, then two unused bytes. A
// plain name is kept in the GSM default alphabet, a byte a character; a name with a letter that
// alphabet lacks in the most compact of the three UCS2 forms that holds it, so that more Czech names
// fit than a phone would fit. An empty position is a record of FF.
#include "sim/records.h"

#include <cstdint>
#include <span>
#include <vector>

namespace card {

// The bytes after the name.
inline constexpr std::size_t kAdnNumberPart = 14;

// Why an entry was not made into a record; it is then not written, never cut.
enum class AdnFault { None, NameTooLong, NumberTooLong, NumberNotDialable };

struct AdnRecord {
    AdnFault fault = AdnFault::None;
    std::vector<std::uint8_t> bytes; // recordLength of them when there is no fault
};

AdnRecord encodeAdn(const sim::Entry& entry, std::size_t recordLength);
// Any of the four name codings; a record without a number is an empty entry.
sim::Entry decodeAdn(std::span<const std::uint8_t> record);

} // namespace card
