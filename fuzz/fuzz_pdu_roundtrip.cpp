// A message built from arbitrary choices and text, encoded as the SMS page stores it and decoded as
// it reads it back: the PDU whole and sound to the byte decode, its hex the text functions' PDU;
// numbers, header and text must survive, the text cut only where a whole character no longer fits.
#include "fuzz_check.h"
#include "platform/cp1250.h"
#include "sms/PDU.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint8_t next() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::string digits(std::size_t count) {
        std::string result;
        for (std::size_t i = 0; i < count; ++i)
            result += char('0' + next() % 10);
        return result;
    }
    std::string rest() {
        const std::size_t from = std::min(m_pos, m_size);
        m_pos = m_size;
        return std::string(reinterpret_cast<const char*>(m_data) + from, m_size - from);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

constexpr std::size_t kMaxUserDataOctets = 140;

std::string withSign(bool international, const std::string& digits) {
    return international && !digits.empty() ? "+" + digits : digits;
}

// What the 7-bit round trip gives for a text: each character as its septets read back (a code
// without a GSM equivalent goes out as 7F), cut before the first character that would overflow.
std::string expectedSeptetText(int variant, const std::string& text, std::size_t room) {
    const auto& table = PDU::GsmCharTables()[variant];
    std::string expected;
    std::size_t used = 0;
    for (const char c : text) {
        std::string entry = table[static_cast<unsigned char>(c)];
        if (used + entry.size() > room)
            break;
        used += entry.size();
        for (char& septet : entry)
            septet = char(septet & 0x7F);
        expected += PDU::SeptetsToText(variant, entry);
    }
    return expected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::uint8_t choice = in.next();
    constexpr std::uint8_t kCodings[] = {0, 4, 8, 0}; // 7-bit twice: the page's own alphabet
    const std::uint8_t coding = kCodings[choice & 3];
    const std::uint8_t validity = std::uint8_t((choice << 1) & 24);
    const int variant = (choice >> 4) % PDU::kGsmCharTableVariants;
    const std::uint8_t destChoice = in.next();
    const std::uint8_t smscChoice = in.next();
    const std::size_t headerOctets = in.next() % 8;
    const std::string dest = withSign(destChoice & 0x80, in.digits(destChoice % 21));
    const std::string smsc = withSign(smscChoice & 0x80, in.digits(smscChoice % 13));
    std::string header;
    for (std::size_t i = 0; i < headerOctets; ++i)
        header += PDU::ByteToHex(in.next());
    const std::string text = in.rest();

    PDU::TSMS_Record record;
    record.SmscType = 1;
    record.SmscAddress = smsc;
    record.FirstOctet = std::uint8_t(0x01 | validity);
    record.MessageRef = choice;
    record.DestAddressType = 1;
    record.DestAddress = dest;
    record.DataCoding = coding;
    record.ValidityPeriod = {1, 2, 3, 4, 5, 6, 7};
    record.UserDataHeader = header;
    std::u16string message;
    if (coding == 8) {
        for (std::size_t i = 0; i + 1 < text.size(); i += 2)
            message.push_back(char16_t(std::uint8_t(text[i]) << 8 | std::uint8_t(text[i + 1])));
    } else {
        message = platform::cp1250ToUtf16(text);
    }
    record.MessageText = message;
    const PDU::EncodedPdu pdu = PDU::EncodePdu(record, variant);
    const std::uint16_t tpduLength = PDU::EncodeSms(record, variant);
    FUZZ_CHECK(record.PduText == PDU::OctetsToHex(pdu.octets));
    FUZZ_CHECK(tpduLength == pdu.tpduOctets() && pdu.centreOctets > 0);
    FUZZ_CHECK(tpduLength <= 12 + 10 + 7 + 1 + kMaxUserDataOctets);

    PDU::TSMS_Record decoded;
    const PDU::DecodedPdu result = PDU::DecodePdu(pdu.octets, decoded, variant);
    FUZZ_CHECK(result.fault == PDU::PduFault::None && result.octets == pdu.octets.size());
    FUZZ_CHECK(decoded.DestAddress == dest);
    FUZZ_CHECK(decoded.SmscAddress == smsc);
    FUZZ_CHECK(decoded.MessageRef == record.MessageRef);
    FUZZ_CHECK(decoded.UserDataHeader == header);
    FUZZ_CHECK((decoded.FirstOctet & 24) == validity);

    const std::size_t headerUse = headerOctets == 0 ? 0 : headerOctets + 1;
    const std::size_t octetRoom = kMaxUserDataOctets - headerUse;
    switch (coding) {
    case 0: {
        const std::size_t headerSeptets = headerOctets == 0 ? 0 : (headerUse * 8 + 6) / 7;
        const std::string expected =
            expectedSeptetText(variant, text, kMaxUserDataOctets * 8 / 7 - headerSeptets);
        FUZZ_CHECK(platform::utf16ToCp1250(decoded.MessageText) == expected);
        break;
    }
    case 4:
        FUZZ_CHECK(decoded.MessageText == platform::cp1250ToUtf16(text.substr(0, octetRoom)));
        break;
    default: {
        std::u16string expected = message.substr(0, octetRoom / 2);
        if (!expected.empty() && expected.back() >= 0xD800 && expected.back() <= 0xDBFF)
            expected.pop_back();
        FUZZ_CHECK(decoded.MessageText == expected);
        break;
    }
    }
    return 0;
}
