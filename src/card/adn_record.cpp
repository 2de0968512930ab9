#include "card/adn_record.h"

#include "card/alpha_tag.h"
#include "platform/cp1250.h"

#include <algorithm>
#include <string_view>

namespace card {

namespace {

constexpr std::uint8_t kUnused = 0xFF;
constexpr std::uint8_t kInternational = 0x91; // type of number international, plan E.164: the "+"
constexpr std::uint8_t kUnknownType = 0x81;
constexpr std::size_t kBcdBytes = 10;
// A byte a digit pair; a digit beyond ten would need an extension record.
constexpr std::size_t kMostDigits = 2 * kBcdBytes;
// The BCD codes of the dialling characters beyond the digits.
constexpr std::string_view kDialCodes = "0123456789*#pw";

std::optional<std::vector<std::uint8_t>> bcdOf(std::string_view digits) {
    std::vector<std::uint8_t> bcd;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const std::size_t low = kDialCodes.find(digits[i]);
        const std::size_t high = i + 1 < digits.size() ? kDialCodes.find(digits[i + 1]) : 0x0F;
        if (low == std::string_view::npos || high == std::string_view::npos)
            return std::nullopt;
        bcd.push_back(std::uint8_t(high << 4 | low));
    }
    return bcd;
}

std::string numberOf(std::span<const std::uint8_t> part) {
    const std::size_t length = part[0];
    if (length == kUnused || length < 2 || length > kBcdBytes + 1)
        return {};
    std::string number = part[1] == kInternational ? "+" : "";
    for (std::size_t i = 0; i < length - 1; ++i)
        for (const unsigned nibble : {part[2 + i] & 0x0Fu, unsigned(part[2 + i] >> 4)}) {
            if (nibble == 0x0F)
                return number;
            if (nibble < kDialCodes.size())
                number += kDialCodes[nibble];
        }
    return number;
}

} // namespace

AdnRecord encodeAdn(const sim::Entry& entry, std::size_t recordLength) {
    const std::size_t room = recordLength > kAdnNumberPart ? recordLength - kAdnNumberPart : 0;
    std::vector<std::uint8_t> record(recordLength, kUnused);
    if (entry.number.empty())
        return {AdnFault::None, record};
    const bool international = entry.number.starts_with('+');
    const std::string_view digits = std::string_view(entry.number).substr(international ? 1 : 0);
    if (digits.size() > kMostDigits)
        return {AdnFault::NumberTooLong, {}};
    const auto bcd = bcdOf(digits);
    if (!bcd || digits.empty())
        return {AdnFault::NumberNotDialable, {}};
    const auto alpha = alphaTagOf(platform::cp1250ToUtf16(entry.name), room);
    if (!alpha)
        return {AdnFault::NameTooLong, {}};
    std::copy(alpha->begin(), alpha->end(), record.begin());
    record[room] = std::uint8_t(1 + bcd->size());
    record[room + 1] = international ? kInternational : kUnknownType;
    std::copy(bcd->begin(), bcd->end(), record.begin() + std::ptrdiff_t(room + 2));
    return {AdnFault::None, record};
}

sim::Entry decodeAdn(std::span<const std::uint8_t> record) {
    if (record.size() < kAdnNumberPart)
        return {};
    const std::size_t room = record.size() - kAdnNumberPart;
    const std::string number = numberOf(record.subspan(room));
    if (number.empty())
        return {};
    return {number, platform::utf16ToCp1250(textOfAlphaTag(record.first(room)))};
}

} // namespace card
