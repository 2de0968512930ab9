#include "sms/PDU.h"

#include "gsm/alphabet.h"
#include "platform/cp1250.h"

#include <algorithm>

namespace PDU {
namespace {

// The most user data one TPDU carries. Longer text is cut at a whole character rather than sent
// with a length octet that lies: a phone refuses such a PDU without a word, and the next stored
// message would then take the position meant for this one.
constexpr std::size_t kMaxUserDataOctets = 140;
constexpr std::size_t kMaxSeptets = kMaxUserDataOctets * 8 / 7;
// An SMS-centre address is its type and at most ten octets of digits; a destination or a sender has
// at most 20 digits, or the 20 semi-octets of an 11-letter name.
constexpr std::size_t kMaxCentreOctets = 11;
constexpr std::size_t kMaxAddressDigits = 20;
// A PDU at its longest: both addresses with 20 digits, a validity period given as a time, the most
// user data.
constexpr std::size_t kLongestPdu = 12 + 2 + 12 + 2 + 7 + 1 + kMaxUserDataOctets;

constexpr std::uint8_t kHeaderIndicator = 64;
constexpr std::uint8_t kValidityFormatMask = 24;
constexpr std::size_t kTimeOctets = 7; // a time stamp, or a validity period given as a time
constexpr std::uint8_t kAlphabetMask = 12;
constexpr std::uint8_t kAlphabet8 = 4;
constexpr std::uint8_t kAlphabetUcs2 = 8;
constexpr std::uint8_t kAlphabetReserved = 12;
// The codec never compresses, so the coding it sends never says so.
constexpr std::uint8_t kCompressed = 32;
constexpr std::uint8_t kInternationalNumber = 16;
constexpr std::uint8_t kTypeOfNumberMask = 112;
constexpr std::uint8_t kAlphanumeric = 80;
// Texts are Windows-1250 throughout, so an address in letters takes the table with its euro.
constexpr int kAddressTextVariant = 2;
constexpr std::uint8_t kTypeExtensionBit = 128;
constexpr std::uint8_t kSeptetMask = 0x7F;
constexpr std::uint8_t kSemiOctetMask = 0x0F;
constexpr std::uint8_t kFiller = 0x0F; // the semi-octet after the last digit of an odd count
constexpr char kHexDigits[] = "0123456789ABCDEF";

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
                r.escaped[static_cast<unsigned char>(entry[1]) & kSeptetMask] = code;
        }
    }
    return reverse;
}

const ReverseTable& reverseTable(int variant) {
    static const auto tables = buildReverse();
    return tables.at(variant);
}

// A table rather than comparisons: the digits of a PDU follow no pattern a branch could learn.
constexpr std::array<std::int8_t, 256> hexValues() {
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (int digit = 0; digit < 16; ++digit) {
        values[static_cast<unsigned char>(kHexDigits[digit])] = std::int8_t(digit);
        values[static_cast<unsigned char>("0123456789abcdef"[digit])] = std::int8_t(digit);
    }
    return values;
}
constexpr auto kHexValues = hexValues();

bool isHexDigit(char c) {
    return kHexValues[static_cast<unsigned char>(c)] >= 0;
}
int hexDigit(char c) {
    return std::max(0, int(kHexValues[static_cast<unsigned char>(c)]));
}

// Hexadecimal text as the text functions read it: two digits an octet, an invalid digit as 0, an odd
// last digit left out.
Octets octetsOf(std::string_view hex) {
    Octets octets;
    octets.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        octets.push_back(std::uint8_t(hexDigit(hex[i]) << 4 | hexDigit(hex[i + 1])));
    return octets;
}

void append(Octets& octets, std::span<const std::uint8_t> more) {
    octets.insert(octets.end(), more.begin(), more.end());
}

std::size_t ceilDiv(std::size_t value, std::size_t divisor) {
    return (value + divisor - 1) / divisor;
}

// Septets that a header of `octets` octets and its length octet take, and the fill bits after it
// (none without a header).
std::size_t headerSeptets(std::size_t octets) {
    return ceilDiv((octets + 1) * 8, 7);
}
std::size_t fillBits(std::size_t octets) {
    return octets == 0 ? 0 : 7 * headerSeptets(octets) - 8 * (octets + 1);
}

// What the header and its length octet take of the user-data length, counted as it counts: septets
// for 7-bit text, octets for any other.
std::size_t headerUnits(int alphabet, std::size_t octets) {
    return alphabet == kAlphabet7 ? headerSeptets(octets) : octets + 1;
}
std::size_t headerUse(int alphabet, std::span<const std::uint8_t> header) {
    return header.empty() ? 0 : headerUnits(alphabet, header.size());
}

// The user-data length octet, then the header with its own length octet when there is one.
void appendUserDataPrefix(Octets& pdu, std::size_t length, std::span<const std::uint8_t> header) {
    pdu.push_back(std::uint8_t(length));
    if (!header.empty())
        pdu.push_back(std::uint8_t(header.size()));
    append(pdu, header);
}

std::size_t octetsLeftForText(std::span<const std::uint8_t> header) {
    return kMaxUserDataOctets - std::min(headerUse(kAlphabet8, header), kMaxUserDataOctets);
}

// As many characters of the text as `room` septets hold, each with all its septets.
std::string septetsThatFit(int variant, std::string_view text, std::size_t room) {
    const GsmCharTable& table = GsmCharTables().at(variant);
    std::string septets;
    for (const char c : text) {
        const std::string& entry = table[static_cast<unsigned char>(c)];
        if (septets.size() + entry.size() > room)
            break;
        septets += entry;
    }
    return septets;
}

// Least significant bit first, from bit `fill` of the octets appended on; a code without a GSM
// equivalent (255) goes out as 7F.
void appendPackedSeptets(Octets& pdu, std::string_view septets, std::size_t fill) {
    const std::size_t start = pdu.size();
    pdu.resize(start + ceilDiv(fill + 7 * septets.size(), 8), 0);
    std::size_t bit = fill;
    for (const char s : septets) {
        const unsigned value = unsigned(static_cast<unsigned char>(s) & kSeptetMask) << (bit % 8);
        pdu[start + bit / 8] |= std::uint8_t(value);
        if (value > 0xFF)
            pdu[start + bit / 8 + 1] |= std::uint8_t(value >> 8);
        bit += 7;
    }
}

void appendUserData7(Octets& pdu, int variant, std::span<const std::uint8_t> header, std::string_view text) {
    const std::size_t headerTakes = headerUse(kAlphabet7, header);
    const std::string septets =
        septetsThatFit(variant, text, kMaxSeptets - std::min(headerTakes, kMaxSeptets));
    // The length counts septets here, the header's own included.
    appendUserDataPrefix(pdu, headerTakes + septets.size(), header);
    appendPackedSeptets(pdu, septets, fillBits(header.size()));
}

// 8-bit data travels in the system's code page, the same one decoding reads it with.
void appendUserData8(Octets& pdu, std::span<const std::uint8_t> header, const std::u16string& message) {
    std::string text = platform::utf16ToCp1250(message);
    text.resize(std::min(text.size(), octetsLeftForText(header)));
    appendUserDataPrefix(pdu, headerUse(kAlphabet8, header) + text.size(), header);
    pdu.insert(pdu.end(), text.begin(), text.end());
}

void appendUserDataUcs2(Octets& pdu, std::span<const std::uint8_t> header, std::u16string text) {
    text.resize(std::min(text.size(), octetsLeftForText(header) / 2));
    if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF)
        text.pop_back(); // never half a surrogate pair
    appendUserDataPrefix(pdu, headerUse(kAlphabetUcs2, header) + 2 * text.size(), header);
    for (const char16_t c : text) {
        pdu.push_back(std::uint8_t(c >> 8));
        pdu.push_back(std::uint8_t(c & 0xFF));
    }
}

// A reserved alphabet gets no user data at all.
void appendUserData(Octets& pdu, const TSMS_Record& record, int variant) {
    const Octets header = octetsOf(record.UserDataHeader);
    switch (record.DataCoding & kAlphabetMask) {
    case kAlphabet7:
        appendUserData7(pdu, variant, header, platform::utf16ToCp1250(record.MessageText));
        break;
    case kAlphabet8:
        appendUserData8(pdu, header, record.MessageText);
        break;
    case kAlphabetUcs2:
        appendUserDataUcs2(pdu, header, record.MessageText);
        break;
    default:
        break;
    }
}

// Digits low semi-octet first, an odd count filled up.
void appendSemiOctets(Octets& pdu, std::string_view digits) {
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = i + 1 < digits.size() ? hexDigit(digits[i + 1]) : kFiller;
        pdu.push_back(std::uint8_t(high << 4 | hexDigit(digits[i])));
    }
}

// A destination's length counts its digits, an SMS centre's the octets of type and digits; a
// centre without digits is that length alone.
void appendAddress(Octets& pdu, std::string_view number, std::uint8_t type, AddressKind kind) {
    std::uint8_t typeOctet = type | kTypeExtensionBit;
    if (!number.empty() && number.front() == '+') {
        number.remove_prefix(1);
        typeOctet |= kInternationalNumber;
    }
    const std::size_t digitOctets = ceilDiv(number.size(), 2);
    if (kind == AddressKind::SmsCentre && digitOctets == 0) {
        pdu.push_back(0);
        return;
    }
    pdu.push_back(std::uint8_t(kind == AddressKind::Destination ? number.size() : digitOctets + 1));
    pdu.push_back(typeOctet);
    appendSemiOctets(pdu, number);
}

// The indicator must say whether a header follows, or a reader takes text for header octets.
std::uint8_t firstOctet(const TSMS_Record& record) {
    const std::uint8_t first = record.FirstOctet | kSubmit;
    if (octetsOf(record.UserDataHeader).empty())
        return first & std::uint8_t(~kHeaderIndicator);
    return first | kHeaderIndicator;
}

// Octets of the validity period its format in the first octet announces.
std::size_t validityLength(std::uint8_t first) {
    switch (first & kValidityFormatMask) {
    case 0:
        return 0;
    case kValidityRelative:
        return 1;
    default:
        return kTimeOctets;
    }
}

// SMS-centre part and the TPDU's fields up to the validity period.
void appendFields(EncodedPdu& pdu, const TSMS_Record& record) {
    appendAddress(pdu.octets, record.SmscAddress, record.SmscType, AddressKind::SmsCentre);
    pdu.centreOctets = pdu.octets.size();
    pdu.octets.push_back(firstOctet(record));
    pdu.octets.push_back(record.MessageRef);
    appendAddress(pdu.octets, record.DestAddress, record.DestAddressType, AddressKind::Destination);
    pdu.octets.push_back(record.ProtocolId);
    pdu.octets.push_back(record.DataCoding & std::uint8_t(~kCompressed));
    append(pdu.octets, std::span(record.ValidityPeriod).first(validityLength(record.FirstOctet)));
}

// Text as the PDU holds it: the septets or octets its length announces, the fill bits before the
// first septet, and the octets from there on (padding included).
struct TextField {
    std::size_t units = 0;
    std::size_t fill = 0;
    std::span<const std::uint8_t> octets;
};

// Up to `count` septets from bit `fill` on, as many as the octets hold whole.
std::string unpackSeptets(std::span<const std::uint8_t> octets, std::size_t fill, std::size_t count) {
    const std::size_t bits = 8 * octets.size();
    const std::size_t whole = std::min(count, bits > fill ? (bits - fill) / 7 : 0);
    std::string septets;
    septets.reserve(whole);
    for (std::size_t n = 0, bit = fill; n < whole; ++n, bit += 7) {
        // A septet spans at most two octets.
        const std::size_t at = bit / 8;
        const unsigned next = at + 1 < octets.size() ? unsigned(octets[at + 1]) << 8 : 0;
        septets.push_back(char(((octets[at] | next) >> (bit % 8)) & kSeptetMask));
    }
    return septets;
}

std::string septetText(int variant, const TextField& field) {
    return SeptetsToText(variant, unpackSeptets(field.octets, field.fill, field.units));
}

std::span<const std::uint8_t> octetsPresent(const TextField& field) {
    return field.octets.first(std::min(field.units, field.octets.size()));
}

std::string octetText(const TextField& field) {
    const auto octets = octetsPresent(field);
    return std::string(octets.begin(), octets.end());
}

std::u16string ucs2Text(const TextField& field) {
    const auto octets = octetsPresent(field);
    std::u16string text;
    for (std::size_t i = 0; i + 1 < octets.size(); i += 2)
        text.push_back(char16_t(octets[i] << 8 | octets[i + 1]));
    return text;
}

// A reserved alphabet leaves the text as it was.
void decodeText(const TextField& field, TSMS_Record& record, int variant) {
    switch (record.DataCoding & kAlphabetMask) {
    case kAlphabet7:
        record.MessageText = platform::cp1250ToUtf16(septetText(variant, field));
        break;
    case kAlphabet8:
        record.MessageText = platform::cp1250ToUtf16(octetText(field));
        break;
    case kAlphabetUcs2:
        record.MessageText = ucs2Text(field);
        break;
    default:
        break;
    }
}

// Digits as the PDU holds them back to a number: "+" for an international type, the filler of an
// odd count dropped.
std::string numberFromSemiOctets(std::span<const std::uint8_t> semiOctets, std::uint8_t type) {
    std::string number = type & kInternationalNumber ? "+" : "";
    for (const std::uint8_t octet : semiOctets) {
        number.push_back(kHexDigits[octet & kSemiOctetMask]);
        number.push_back(kHexDigits[octet >> 4]);
    }
    if (number.find(kHexDigits[kFiller]) != std::string::npos)
        number.pop_back();
    return number;
}

// Operators send from names ("InternetSMS"): 7-bit text packed in the address field, whose length
// counts the semi-octets it uses.
std::string addressFromField(std::span<const std::uint8_t> semiOctets, std::size_t semiOctetCount,
                             std::uint8_t type) {
    if ((type & kTypeOfNumberMask) != kAlphanumeric)
        return numberFromSemiOctets(semiOctets, type);
    return septetText(kAddressTextVariant, {semiOctetCount * 4 / 7, 0, semiOctets});
}

// Two decimal digits, low semi-octet first; one above 9 (the sign of a time zone) reads as 0.
std::uint8_t stampValue(std::uint8_t octet) {
    const auto digit = [](unsigned semiOctet) { return semiOctet <= 9 ? semiOctet : 0; };
    return std::uint8_t(digit(octet & kSemiOctetMask) * 10 + digit(octet >> 4u));
}

// The user data's extent in octets, which for 7-bit text its length gives in septets.
std::size_t userDataOctets(int alphabet, std::size_t length) {
    return alphabet == kAlphabet7 ? ceilDiv(7 * length, 8) : length;
}
std::size_t maxUserDataLength(int alphabet) {
    return alphabet == kAlphabet7 ? kMaxSeptets : kMaxUserDataOctets;
}

// Reads the PDU field by field; a field the PDU does not hold whole is absent. Keeps the first
// fault met and how far reading came.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> pdu) : m_pdu(pdu) {}

    std::optional<std::span<const std::uint8_t>> octets(std::size_t count) {
        if (m_pdu.size() - m_pos < count) {
            fault(PduFault::Cut);
            return std::nullopt;
        }
        const auto taken = m_pdu.subspan(m_pos, count);
        m_pos += count;
        return taken;
    }
    std::optional<std::uint8_t> octet() {
        const auto taken = octets(1);
        return taken ? std::optional(taken->front()) : std::nullopt;
    }
    void skipTo(std::size_t position) {
        if (position > m_pos)
            octets(position - m_pos);
    }
    std::span<const std::uint8_t> rest() const { return m_pdu.subspan(m_pos); }
    std::size_t position() const { return m_pos; }
    // Reading goes on after an impossible length, as far as the PDU goes.
    void malformedIf(bool impossible) {
        if (impossible)
            fault(PduFault::Malformed);
    }
    DecodedPdu result() const { return {m_fault, m_pos}; }

private:
    void fault(PduFault fault) {
        if (m_fault == PduFault::None)
            m_fault = fault;
    }

    std::span<const std::uint8_t> m_pdu;
    std::size_t m_pos = 0;
    PduFault m_fault = PduFault::None;
};

bool readOctet(Reader& in, std::uint8_t& field) {
    const auto octet = in.octet();
    if (octet)
        field = *octet;
    return octet.has_value();
}

// The type and the digits are set together, or neither.
bool readCentre(Reader& in, TSMS_Record& record) {
    const auto length = in.octet();
    if (!length)
        return false;
    if (*length == 0)
        return true;
    in.malformedIf(*length > kMaxCentreOctets);
    const auto type = in.octet();
    const auto digits = in.octets(*length - 1u);
    if (!type || !digits)
        return false;
    record.SmscType = *type;
    record.SmscAddress = numberFromSemiOctets(*digits, *type);
    return true;
}

// A submit names its destination, a deliver its sender; an address without digits keeps the number.
bool readAddress(Reader& in, TSMS_Record& record, bool submit) {
    const auto digitCount = in.octet();
    const auto type = in.octet();
    if (!digitCount || !type)
        return false;
    in.malformedIf(*digitCount > kMaxAddressDigits);
    (submit ? record.DestAddressType : record.OrigAddressType) = *type;
    if (*digitCount == 0)
        return true;
    const auto digits = in.octets(ceilDiv(*digitCount, 2));
    if (!digits)
        return false;
    (submit ? record.DestAddress : record.OrigAddress) = addressFromField(*digits, *digitCount, *type);
    return true;
}

// A submit's validity period is skipped; a deliver's time stamp is kept.
bool readTime(Reader& in, TSMS_Record& record, bool submit) {
    if (submit)
        return in.octets(validityLength(record.FirstOctet)).has_value();
    const auto stamp = in.octets(record.TimeStamp.size());
    if (stamp)
        std::transform(stamp->begin(), stamp->end(), record.TimeStamp.begin(), stampValue);
    return stamp.has_value();
}

// After the header, a reserved alphabet gives no unit to count the text in.
std::optional<TextField> readHeader(Reader& in, TSMS_Record& record, std::size_t length) {
    const int alphabet = record.DataCoding & kAlphabetMask;
    const auto headerLength = in.octet();
    if (!headerLength)
        return std::nullopt;
    const std::size_t taken = headerUnits(alphabet, *headerLength);
    in.malformedIf(taken > length);
    const auto header = in.octets(*headerLength);
    if (!header)
        return std::nullopt;
    record.UserDataHeader = OctetsToHex(*header);
    if (alphabet == kAlphabetReserved)
        return std::nullopt;
    return TextField{length > taken ? length - taken : 0, fillBits(*headerLength), in.rest()};
}

// Reading ends at the end of the user data, whatever follows it.
std::optional<TextField> readUserData(Reader& in, TSMS_Record& record) {
    const auto length = in.octet();
    if (!length)
        return std::nullopt;
    const int alphabet = record.DataCoding & kAlphabetMask;
    in.malformedIf(*length > maxUserDataLength(alphabet));
    const std::size_t end = in.position() + userDataOctets(alphabet, *length);
    std::optional<TextField> text;
    if (record.FirstOctet & kHeaderIndicator) {
        text = readHeader(in, record, *length);
    } else {
        record.UserDataHeader.clear();
        text = TextField{*length, 0, in.rest()};
    }
    in.skipTo(end);
    return text;
}

// Sets the fields in the order the PDU holds them, up to where it ends; gives the text of the user
// data when the PDU comes that far.
std::optional<TextField> readFields(Reader& in, TSMS_Record& record) {
    if (!readCentre(in, record) || !readOctet(in, record.FirstOctet))
        return std::nullopt;
    const bool submit = record.FirstOctet & kSubmit;
    if (submit && !readOctet(in, record.MessageRef))
        return std::nullopt;
    if (!readAddress(in, record, submit) || !readOctet(in, record.ProtocolId) ||
        !readOctet(in, record.DataCoding) || !readTime(in, record, submit))
        return std::nullopt;
    return readUserData(in, record);
}

} // namespace

const std::array<GsmCharTable, kGsmCharTableVariants>& GsmCharTables() {
    static const auto tables = buildTables();
    return tables;
}

std::string ByteToHex(std::uint8_t octet) {
    return OctetsToHex(std::span(&octet, 1));
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
    if (direction == Direction::Encode) {
        Octets field;
        appendUserData7(field, variant, octetsOf(header), input);
        return OctetsToHex(field);
    }

    // The field as ParseHeader gives it: the text's length octet first.
    const Octets field = octetsOf(input);
    if (field.empty())
        return {};
    return septetText(variant, {field[0], fillBits(octetsOf(header).size()), std::span(field).subspan(1)});
}

std::string EncodeAddress(std::string_view number, std::uint8_t type, AddressKind kind) {
    Octets field;
    appendAddress(field, number, type, kind);
    return OctetsToHex(field);
}

EncodedHeader EncodeHeader(const TSMS_Record& record) {
    EncodedPdu header;
    appendFields(header, record);
    return {OctetsToHex(header.octets), 2 * header.centreOctets};
}

std::uint16_t EncodeSms(TSMS_Record& record, int variant) {
    const EncodedPdu pdu = EncodePdu(record, variant);
    record.PduText = OctetsToHex(pdu.octets);
    return std::uint16_t(pdu.tpduOctets());
}

std::string ParseHeader(TSMS_Record& record) {
    const Octets pdu = octetsOf(record.PduText);
    Reader in(pdu);
    const auto text = readFields(in, record);
    return text ? ByteToHex(std::uint8_t(text->units)) + OctetsToHex(text->octets) : std::string();
}

void DecodeSms(TSMS_Record& record, int variant) {
    DecodePdu(octetsOf(record.PduText), record, variant);
}

EncodedPdu EncodePdu(const TSMS_Record& record, int variant) {
    EncodedPdu pdu;
    pdu.octets.reserve(kLongestPdu);
    appendFields(pdu, record);
    appendUserData(pdu.octets, record, variant);
    return pdu;
}

DecodedPdu DecodePdu(std::span<const std::uint8_t> pdu, TSMS_Record& record, int variant) {
    Reader in(pdu);
    if (const auto text = readFields(in, record))
        decodeText(*text, record, variant);
    return in.result();
}

std::string OctetsToHex(std::span<const std::uint8_t> octets) {
    std::string hex;
    hex.reserve(2 * octets.size());
    for (const std::uint8_t octet : octets) {
        hex.push_back(kHexDigits[octet >> 4]);
        hex.push_back(kHexDigits[octet & kSemiOctetMask]);
    }
    return hex;
}

std::optional<Octets> HexToOctets(std::string_view hex) {
    if (hex.size() % 2 != 0 || !std::all_of(hex.begin(), hex.end(), isHexDigit))
        return std::nullopt;
    return octetsOf(hex);
}

} // namespace PDU
