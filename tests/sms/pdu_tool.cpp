// Command-line face of the codec for the cross-check against an independent PDU implementation.
// One request per line on stdin, one answer per line on stdout ("-" stands for an empty value):
//   encode <centre> <destination> <validity format> <validity octet, hex> <header hex> <text, hex cp1250>
//     -> <PDU> <TPDU length>
//   decode <PDU>
//     -> centre=… centretype=… first=… dest=… desttype=… orig=… origtype=… dcs=… stamp=y,m,d,h,m,s,z
//        header=… text=<hex cp1250>
#include "platform/cp1250.h"
#include "sms/PDU.h"

#include <iostream>
#include <sstream>
#include <string>

namespace {

std::string field(const std::string& value) {
    return value == "-" ? std::string() : value;
}
std::string shown(const std::string& value) {
    return value.empty() ? "-" : value;
}

std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(char(PDU::HexToInt(hex.substr(i, 2))));
    return bytes;
}

std::string toHex(const std::string& bytes) {
    std::string hex;
    for (const char c : bytes)
        hex += PDU::ByteToHex(static_cast<unsigned char>(c));
    return hex;
}

std::string encode(std::istringstream& in) {
    std::string centre, destination, format, validity, header, text;
    in >> centre >> destination >> format >> validity >> header >> text;
    PDU::TSMS_Record record;
    record.SmscType = 1;
    record.SmscAddress = field(centre);
    record.FirstOctet = std::uint8_t(std::stoi(format));
    record.DestAddressType = 1;
    record.DestAddress = field(destination);
    record.ValidityPeriod[0] = std::uint8_t(PDU::HexToInt(validity));
    record.UserDataHeader = field(header);
    record.MessageText = platform::cp1250ToUtf16(fromHex(field(text)));
    const auto length = PDU::EncodeSms(record, 2);
    return record.PduText + " " + std::to_string(length);
}

std::string decode(std::istringstream& in) {
    PDU::TSMS_Record record;
    in >> record.PduText;
    PDU::DecodeSms(record, 2);
    std::ostringstream out;
    out << "centre=" << shown(record.SmscAddress) << " centretype=" << int(record.SmscType)
        << " first=" << int(record.FirstOctet) << " dest=" << shown(record.DestAddress)
        << " desttype=" << int(record.DestAddressType) << " orig=" << shown(record.OrigAddress)
        << " origtype=" << int(record.OrigAddressType) << " dcs=" << int(record.DataCoding) << " stamp=";
    for (std::size_t i = 0; i < record.TimeStamp.size(); ++i)
        out << (i ? "," : "") << int(record.TimeStamp[i]);
    out << " header=" << shown(record.UserDataHeader)
        << " text=" << shown(toHex(platform::utf16ToCp1250(record.MessageText)));
    return out.str();
}

} // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string command;
        in >> command;
        if (command == "encode")
            std::cout << encode(in) << '\n';
        else if (command == "decode")
            std::cout << decode(in) << '\n';
        else
            std::cout << "unknown\n";
    }
    return 0;
}
