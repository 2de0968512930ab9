// Any bytes as a record read from a SIM in a card reader, of any length: as an EF_ADN entry and as
// an EF_SMS record. Decoding stays inside the record, and what was read is written back as it was
// read whenever it fits a record of the same length.
#include "card/adn_record.h"
#include "card/sms_record.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> record(data, size);

    const sim::Entry entry = card::decodeAdn(record);
    FUZZ_CHECK(entry.number.size() <= 21 && (!entry.number.empty() || entry.name.empty()));
    if (!entry.number.empty()) {
        const card::AdnRecord again = card::encodeAdn(entry, size);
        if (again.fault == card::AdnFault::None)
            FUZZ_CHECK(card::decodeAdn(again.bytes) == entry);
    }

    const sim::Message message = card::decodeSms(record);
    FUZZ_CHECK(message.pdu.empty() || message.pdu.size() + 1 == size);
    if (!message.pdu.empty()) {
        const auto again = card::encodeSms(message, size);
        FUZZ_CHECK(again && std::equal(again->begin(), again->end(), record.begin(), record.end()));
    }
    return 0;
}
