#include "sms/messages_transfer.h"

#include "phone/phone_messages.h"
#include "phone/reply.h"
#include "phone/shared_state.h"
#include "phone/verified_sequence.h"

namespace messages_transfer {

namespace {

using message_set::kPositions;

constexpr std::int32_t kStepFirstRead = 11;
constexpr int kStoreProgressStep = 12;

std::string command(const char* name, int value) {
    return name + std::to_string(value) + reply::kCR;
}

TransferOutcome outcomeOf(VerifiedSequence& sequence, const char* unconfirmed) {
    return sequence.finish(unconfirmed) ? TransferOutcome::Done : TransferOutcome::PositionsFailed;
}

// Deleting first makes the phone store the messages in positions 1 to 4 in order, as each goes
// into the first free position. An empty position is as good as a deleted one. reported: the
// positions a deletion did not get confirmed are told at the end.
void deletePositions(VerifiedSequence& sequence, const TransferProgress& progress, bool reported) {
    for (int position = 1; position <= kPositions; ++position) {
        progress(25 * position);
        sequence.change(command("AT+CMGD=", position), reported ? position : 0, true);
    }
}

} // namespace

TransferOutcome store(VerifiedSequence& sequence, const Encoder& encode, const TransferProgress& progress,
                      const std::function<void()>& deleted) {
    if (!sequence.select(SimStore::Messages))
        return TransferOutcome::PhoneUnusable;
    deletePositions(sequence, progress, false);
    deleted();
    for (int position = 1; position <= kPositions; ++position) {
        const alarm_pdu::Encoded message = encode(position);
        progress(kStoreProgressStep * (2 * position - 1));
        sequence.storeMessage(alarm_pdu::writeCommand(message), message.record.PduText, position, [&] {
            progress(position < kPositions ? 2 * kStoreProgressStep * position : 100);
        });
    }
    return outcomeOf(sequence, phone_messages::kStoreUnconfirmed);
}

TransferOutcome erase(VerifiedSequence& sequence, const TransferProgress& progress) {
    if (!sequence.select(SimStore::Messages))
        return TransferOutcome::PhoneUnusable;
    deletePositions(sequence, progress, true);
    return outcomeOf(sequence, phone_messages::kDeleteUnconfirmed);
}

TransferRead<message_set::Messages> read(VerifiedSequence& sequence, SharedState& shared,
                                         const TransferProgress& progress) {
    if (!sequence.select(SimStore::Messages))
        return {};
    message_set::Messages messages;
    for (int position = 1; position <= kPositions; ++position) {
        shared.StepState = kStepFirstRead + position - 1;
        if (const auto answer = sequence.read(command("AT+CMGR=", position), position)) {
            // The PDU is the line of hex digits after the "+CMGR:" line; an unsolicited code may
            // come between. A PDU that does not decode reads as an empty position.
            if (const auto pdu = PDU::HexToOctets(answer->hexLineAfter("+CMGR:").value_or("")))
                messages[std::size_t(position - 1)] =
                    alarm_pdu::decode(*pdu).value_or(message_set::Message{});
        }
        progress(25 * position);
    }
    if (!sequence.finish(phone_messages::kReadFailed))
        return {TransferOutcome::PositionsFailed, {}};
    return {TransferOutcome::Done, messages};
}

} // namespace messages_transfer
