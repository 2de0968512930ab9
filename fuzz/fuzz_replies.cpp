// Any bytes as ReplyBuffer, as the pages see it at a timer tick: the probe and position tests, the
// stored configuration code, the stored phone number and name, and the PDU of a message read,
// decoded as the SMS page decodes it; and the same bytes as everything the phone said during an
// exchange, matched to the commands sent.
#include "config/setup_codes.h"
#include "fuzz_check.h"
#include "numbers/number_list.h"
#include "phone/final_answers.h"
#include "phone/reply.h"
#include "sms/PDU.h"
#include "sms/read_reply.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool charAt(std::string_view reply, std::size_t position, char c) {
    return position >= 1 && position <= reply.size() && reply[position - 1] == c;
}

bool isInside(std::string_view reply, std::string_view part) {
    return reply.find(part) != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);

    FUZZ_CHECK(reply::phoneAnswers(reply) == charAt(reply, reply::kProbeAnswerPosition, 'O'));
    FUZZ_CHECK(reply::holdsEntry(reply) == !charAt(reply, reply::kEntryMarkPosition, 'O'));
    for (std::size_t position = 0; position <= reply.size() + 1; position += 7) {
        const std::string taken = reply::takeAt(reply, position, reply::kEntryNumberLength);
        FUZZ_CHECK(taken.size() <= reply::kEntryNumberLength);
        FUZZ_CHECK(taken.empty() || reply.substr(position - 1, taken.size()) == taken);
        const std::string until = reply::takeUntil(reply, position, '"');
        FUZZ_CHECK(until.find('"') == std::string::npos);
        FUZZ_CHECK(until.empty() || reply.substr(position - 1, until.size()) == until);
    }

    if (const auto code = setup_codes::storedEntryCode(reply)) {
        FUZZ_CHECK(code->size() == setup_codes::kCodeLength);
        FUZZ_CHECK(reply.substr(reply::kEntryNumberPosition - 1, code->size()) == *code);
        FUZZ_CHECK(reply.substr(reply::kEntryMarkPosition - 1, 7) == "+CPBR: ");
    }

    for (int position = 1; position <= number_list::kPositions; ++position) {
        const auto entry = number_list::storedEntry(reply, position);
        if (!entry)
            continue;
        const std::string head = "+CPBR: " + std::to_string(position) + ",";
        FUZZ_CHECK(reply.substr(reply::kEntryMarkPosition - 1, head.size()) == head);
        for (const std::string* field : {&entry->number, &entry->name}) {
            FUZZ_CHECK(field->find_first_of("\"\r\n") == std::string::npos);
            FUZZ_CHECK(isInside(reply, *field));
        }
    }

    const std::string pdu = sms_read::pduTextOfReply(reply);
    FUZZ_CHECK(pdu.find('\r') == std::string::npos);
    if (!pdu.empty()) {
        FUZZ_CHECK(isInside(reply, "\n" + pdu + "\r"));
        PDU::TSMS_Record record;
        record.PduText = pdu;
        PDU::DecodeSms(record, 2);
    }

    const auto answers = final_answers::scan(reply);
    for (const auto& answer : answers) {
        FUZZ_CHECK(answer.line.find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK(isInside(reply, answer.line));
    }
    const std::vector<final_answers::Expectation> commands = {
        {}, {.prompt = true, .storedAt = 1}, {.absentOk = true}};
    const auto outcomes = final_answers::match(commands, answers);
    FUZZ_CHECK(outcomes.size() == commands.size());
    for (std::size_t i = 0; i < outcomes.size(); ++i)
        FUZZ_CHECK(!outcomes[i].confirmed || outcomes[i].answered);
    return 0;
}
