// Any bytes as a PDU in octets, and, when they are hex text, as the PDU of a read reply. The byte
// decode stays inside its input; a whole PDU reads the same without what follows it and is cut one
// octet shorter; the text functions read the same octets to the same fields, and any text as
// before: their header parse and full decode agree and give no more text than the length allows.
#include "fuzz_check.h"
#include "sms/PDU.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

namespace {

bool endsWith(const std::string& text, const std::string& tail) {
    return tail.size() <= text.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Every field but PduText, which only the text functions use.
auto fieldsOf(const PDU::TSMS_Record& r) {
    return std::tie(r.SmscType, r.SmscAddress, r.FirstOctet, r.MessageRef, r.OrigAddressType,
                    r.DestAddressType, r.OrigAddress, r.DestAddress, r.ProtocolId, r.DataCoding, r.TimeStamp,
                    r.ValidityPeriod, r.UserDataHeader, r.MessageText);
}

PDU::TSMS_Record decodedText(std::string_view pdu, int variant) {
    PDU::TSMS_Record record;
    record.PduText = std::string(pdu);
    PDU::DecodeSms(record, variant);
    return record;
}

void checkText(std::string_view pdu) {
    PDU::TSMS_Record parsed;
    parsed.PduText = std::string(pdu);
    PDU::ParseHeader(parsed);
    FUZZ_CHECK(parsed.PduText == pdu);

    for (int variant = 0; variant < PDU::kGsmCharTableVariants; ++variant) {
        const PDU::TSMS_Record decoded = decodedText(pdu, variant);
        FUZZ_CHECK(decoded.SmscAddress == parsed.SmscAddress);
        FUZZ_CHECK(decoded.DestAddress == parsed.DestAddress);
        FUZZ_CHECK(decoded.OrigAddress == parsed.OrigAddress);
        FUZZ_CHECK(decoded.FirstOctet == parsed.FirstOctet);
        FUZZ_CHECK(decoded.DataCoding == parsed.DataCoding);
        FUZZ_CHECK(decoded.UserDataHeader == parsed.UserDataHeader);
        FUZZ_CHECK(decoded.TimeStamp == parsed.TimeStamp);
        // One length octet: at most 255 septets or octets, each at most one character.
        FUZZ_CHECK(decoded.MessageText.size() <= 255);
        // Addresses come from at most 255 semi-octets, plus the sign.
        FUZZ_CHECK(decoded.SmscAddress.size() <= 2 * 255 + 1);
        FUZZ_CHECK(decoded.DestAddress.size() <= 256 && decoded.OrigAddress.size() <= 256);
    }
}

// `hex` stands for the same octets, in upper or lower case.
void checkOctets(std::span<const std::uint8_t> pdu, std::string_view hex) {
    const std::string upper = PDU::OctetsToHex(pdu);
    PDU::TSMS_Record parsed;
    parsed.PduText = upper;
    const std::string field = PDU::ParseHeader(parsed);
    // The user-data field is the PDU's tail, with at most its length octet rewritten (after a header).
    FUZZ_CHECK(field.empty() || endsWith(upper, field) || endsWith(upper, field.substr(2)));

    for (int variant = 0; variant < PDU::kGsmCharTableVariants; ++variant) {
        PDU::TSMS_Record decoded;
        const PDU::DecodedPdu result = PDU::DecodePdu(pdu, decoded, variant);
        FUZZ_CHECK(result.octets <= pdu.size());
        FUZZ_CHECK(fieldsOf(decoded) == fieldsOf(decodedText(hex, variant)));
        if (result.fault != PDU::PduFault::None)
            continue;
        // Nothing after the PDU's end counts, and one octet less is a cut PDU.
        PDU::TSMS_Record whole;
        FUZZ_CHECK(PDU::DecodePdu(pdu.first(result.octets), whole, variant).fault == PDU::PduFault::None);
        FUZZ_CHECK(fieldsOf(whole) == fieldsOf(decoded));
        PDU::TSMS_Record shorter;
        FUZZ_CHECK(result.octets > 0);
        FUZZ_CHECK(PDU::DecodePdu(pdu.first(result.octets - 1), shorter, variant).fault ==
                   PDU::PduFault::Cut);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkText(text);
    const std::span<const std::uint8_t> octets(data, size);
    checkOctets(octets, PDU::OctetsToHex(octets));
    if (const auto fromHex = PDU::HexToOctets(text))
        checkOctets(*fromHex, text);
    return 0;
}
