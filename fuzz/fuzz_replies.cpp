// Any bytes as everything the phone said since a command went out: the final answer, the lines
// around it, the phonebook entry and the message PDU taken from them, decoded as the pages decode
// them in each character set.
#include "fuzz_check.h"
#include "phone/final_answers.h"
#include "phone/phonebook.h"
#include "sms/alarm_pdu.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool isInside(std::string_view said, std::string_view part) {
    return said.find(part) != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view said(reinterpret_cast<const char*>(data), size);

    const final_answers::Answer answer = final_answers::read(said);
    FUZZ_CHECK(answer.complete() || answer.error.empty());
    FUZZ_CHECK(answer.final != final_answers::Final::Error || isInside(said, answer.error));
    for (const std::string& line : answer.lines) {
        FUZZ_CHECK(!line.empty() && line.find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK(isInside(said, line));
    }
    // What ended before the final answer is read the same however much came after it.
    if (answer.complete())
        FUZZ_CHECK(final_answers::read(std::string(said) + "\r\nOK\r\n").lines == answer.lines);

    for (int position = 1; position <= 6; ++position) {
        const auto entry = phonebook::entryOf(answer, position);
        if (!entry)
            continue;
        for (const std::string* field : {&entry->number, &entry->name}) {
            FUZZ_CHECK(field->find_first_of("\"\r\n") == std::string::npos);
            FUZZ_CHECK(isInside(said, *field));
        }
        for (const auto charset :
             {phonebook::Charset::Ucs2, phonebook::Charset::Gsm, phonebook::Charset::Ira}) {
            const std::string name = phonebook::decodeName(entry->name, charset);
            phonebook::decodeNumber(entry->number, charset);
            // A name read back is written as it was read.
            if (const auto encoded = phonebook::encodeName(name, charset);
                encoded && charset != phonebook::Charset::Gsm)
                FUZZ_CHECK(phonebook::decodeName(*encoded, charset) == name);
        }
    }

    if (const auto pdu = answer.hexLineAfter("+CMGR:")) {
        FUZZ_CHECK(isInside(said, *pdu));
        if (const auto octets = PDU::HexToOctets(*pdu))
            alarm_pdu::decode(*octets);
    }
    return 0;
}
