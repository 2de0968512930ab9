#include "card/alpha_tag.h"

#include "gsm/alphabet.h"

#include <algorithm>

namespace card {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kUnused = 0xFF;
constexpr std::uint8_t kUcs2 = 0x80;
constexpr std::uint8_t kUcs2Base7 = 0x81;
constexpr std::uint8_t kUcs2Base16 = 0x82;
// In the two based forms a byte from 80 up stands for base + its low seven bits.
constexpr std::uint8_t kOffsetFlag = 0x80;
constexpr char16_t kWindow = 0x80;

// A character the GSM default alphabet holds in one septet, as the based forms take it.
std::optional<std::uint8_t> plainSeptet(char16_t character) {
    const auto septets = gsm::septetsOf(character);
    if (!septets || septets->size() != 1)
        return std::nullopt;
    return std::uint8_t(septets->front());
}

Bytes ucs2Form(std::u16string_view name) {
    Bytes tag{kUcs2};
    for (const char16_t unit : name) {
        tag.push_back(std::uint8_t(unit >> 8));
        tag.push_back(std::uint8_t(unit & 0xFF));
    }
    return tag;
}

// The characters outside the alphabet must lie in [base, base + 127].
std::optional<Bytes> basedForm(std::u16string_view name, std::uint8_t form, char16_t base) {
    if (name.size() > 0xFF)
        return std::nullopt;
    // The 7-bit base holds bits 15 to 7 in one byte: it reaches up to 7F80.
    if (form == kUcs2Base7 && base >> 7 > 0xFF)
        return std::nullopt;
    Bytes tag{form, std::uint8_t(name.size())};
    if (form == kUcs2Base7)
        tag.push_back(std::uint8_t(base >> 7));
    else
        tag.insert(tag.end(), {std::uint8_t(base >> 8), std::uint8_t(base & 0xFF)});
    for (const char16_t unit : name) {
        if (const auto septet = plainSeptet(unit))
            tag.push_back(*septet);
        else if (unit >= base && unit - base < kWindow)
            tag.push_back(std::uint8_t(kOffsetFlag | (unit - base)));
        else
            return std::nullopt;
    }
    return tag;
}

// The lowest character outside the alphabet, from which both based forms measure.
std::optional<char16_t> lowestOutside(std::u16string_view name) {
    std::optional<char16_t> lowest;
    for (const char16_t unit : name)
        if (!plainSeptet(unit) && (!lowest || unit < *lowest))
            lowest = unit;
    return lowest;
}

// On a tie the plainest form wins: every phone reads 80.
Bytes mostCompactUcs2(std::u16string_view name) {
    Bytes best = ucs2Form(name);
    const char16_t lowest = lowestOutside(name).value_or(0);
    for (const auto& form : {basedForm(name, kUcs2Base7, char16_t(lowest & ~(kWindow - 1))),
                             basedForm(name, kUcs2Base16, lowest)})
        if (form && form->size() < best.size())
            best = *form;
    return best;
}

std::u16string fromUcs2(std::span<const std::uint8_t> units) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        const char16_t unit = char16_t(units[i] << 8 | units[i + 1]);
        if (unit == 0xFFFF)
            break;
        text.push_back(unit);
    }
    return text;
}

std::u16string fromBased(std::span<const std::uint8_t> bytes, char16_t base) {
    std::u16string text;
    for (const std::uint8_t byte : bytes) {
        if (byte & kOffsetFlag)
            text.push_back(char16_t(base + (byte & ~kOffsetFlag)));
        else
            text += gsm::fromSeptets(std::string(1, char(byte)));
    }
    return text;
}

// The count of a based form, kept within the tag.
std::span<const std::uint8_t> counted(std::span<const std::uint8_t> tag, std::size_t header) {
    if (tag.size() < header)
        return {};
    return tag.subspan(header, std::min<std::size_t>(tag[1], tag.size() - header));
}

} // namespace

std::optional<std::vector<std::uint8_t>> alphaTagOf(std::u16string_view name, std::size_t room) {
    Bytes tag;
    if (const auto septets = gsm::toSeptets(name))
        tag.assign(septets->begin(), septets->end());
    else
        tag = mostCompactUcs2(name);
    if (tag.size() > room)
        return std::nullopt;
    tag.resize(room, kUnused);
    return tag;
}

std::u16string textOfAlphaTag(std::span<const std::uint8_t> tag) {
    if (tag.empty())
        return {};
    switch (tag[0]) {
    case kUcs2:
        return fromUcs2(tag.subspan(1));
    case kUcs2Base7:
        return tag.size() < 3 ? std::u16string() : fromBased(counted(tag, 3), char16_t(tag[2] << 7));
    case kUcs2Base16:
        return tag.size() < 4 ? std::u16string() : fromBased(counted(tag, 4), char16_t(tag[2] << 8 | tag[3]));
    default:
        break;
    }
    const auto end = std::find(tag.begin(), tag.end(), kUnused);
    return gsm::fromSeptets(std::string(tag.begin(), end));
}

} // namespace card
