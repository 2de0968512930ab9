#include "sms/PDU.h"

#include "gsm/alphabet.h"
#include "platform/cp1250.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace PDU {
namespace {

// The most user data one TPDU carries. Longer text is cut at a whole character rather than sent
// with a length octet that lies: a phone refuses such a PDU without a word, and the next stored
// message would then take the position meant for this one.
constexpr std::size_t kMaxUserDataOctets = 140;
constexpr std::size_t kMaxSeptets = kMaxUserDataOctets * 8 / 7;

constexpr std::uint8_t kSubmit = 1;
constexpr std::uint8_t kHeaderIndicator = 64;
constexpr std::uint8_t kValidityFormatMask = 24;
constexpr std::uint8_t kValidityRelative = 16;
constexpr std::uint8_t kAlphabetMask = 12;
constexpr std::uint8_t kAlphabet7 = 0;
constexpr std::uint8_t kAlphabet8 = 4;
constexpr std::uint8_t kAlphabetUcs2 = 8;
constexpr std::uint8_t kInternationalNumber = 16;
constexpr std::uint8_t kTypeOfNumberMask = 112;
constexpr std::uint8_t kAlphanumeric = 80;
// Texts are Windows-1250 throughout, so an address in letters takes the table with its euro.
constexpr int kAddressTextVariant = 2;
constexpr std::uint8_t kTypeExtensionBit = 128;

// The alphabet as ISO 8859-1 reads the codes, with the codec's own departures from it.
GsmCharTable buildVariant0() {
    GsmCharTable table;
    for (int code = 0; code < 256; ++code)
        table[code] = gsm::septetsOf(char16_t(code)).value_or(std::string(1, kNoGsmEquivalent));
    const auto single = [&](int code, int septet) { table[code] = std::string(1, char(septet)); };
    single(16, 0x0A);
    table[18] = table[12];
    single(96, 0x60);
    single(127, 0x7F);
    table[202] = table[201];
    table[201] = std::string(1, kNoGsmEquivalent);
    table[250] = table[249];
    table[249] = std::string(1, kNoGsmEquivalent);
    return table;
}

std::array<GsmCharTable, kGsmCharTableVariants> buildTables() {
    std::array<GsmCharTable, kGsmCharTableVariants> tables;
    tables[0] = buildVariant0();
    tables[1] = tables[0];
    const std::string euro = gsm::septetsOf(u'€').value();
    tables[1][164] = euro;
    tables[2] = tables[0];
    tables[2][128] = euro;
    return tables;
}

// Reading backwards, a septet string stands for the lowest code whose entry equals it.
struct ReverseTable {
    std::array<int, 128> single;
    std::array<int, 128> escaped;
};

std::array<ReverseTable, kGsmCharTableVariants> buildReverse() {
    std::array<ReverseTable, kGsmCharTableVariants> reverse;
    for (int variant = 0; variant < kGsmCharTableVariants; ++variant) {
        auto& r = reverse[variant];
        r.single.fill(-1);
        r.escaped.fill(-1);
        for (int code = 255; code >= 0; --code) {
            const std::string& entry = GsmCharTables()[variant][code];
            const auto first = static_cast<unsigned char>(entry[0]);
            if (entry.size() == 1 && first < 128)
                r.single[first] = code;
            else if (entry.size() == 2 && first == kSeptetEscape)
                r.escaped[static_cast<unsigned char>(entry[1]) & 0x7F] = code;
        }
    }
    return reverse;
}

const ReverseTable& reverseTable(int variant) {
    static const auto tables = buildReverse();
    return tables.at(variant);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

std::size_t ceilDiv(std::size_t value, std::size_t divisor) {
    return (value + divisor - 1) / divisor;
}

// Septets that a header of `octets` octets and its length octet take, and the fill bits after it.
std::size_t headerSeptets(std::size_t octets) {
    return ceilDiv((octets + 1) * 8, 7);
}
std::size_t fillBits(std::size_t octets) {
    return 7 * headerSeptets(octets) - 8 * (octets + 1);
}

std::size_t headerOctets(std::string_view header) {
    return header.size() / 2;
}

// The header's octets rewritten through the hex reader, so the PDU stays valid upper-case hex.
std::string headerHex(std::string_view header) {
    std::string result;
    for (std::size_t i = 0; i + 1 < header.size(); i += 2)
        result += ByteToHex(std::uint8_t(HexToInt(header.substr(i, 2))));
    return result;
}

// The 8-bit and UCS2 user-data length octet plus the header, when there is one; `units` counts the
// octets that follow.
std::string userDataPrefix(std::size_t units, std::string_view header) {
    const std::size_t octets = headerOctets(header);
    if (octets == 0)
        return ByteToHex(std::uint8_t(units));
    return ByteToHex(std::uint8_t(units + octets + 1)) + ByteToHex(std::uint8_t(octets)) + headerHex(header);
}

std::size_t octetsLeftForText(std::string_view header) {
    const std::size_t octets = headerOctets(header);
    const std::size_t used = octets == 0 ? 0 : octets + 1;
    return used < kMaxUserDataOctets ? kMaxUserDataOctets - used : 0;
}

bool containsFiller(std::string_view digits) {
    return digits.find_first_of("Ff") != std::string_view::npos;
}

// Digits as the PDU holds them back to a number: swapped, "+" for an international type, the
// filler of an odd count dropped.
std::string numberFromSemiOctets(std::string_view semiOctets, std::uint8_t type) {
    std::string number = SwapSemiOctets(semiOctets);
    if (type & kInternationalNumber)
        number.insert(0, "+");
    if (containsFiller(number))
        number.pop_back();
    return number;
}

// Operators send from names ("InternetSMS"): 7-bit text packed in the address field, whose length
// counts the semi-octets it uses.
std::string addressFromField(std::string_view semiOctets, std::size_t semiOctetCount, std::uint8_t type) {
    if ((type & kTypeOfNumberMask) != kAlphanumeric)
        return numberFromSemiOctets(semiOctets, type);
    const auto septets = std::uint8_t(semiOctetCount * 4 / 7);
    return ConvertUserData7(kAddressTextVariant, Direction::Decode, {},
                            ByteToHex(septets) + std::string(semiOctets));
}

// Reads the PDU text two characters at a time; a field the text does not hold whole is absent.
class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    std::optional<std::string_view> chars(std::size_t count) {
        if (m_text.size() - m_pos < count)
            return std::nullopt;
        const auto taken = m_text.substr(m_pos, count);
        m_pos += count;
        return taken;
    }
    std::optional<std::uint8_t> octet() {
        const auto pair = chars(2);
        if (!pair)
            return std::nullopt;
        return std::uint8_t(HexToInt(*pair));
    }
    bool skip(std::size_t octets) { return chars(2 * octets).has_value(); }
    std::string_view rest() const { return m_text.substr(m_pos); }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

const std::array<GsmCharTable, kGsmCharTableVariants>& GsmCharTables() {
    static const auto tables = buildTables();
    return tables;
}

std::string OctetsToHex(std::span<const std::uint8_t> octets) {
    std::string hex;
    for (const std::uint8_t octet : octets)
        hex += ByteToHex(octet);
    return hex;
}

std::optional<Octets> HexToOctets(std::string_view hex) {
    const auto isHex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    if (hex.size() % 2 != 0 || !std::all_of(hex.begin(), hex.end(), isHex))
        return std::nullopt;
    Octets octets;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        octets.push_back(std::uint8_t(hexDigit(hex[i]) << 4 | hexDigit(hex[i + 1])));
    return octets;
}

std::string ByteToHex(std::uint8_t octet) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[octet >> 4], kDigits[octet & 0x0F]};
}

unsigned HexToInt(std::string_view text) {
    unsigned value = 0;
    for (const char c : text)
        value = value * 16 + unsigned(hexDigit(c));
    return value;
}

unsigned DecToInt(std::string_view text) {
    unsigned value = 0;
    for (const char c : text)
        value = value * 10 + unsigned(c >= '0' && c <= '9' ? c - '0' : 0);
    return value;
}

std::uint8_t BitsToByte(std::string_view bits) {
    if (bits.size() > 8)
        bits.remove_prefix(bits.size() - 8);
    std::uint8_t value = 0;
    for (std::size_t i = 0; i < bits.size(); ++i)
        if (bits[i] == '1')
            value |= std::uint8_t(1u << (bits.size() - 1 - i));
    return value;
}

std::string SwapSemiOctets(std::string_view text) {
    std::string swapped(text);
    for (std::size_t i = 0; i + 1 < swapped.size(); i += 2)
        std::swap(swapped[i], swapped[i + 1]);
    return swapped;
}

std::string TextToSeptets(int variant, std::string_view text) {
    const GsmCharTable& table = GsmCharTables().at(variant);
    std::string septets;
    for (const char c : text)
        septets += table[static_cast<unsigned char>(c)];
    return septets;
}

std::string SeptetsToText(int variant, std::string_view septets) {
    const ReverseTable& reverse = reverseTable(variant);
    std::string text;
    for (std::size_t i = 0; i < septets.size(); ++i) {
        const auto septet = static_cast<unsigned char>(septets[i]);
        int code = -1;
        if (septet == kSeptetEscape && i + 1 < septets.size()) {
            const auto next = static_cast<unsigned char>(septets[++i]);
            code = next < 128 ? reverse.escaped[next] : -1;
        } else if (septet < 128) {
            code = reverse.single[septet];
        }
        if (code >= 0)
            text.push_back(char(code));
    }
    return text;
}

std::string ConvertUserData7(int variant, Direction direction, std::string_view header,
                             std::string_view input) {
    const std::size_t octets = headerOctets(header);
    const std::size_t fill = octets == 0 ? 0 : fillBits(octets);

    if (direction == Direction::Encode) {
        const std::size_t reserved = octets == 0 ? 0 : headerSeptets(octets);
        const std::size_t room = reserved < kMaxSeptets ? kMaxSeptets - reserved : 0;
        const GsmCharTable& table = GsmCharTables().at(variant);
        std::string septets;
        for (const char c : input) {
            const std::string& entry = table[static_cast<unsigned char>(c)];
            if (septets.size() + entry.size() > room)
                break;
            septets += entry;
        }

        // Least significant bit first; a code without a GSM equivalent (255) goes out as 7F.
        std::vector<std::uint8_t> packed(ceilDiv(fill + 7 * septets.size(), 8), 0);
        std::size_t bit = fill;
        for (const char s : septets) {
            const unsigned value = static_cast<unsigned char>(s) & 0x7F;
            for (int b = 0; b < 7; ++b, ++bit)
                if (value & (1u << b))
                    packed[bit / 8] |= std::uint8_t(1u << (bit % 8));
        }
        // The length counts septets here, the header's own included.
        std::string field = octets == 0 ? ByteToHex(std::uint8_t(septets.size()))
                                        : ByteToHex(std::uint8_t(septets.size() + headerSeptets(octets))) +
                                              ByteToHex(std::uint8_t(octets)) + headerHex(header);
        for (const auto o : packed)
            field += ByteToHex(o);
        return field;
    }

    if (input.size() < 2)
        return {};
    const std::size_t length = HexToInt(input.substr(0, 2));
    const std::string_view data = input.substr(2);
    const std::size_t bitsPresent = (data.size() / 2) * 8;
    const std::size_t available = bitsPresent > fill ? (bitsPresent - fill) / 7 : 0;
    const std::size_t count = std::min(length, available);

    std::string septets;
    std::size_t bit = fill;
    for (std::size_t n = 0; n < count; ++n) {
        unsigned value = 0;
        for (int b = 0; b < 7; ++b, ++bit) {
            const unsigned octet = HexToInt(data.substr(bit / 8 * 2, 2));
            if (octet & (1u << (bit % 8)))
                value |= 1u << b;
        }
        septets.push_back(char(value));
    }
    return SeptetsToText(variant, septets);
}

std::string EncodeAddress(std::string_view number, std::uint8_t type, AddressKind kind) {
    std::uint8_t typeOctet = type | kTypeExtensionBit;
    if (!number.empty() && number.front() == '+') {
        number.remove_prefix(1);
        typeOctet |= kInternationalNumber;
    }
    const std::size_t digits = number.size();
    std::string padded(number);
    if (digits % 2 != 0)
        padded += 'F';
    const std::string swapped = SwapSemiOctets(padded);

    if (kind == AddressKind::Destination)
        return ByteToHex(std::uint8_t(digits)) + ByteToHex(typeOctet) + swapped;
    if (digits == 0)
        return "00";
    return ByteToHex(std::uint8_t(swapped.size() / 2 + 1)) + ByteToHex(typeOctet) + swapped;
}

EncodedHeader EncodeHeader(const TSMS_Record& record) {
    EncodedHeader header;
    header.text = EncodeAddress(record.SmscAddress, record.SmscType, AddressKind::SmsCentre);
    header.smscLength = header.text.size();

    // The indicator must say whether a header follows, or a reader takes text for header octets.
    std::uint8_t first = record.FirstOctet | kSubmit;
    if (record.UserDataHeader.size() >= 2)
        first |= kHeaderIndicator;
    else
        first &= std::uint8_t(~kHeaderIndicator);
    header.text += ByteToHex(first);
    header.text += ByteToHex(record.MessageRef);
    header.text += EncodeAddress(record.DestAddress, record.DestAddressType, AddressKind::Destination);
    header.text += ByteToHex(record.ProtocolId);
    header.text += ByteToHex(record.DataCoding & 223);

    switch (record.FirstOctet & kValidityFormatMask) {
    case 0:
        break;
    case kValidityRelative:
        header.text += ByteToHex(record.ValidityPeriod[0]);
        break;
    default:
        for (const auto octet : record.ValidityPeriod)
            header.text += ByteToHex(octet);
        break;
    }
    return header;
}

std::uint16_t EncodeSms(TSMS_Record& record, int variant) {
    const EncodedHeader header = EncodeHeader(record);
    std::string pdu = header.text;
    const std::string_view udh = record.UserDataHeader;

    switch (record.DataCoding & kAlphabetMask) {
    case kAlphabet7: {
        const std::string text = platform::utf16ToCp1250(record.MessageText);
        pdu += ConvertUserData7(variant, Direction::Encode, udh, text);
        break;
    }
    case kAlphabet8: {
        // 8-bit data travels in the system's code page, the same one decoding reads it with.
        std::string text = platform::utf16ToCp1250(record.MessageText);
        text.resize(std::min(text.size(), octetsLeftForText(udh)));
        pdu += userDataPrefix(text.size(), udh);
        for (const char c : text)
            pdu += ByteToHex(static_cast<unsigned char>(c));
        break;
    }
    case kAlphabetUcs2: {
        std::u16string text = record.MessageText;
        text.resize(std::min(text.size(), octetsLeftForText(udh) / 2));
        if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF)
            text.pop_back(); // never half a surrogate pair
        pdu += userDataPrefix(2 * text.size(), udh);
        for (const char16_t c : text)
            pdu += ByteToHex(std::uint8_t(c >> 8)) + ByteToHex(std::uint8_t(c & 0xFF));
        break;
    }
    default:
        break; // reserved alphabet: no user data at all
    }

    record.PduText = std::move(pdu);
    return std::uint16_t((record.PduText.size() - header.smscLength) / 2);
}

std::string ParseHeader(TSMS_Record& record) {
    Reader in(record.PduText);

    const auto smscLength = in.octet();
    if (!smscLength)
        return {};
    if (*smscLength > 0) {
        const auto type = in.octet();
        const auto digits = in.chars(2 * (*smscLength - 1));
        if (!type || !digits)
            return {};
        record.SmscType = *type;
        record.SmscAddress = numberFromSemiOctets(*digits, *type);
    }

    const auto first = in.octet();
    if (!first)
        return {};
    record.FirstOctet = *first;
    const bool submit = *first & kSubmit;

    if (submit) {
        const auto reference = in.octet();
        if (!reference)
            return {};
        record.MessageRef = *reference;
    }

    const auto digitCount = in.octet();
    const auto addressType = in.octet();
    if (!digitCount || !addressType)
        return {};
    (submit ? record.DestAddressType : record.OrigAddressType) = *addressType;
    if (*digitCount > 0) {
        const auto digits = in.chars(*digitCount + *digitCount % 2);
        if (!digits)
            return {};
        (submit ? record.DestAddress : record.OrigAddress) =
            addressFromField(*digits, *digitCount, *addressType);
    }

    const auto protocol = in.octet();
    if (!protocol)
        return {};
    record.ProtocolId = *protocol;
    const auto coding = in.octet();
    if (!coding)
        return {};
    record.DataCoding = *coding;

    if (submit) {
        const int validity = *first & kValidityFormatMask;
        if (!in.skip(validity == 0 ? 0 : validity == kValidityRelative ? 1 : 7))
            return {};
    } else {
        const auto stamp = in.chars(14);
        if (!stamp)
            return {};
        for (std::size_t i = 0; i < record.TimeStamp.size(); ++i)
            record.TimeStamp[i] = std::uint8_t(DecToInt(SwapSemiOctets(stamp->substr(2 * i, 2))));
    }

    const std::string_view userData = in.rest();
    const auto length = in.octet();
    if (!length)
        return {};
    const int alphabet = record.DataCoding & kAlphabetMask;

    if (!(*first & kHeaderIndicator)) {
        record.UserDataHeader.clear();
        return std::string(userData);
    }
    const auto headerLength = in.octet();
    if (!headerLength)
        return {};
    const auto header = in.chars(2 * std::size_t(*headerLength));
    if (!header)
        return {};
    record.UserDataHeader = std::string(*header);

    const auto remaining = [&](std::size_t taken) {
        return std::uint8_t(*length > taken ? *length - taken : 0);
    };
    switch (alphabet) {
    case kAlphabet7:
        return ByteToHex(remaining(headerSeptets(*headerLength))) + std::string(in.rest());
    case kAlphabet8:
    case kAlphabetUcs2:
        return ByteToHex(remaining(std::size_t(*headerLength) + 1)) + std::string(in.rest());
    default:
        return {};
    }
}

void DecodeSms(TSMS_Record& record, int variant) {
    const std::string field = ParseHeader(record);
    if (field.size() < 2)
        return;
    const std::size_t count = HexToInt(std::string_view(field).substr(0, 2));
    const std::string_view data = std::string_view(field).substr(2);
    const std::size_t present = data.size() / 2;
    const auto octetAt = [&](std::size_t i) { return HexToInt(data.substr(2 * i, 2)); };

    switch (record.DataCoding & kAlphabetMask) {
    case kAlphabet7:
        record.MessageText = platform::cp1250ToUtf16(
            ConvertUserData7(variant, Direction::Decode, record.UserDataHeader, field));
        break;
    case kAlphabet8: {
        std::string text;
        for (std::size_t i = 0; i < std::min(count, present); ++i)
            text.push_back(char(octetAt(i)));
        record.MessageText = platform::cp1250ToUtf16(text);
        break;
    }
    case kAlphabetUcs2: {
        std::u16string text;
        for (std::size_t i = 0; i + 1 < std::min(count, present); i += 2)
            text.push_back(char16_t(octetAt(i) << 8 | octetAt(i + 1)));
        record.MessageText = std::move(text);
        break;
    }
    default:
        break;
    }
}

} // namespace PDU
