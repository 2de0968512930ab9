#include "text_message.h"

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace vphone {

namespace {

constexpr std::size_t maxSeptets = 160;
constexpr std::size_t maxAddressDigits = 20;
constexpr char semiOctetDigits[] = "0123456789*#abc";
constexpr char hexDigits[] = "0123456789ABCDEF";

void appendOctet(std::string& hex, unsigned octet) {
    hex += hexDigits[(octet >> 4) & 15];
    hex += hexDigits[octet & 15];
}

std::string packSeptets(const std::string& text) {
    std::vector<std::uint8_t> octets((text.size() * 7 + 7) / 8, 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned septet = static_cast<unsigned char>(text[i]) & 0x7F;
        const std::size_t bit = i * 7;
        octets[bit / 8] |= std::uint8_t(septet << (bit % 8));
        if (bit % 8 > 1)
            octets[bit / 8 + 1] |= std::uint8_t(septet >> (8 - bit % 8));
    }
    std::string hex;
    for (const auto octet : octets)
        appendOctet(hex, octet);
    return hex;
}

class OctetReader {
public:
    explicit OctetReader(std::vector<std::uint8_t> octets) : m_octets(std::move(octets)) {}

    bool ok() const { return m_ok; }
    unsigned next() { return take(1).empty() ? 0 : m_octets[m_pos - 1]; }
    // The next `count` octets, or none (and not ok) when the PDU ends before them.
    std::vector<std::uint8_t> take(std::size_t count) {
        if (m_pos + count > m_octets.size()) {
            m_ok = false;
            return {};
        }
        m_pos += count;
        return {m_octets.begin() + std::ptrdiff_t(m_pos - count), m_octets.begin() + std::ptrdiff_t(m_pos)};
    }

private:
    std::vector<std::uint8_t> m_octets;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

std::string unpackSeptets(const std::vector<std::uint8_t>& octets, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t bit = i * 7;
        unsigned value = octets[bit / 8] >> (bit % 8);
        if (bit % 8 > 1)
            value |= unsigned(octets[bit / 8 + 1]) << (8 - bit % 8);
        text += char(value & 0x7F);
    }
    return text;
}

std::string toHex(const std::vector<std::uint8_t>& octets) {
    std::string hex;
    for (const auto octet : octets)
        appendOctet(hex, octet);
    return hex;
}

// The address length counts semi-octets: digits, or for an alphanumeric address its packed septets.
std::string readAddress(OctetReader& reader) {
    const unsigned length = reader.next();
    const unsigned type = reader.next();
    const auto octets = reader.take((length + 1) / 2);
    if (!reader.ok())
        return {};
    if ((type & 0x70) == 0x50)
        return unpackSeptets(octets, length * 4 / 7);
    std::string address = (type & 0x70) == 0x10 ? "+" : "";
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned nibble = i % 2 == 0 ? octets[i / 2] & 15 : octets[i / 2] >> 4;
        if (nibble < 15)
            address += semiOctetDigits[nibble];
    }
    return address;
}

std::string readTimestamp(OctetReader& reader) {
    const auto octets = reader.take(7);
    if (!reader.ok())
        return {};
    const auto field = [&](int i) { return (octets[i] & 15) * 10 + (octets[i] >> 4); };
    const int quarters = (octets[6] & 7) * 10 + (octets[6] >> 4);
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d,%02d:%02d:%02d%c%02d", field(0), field(1), field(2),
                  field(3), field(4), field(5), octets[6] & 8 ? '-' : '+', quarters);
    return text;
}

// The GSM default alphabet without compression, in the general and the message-class groups.
bool isSevenBit(unsigned dcs) {
    if ((dcs & 0x80) == 0)
        return (dcs & 0x2C) == 0;
    if ((dcs & 0xF0) == 0xF0)
        return (dcs & 0x04) == 0;
    return (dcs & 0xE0) == 0xC0;
}

} // namespace

bool isMessageAddress(const std::string& address) {
    const std::string digits = !address.empty() && address[0] == '+' ? address.substr(1) : address;
    return digits.size() <= maxAddressDigits && digits.find_first_not_of("0123456789*#") == std::string::npos;
}

std::string encodeSubmit(const std::string& address, int addressType, const std::string& text) {
    if (!isMessageAddress(address) || text.size() > maxSeptets)
        return {};
    const std::string digits = !address.empty() && address[0] == '+' ? address.substr(1) : address;
    // SMSC part empty, SMS-SUBMIT with a relative validity period, message reference 0.
    std::string hex = "001100";
    appendOctet(hex, unsigned(digits.size()));
    appendOctet(hex, unsigned(addressType));
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const auto nibble = [&](std::size_t j) {
            return j < digits.size() ? unsigned(std::string_view(semiOctetDigits).find(digits[j])) : 15u;
        };
        appendOctet(hex, nibble(i + 1) << 4 | nibble(i));
    }
    // Protocol 0, GSM default alphabet, valid for 24 hours: the text-mode defaults of 27.005.
    hex += "0000A7";
    appendOctet(hex, unsigned(text.size()));
    return hex + packSeptets(text);
}

std::optional<TextView> decodeForText(const std::string& pduHex) {
    std::vector<std::uint8_t> octets;
    for (std::size_t i = 0; i + 1 < pduHex.size(); i += 2)
        octets.push_back(std::uint8_t(std::stoi(pduHex.substr(i, 2), nullptr, 16)));
    OctetReader reader(std::move(octets));
    reader.take(reader.next()); // the SMSC part
    const unsigned first = reader.next();
    const bool received = (first & 3) == 0;
    if ((first & 3) > 1)
        return std::nullopt;
    TextView view;
    if (!received)
        reader.next(); // message reference
    view.address = readAddress(reader);
    reader.next(); // protocol identifier
    const unsigned dcs = reader.next();
    if (received) {
        view.timestamp = readTimestamp(reader);
    } else {
        // Validity period: none, relative (one octet), enhanced or absolute (seven).
        const unsigned format = (first >> 3) & 3;
        reader.take(format == 0 ? 0 : format == 2 ? 1 : 7);
    }
    const unsigned length = reader.next();
    view.isText = isSevenBit(dcs) && (first & 0x40) == 0; // no user-data header
    const bool septets = isSevenBit(dcs);
    const auto data = reader.take(septets ? (length * 7 + 7) / 8 : length);
    if (!reader.ok())
        return std::nullopt;
    view.data = view.isText ? unpackSeptets(data, length) : toHex(data);
    return view;
}

} // namespace vphone
