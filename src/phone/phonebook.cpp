#include "phone/phonebook.h"

#include "gsm/alphabet.h"
#include "phone/reply.h"
#include "platform/cp1250.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace phonebook {

namespace {

constexpr Charset kReadingOrder[] = {Charset::Ucs2, Charset::Gsm, Charset::Ira};

bool contains(const std::vector<Charset>& sets, Charset charset) {
    return std::find(sets.begin(), sets.end(), charset) != sets.end();
}

std::optional<std::string> toGsm(const std::string& name) {
    return gsm::toSeptets(platform::cp1250ToUtf16(name));
}

// IRA is ASCII; the phone puts it on the SIM in the GSM alphabet, which lacks a few of its signs.
bool isIraForGsm(const std::string& name) {
    return std::all_of(name.begin(), name.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code >= 0x20 && code < 0x7F && gsm::septetsOf(char16_t(code));
    });
}

std::string toUcs2Hex(const std::string& text) {
    std::string hex;
    for (const char16_t unit : platform::cp1250ToUtf16(text)) {
        char group[5];
        std::snprintf(group, sizeof group, "%04X", unsigned(unit));
        hex += group;
    }
    return hex;
}

// Nothing when the text is not whole groups of four hex digits.
std::optional<std::u16string> fromUcs2Hex(std::string_view hex) {
    const bool allHex = std::all_of(hex.begin(), hex.end(),
                                    [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    if (hex.empty() || hex.size() % 4 != 0 || !allHex)
        return std::nullopt;
    std::u16string units;
    for (std::size_t i = 0; i < hex.size(); i += 4) {
        unsigned unit = 0;
        std::from_chars(hex.data() + i, hex.data() + i + 4, unit, 16);
        units += char16_t(unit);
    }
    return units;
}

std::string_view untilLineEnd(std::string_view text) {
    return text.substr(0, std::min(text.find('\r'), text.find('\n')));
}

// The text after the next double quote up to the quote that closes it (or the end); `rest` moves
// past the closing quote. Nothing when there is no opening quote.
std::optional<std::string_view> nextQuoted(std::string_view& rest) {
    const std::size_t open = rest.find('"');
    if (open == std::string_view::npos)
        return std::nullopt;
    rest.remove_prefix(open + 1);
    const std::size_t close = rest.find('"');
    const std::string_view field = rest.substr(0, close);
    rest.remove_prefix(close == std::string_view::npos ? rest.size() : close + 1);
    return field;
}

bool isDialChar(char16_t unit) {
    return unit < 128 && std::string_view("+0123456789*#pPwW").find(char(unit)) != std::string_view::npos;
}

} // namespace

Charset choose(std::string_view offered) {
    const std::vector<Charset> sets = listed(offered);
    return sets.empty() ? Charset::Unchanged : sets.front();
}

std::vector<Charset> listed(std::string_view offered) {
    std::vector<Charset> sets;
    for (const Charset charset : kReadingOrder)
        if (offered.find('"' + std::string(nameOf(charset)) + '"') != std::string_view::npos)
            sets.push_back(charset);
    return sets;
}

Charset named(std::string_view inUse) {
    for (const Charset charset : kReadingOrder)
        if (inUse == '"' + std::string(nameOf(charset)) + '"')
            return charset;
    return Charset::Unchanged;
}

Charset forName(const std::string& name, Charset inUse, const std::vector<Charset>& usable) {
    if (toGsm(name)) {
        if ((inUse == Charset::Gsm || inUse == Charset::Ira) && encodeName(name, inUse))
            return inUse;
        for (const Charset plain : {Charset::Gsm, Charset::Ira})
            if (contains(usable, plain) && encodeName(name, plain))
                return plain;
    }
    if (inUse == Charset::Ucs2 || contains(usable, Charset::Ucs2))
        return Charset::Ucs2;
    return inUse;
}

const char* nameOf(Charset charset) {
    switch (charset) {
    case Charset::Ucs2:
        return "UCS2";
    case Charset::Gsm:
        return "GSM";
    case Charset::Ira:
        return "IRA";
    case Charset::Unchanged:
        break;
    }
    return "";
}

std::optional<std::string> encodeName(const std::string& name, Charset charset) {
    switch (charset) {
    case Charset::Ucs2:
        return toUcs2Hex(name);
    case Charset::Gsm:
        return toGsm(name);
    case Charset::Ira:
        return isIraForGsm(name) ? std::optional(name) : std::nullopt;
    case Charset::Unchanged:
        break;
    }
    return name;
}

std::string decodeName(std::string_view name, Charset charset) {
    if (charset == Charset::Ucs2)
        if (const auto units = fromUcs2Hex(name))
            return platform::utf16ToCp1250(*units);
    if (charset == Charset::Gsm)
        return platform::utf16ToCp1250(gsm::fromSeptets(name));
    return std::string(name);
}

std::string decodeNumber(std::string_view number, Charset charset) {
    if (charset == Charset::Ucs2)
        if (const auto units = fromUcs2Hex(number);
            units && std::all_of(units->begin(), units->end(), isDialChar))
            return platform::utf16ToCp1250(*units);
    return std::string(number);
}

std::string readCommand(int position) {
    return "AT+CPBR=" + std::to_string(position) + reply::kCR;
}

std::string writeCommand(int position, const std::string& number, const std::string& name) {
    const std::string command = "AT+CPBW=" + std::to_string(position);
    if (number.empty())
        return command + reply::kCR;
    return command + ",\"" + number + "\",,\"" + name + "\"" + reply::kCR;
}

std::optional<Entry> entryOf(const final_answers::Answer& answer, int position) {
    const std::string index = std::to_string(position) + ",";
    for (const std::string& each : answer.lines) {
        std::string_view line = untilLineEnd(each);
        if (!line.starts_with("+CPBR:"))
            continue;
        line.remove_prefix(6);
        while (line.starts_with(' '))
            line.remove_prefix(1);
        if (!line.starts_with(index))
            continue;
        line.remove_prefix(index.size());
        const auto number = nextQuoted(line);
        if (!number)
            return std::nullopt;
        Entry entry{std::string(*number), {}};
        // After the number come the type and the quoted name; an entry without a name has none.
        if (const auto name = nextQuoted(line))
            entry.name = *name;
        return entry;
    }
    return std::nullopt;
}

} // namespace phonebook
