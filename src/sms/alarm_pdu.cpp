#include "sms/alarm_pdu.h"

#include "phone/reply.h"
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
    return encoded;
}

std::string writeCommand(const Encoded& encoded) {
    return "AT+CMGW=" + std::to_string(encoded.length) + reply::kCR;
}

// A fresh record for every message, so a field the PDU does not carry never holds a value left
// from another position.
message_set::Message decode(const std::string& pdu) {
    PDU::TSMS_Record record;
    record.PduText = pdu;
    PDU::DecodeSms(record, kCharTableVariant);
    const bool submitted = record.FirstOctet & 1;
    return {submitted ? record.DestAddress : record.OrigAddress, platform::utf16ToCp1250(record.MessageText)};
}

} // namespace alarm_pdu
