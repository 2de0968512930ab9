#include "sms/alarm_pdu.h"

#include "platform/cp1250.h"

namespace alarm_pdu {

namespace {

constexpr std::uint8_t kValidFor25Minutes = 4; // relative: (4 + 1) * 5 minutes

} // namespace

Encoded encode(const std::string& smscNumber, const std::string& number, const std::string& text) {
    Encoded encoded;
    PDU::TSMS_Record& record = encoded.record;
    record.SmscType = PDU::kNumberingPlanTelephone;
    record.SmscAddress = smscNumber;
    record.FirstOctet = PDU::kValidityRelative;
    record.MessageRef = 0;
    record.DestAddressType = PDU::kNumberingPlanTelephone;
    record.DestAddress = number;
    record.ProtocolId = PDU::kPlainMessage;
    record.DataCoding = PDU::kAlphabet7;
    record.ValidityPeriod[0] = kValidFor25Minutes;
    record.MessageText = platform::cp1250ToUtf16(text);
    PDU::EncodedPdu pdu = PDU::EncodePdu(record, kCharTableVariant);
    record.PduText = PDU::OctetsToHex(pdu.octets);
    encoded.length = std::uint16_t(pdu.tpduOctets());
    encoded.octets = std::move(pdu.octets);
    return encoded;
}

// A fresh record for every message, so a field the PDU does not carry never holds a value left
// from another position.
std::optional<message_set::Message> decode(std::span<const std::uint8_t> pdu) {
    PDU::TSMS_Record record;
    if (PDU::DecodePdu(pdu, record, kCharTableVariant).fault != PDU::PduFault::None)
        return std::nullopt;
    const bool submitted = record.FirstOctet & PDU::kSubmit;
    return message_set::Message{submitted ? record.DestAddress : record.OrigAddress,
                                platform::utf16ToCp1250(record.MessageText)};
}

} // namespace alarm_pdu
