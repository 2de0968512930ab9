// Any text as the PDU of a read reply: the header parse and the full decode must stay inside the
// text, agree with each other, and give no more text than the length octet allows.
#include "fuzz_check.h"
#include "sms/PDU.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool endsWith(const std::string& text, const std::string& tail) {
    return tail.size() <= text.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string pdu(reinterpret_cast<const char*>(data), size);

    PDU::TSMS_Record parsed;
    parsed.PduText = pdu;
    const std::string field = PDU::ParseHeader(parsed);
    // The user-data field is the PDU's tail, with at most its length octet rewritten (after a header).
    FUZZ_CHECK(field.empty() || endsWith(pdu, field) || endsWith(pdu, field.substr(2)));
    FUZZ_CHECK(parsed.PduText == pdu);

    for (int variant = 0; variant < PDU::kGsmCharTableVariants; ++variant) {
        PDU::TSMS_Record decoded;
        decoded.PduText = pdu;
        PDU::DecodeSms(decoded, variant);
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
    return 0;
}
