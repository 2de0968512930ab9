#pragma once
// One short message between its fields and the octets of its PDU: SMS-centre address, then an
// SMS-SUBMIT or SMS-DELIVER TPDU, 7-bit text through the tool's own character tables. The codec
// works on octets; the functions on hexadecimal text are its edge for the phone's PDU mode and the
// page. No I/O, no state between calls.
//
// Bad content never raises. The text functions read invalid hexadecimal or decimal digits as 0, and
// a PDU that ends before a field its lengths announce leaves that field and every later one as they
// were (parsing stops there). Nothing is ever read past the end of the input.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace PDU {

using Octets = std::vector<std::uint8_t>;

// First octet: bit 0 tells a submit (set) from a deliver; the validity period's format.
inline constexpr std::uint8_t kSubmit = 0x01;
inline constexpr std::uint8_t kValidityRelative = 0x10;
// Type of address: the telephone numbering plan. The codec adds the extension bit, and the
// international type for a number given with "+".
inline constexpr std::uint8_t kNumberingPlanTelephone = 0x01;
// Protocol identifier of a plain short message, for a person to read.
inline constexpr std::uint8_t kPlainMessage = 0x00;
// Data coding: the default alphabet, 7-bit, uncompressed, no message class.
inline constexpr std::uint8_t kAlphabet7 = 0x00;

struct TSMS_Record {
    std::uint8_t SmscType = 0;
    std::string SmscAddress; // optional "+" and digits
    std::uint8_t FirstOctet = 0;
    std::uint8_t MessageRef = 0;
    std::uint8_t OrigAddressType = 0;
    std::uint8_t DestAddressType = 0;
    std::string OrigAddress;
    std::string DestAddress;
    std::uint8_t ProtocolId = 0;
    std::uint8_t DataCoding = 0;
    std::array<std::uint8_t, 7> TimeStamp{}; // year, month, day, hour, minute, second, zone
    std::array<std::uint8_t, 7> ValidityPeriod{};
    std::string UserDataHeader; // the header octets as hexadecimal digits, without the length octet
    std::string PduText;        // upper-case hexadecimal, SMS-centre part included
    std::u16string MessageText;
};

// One entry per Windows-1250 code: a septet, escape (27) and an extension septet, or the single
// byte 255 for a code with no GSM equivalent.
using GsmCharTable = std::array<std::string, 256>;
inline constexpr int kGsmCharTableVariants = 3;
inline constexpr char kNoGsmEquivalent = char(255);
inline constexpr std::uint8_t kSeptetEscape = 27;

// Variant 0; 1 puts the euro sign on code 164, 2 on code 128 (the Windows-1250 euro).
const std::array<GsmCharTable, kGsmCharTableVariants>& GsmCharTables();

enum class Direction { Encode, Decode };
enum class AddressKind { Destination, SmsCentre };

std::string ByteToHex(std::uint8_t octet);
unsigned HexToInt(std::string_view text);
unsigned DecToInt(std::string_view text);
// Of eight "0"/"1" characters the first is bit 7; of a longer text only the last eight count.
std::uint8_t BitsToByte(std::string_view bits);
std::string SwapSemiOctets(std::string_view text);

std::string TextToSeptets(int variant, std::string_view text);
std::string SeptetsToText(int variant, std::string_view septets);
// Encode: 8-bit text to the 7-bit user-data field (length octet first). Decode: the user-data
// field as ParseHeader gives it to 8-bit text. The header is hexadecimal, as in the record.
std::string ConvertUserData7(int variant, Direction direction, std::string_view header,
                             std::string_view input);

std::string EncodeAddress(std::string_view number, std::uint8_t type, AddressKind kind);

struct EncodedHeader {
    std::string text;         // SMS-centre part and TPDU fields up to the validity period
    std::size_t smscLength{}; // characters of the SMS-centre part
};
EncodedHeader EncodeHeader(const TSMS_Record& record);

// Sets PduText; gives the TPDU length in octets, as the phone's write command expects it.
std::uint16_t EncodeSms(TSMS_Record& record, int variant);

// Sets the fields the PDU carries; gives the user-data field (length octet first), or empty text
// when the PDU ends before it or carries none.
std::string ParseHeader(TSMS_Record& record);

// ParseHeader, then MessageText from the user data; a PDU without user data keeps MessageText.
void DecodeSms(TSMS_Record& record, int variant);

// The whole PDU: SMS-centre part, then the TPDU; centreOctets is the size of the SMS-centre part, so
// the TPDU's length (as the phone's write command names it) is octets.size() - centreOctets.
struct EncodedPdu {
    Octets octets;
    std::size_t centreOctets = 0;
    std::size_t tpduOctets() const { return octets.size() - centreOctets; }
};
// EncodeSms is this and its hexadecimal text in PduText.
EncodedPdu EncodePdu(const TSMS_Record& record, int variant);

enum class PduFault { None, Cut, Malformed };
struct DecodedPdu {
    PduFault fault = PduFault::None;
    std::size_t octets = 0; // octets the PDU took; for a fault, those read before decoding stopped
};
// Sets the fields the PDU carries, as DecodeSms does, PduText aside. Octets after the end of the
// user data are not looked at (a SIM record pads the PDU with FF to its full length). Cut: it ends
// before a field its lengths announce. Malformed: a length that no PDU can have (an SMS-centre
// address over 11 octets, more than 20 address digits, a header longer than its user data, a
// user-data length over 160 septets or 140 octets); the fields are still read as far as the PDU
// goes. The first fault met is the one given.
DecodedPdu DecodePdu(std::span<const std::uint8_t> pdu, TSMS_Record& record, int variant);

std::string OctetsToHex(std::span<const std::uint8_t> octets); // upper case
// Nothing for an odd length or a character that is not a hexadecimal digit.
std::optional<Octets> HexToOctets(std::string_view hex);

} // namespace PDU
