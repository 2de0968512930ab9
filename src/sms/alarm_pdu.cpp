#include "sms/alarm_pdu.h"

#include "platform/cp1250.h"

namespace alarm_pdu {

Encoded encode(const std::string& smscNumber, const std::string& number, const std::string& text) {
    Encoded encoded;
    PDU::TSMS_Record& record = encoded.record;
    record.SmscType = PDU::BitsToByte("00000001");
    record.SmscAddress = smscNumber;
    record.FirstOctet = PDU::BitsToByte("00010000");
    record.MessageRef = 0;
    record.DestAddressType = PDU::BitsToByte("00000001");
    record.DestAddress = number;
    record.ProtocolId = PDU::BitsToByte("00000000");
    record.DataCoding = PDU::BitsToByte("00000000");
    record.ValidityPeriod[0] = 4; // relative: 25 minutes
    record.MessageText = platform::cp1250ToUtf16(text);
    encoded.length = PDU::EncodeSms(record, kCharTableVariant);
    encoded.octets = PDU::HexToOctets(record.PduText).value_or(PDU::Octets());
    return encoded;
}

// A fresh record for every message, so a field the PDU does not carry never holds a value left
// from another position.
std::optional<message_set::Message> decode(std::span<const std::uint8_t> pdu) {
    PDU::TSMS_Record record;
    record.PduText = PDU::OctetsToHex(pdu);
    PDU::DecodeSms(record, kCharTableVariant);
    const bool submitted = record.FirstOctet & 1;
    return message_set::Message{submitted ? record.DestAddress : record.OrigAddress,
                                platform::utf16ToCp1250(record.MessageText)};
}

} // namespace alarm_pdu
