#include "sms/messages_transfer.h"

#include "sim/session.h"
#include "sim/sim_texts.h"

namespace messages_transfer {

namespace {

using message_set::kPositions;

constexpr std::int32_t kStepFirstRead = 11;
constexpr int kStoreProgressStep = 12;

TransferOutcome outcomeOf(sim::Session& sim, sim::Unfinished box) {
    return sim.finish(box) ? TransferOutcome::Done : TransferOutcome::PositionsFailed;
}

} // namespace

TransferOutcome store(sim::Session& sim, const Encoder& encode, const TransferProgress& progress,
                      const std::function<void()>& storing) {
    if (!sim.open(sim::Store::Messages))
        return TransferOutcome::PhoneUnusable;
    storing();
    for (int position = 1; position <= kPositions; ++position) {
        const alarm_pdu::Encoded message = encode(position);
        progress(kStoreProgressStep * (2 * position - 1));
        sim.writeMessage(position, {sim::MessageStatus::Unsent, message.octets});
        progress(position < kPositions ? 2 * kStoreProgressStep * position : 100);
    }
    return outcomeOf(sim, sim::Unfinished::Store);
}

TransferOutcome erase(sim::Session& sim, const TransferProgress& progress) {
    if (!sim.open(sim::Store::Messages))
        return TransferOutcome::PhoneUnusable;
    for (int position = 1; position <= kPositions; ++position) {
        progress(25 * position);
        sim.eraseMessage(position);
    }
    return outcomeOf(sim, sim::Unfinished::Delete);
}

TransferRead<message_set::Messages> read(sim::Session& sim, std::int32_t& stepState,
                                         const TransferProgress& progress) {
    if (!sim.open(sim::Store::Messages))
        return {};
    message_set::Messages messages;
    for (int position = 1; position <= kPositions; ++position) {
        stepState = kStepFirstRead + position - 1;
        const auto stored = sim.readMessage(position);
        if (stored && !stored->pdu.empty()) {
            if (const auto message = alarm_pdu::decode(stored->pdu))
                messages[std::size_t(position - 1)] = *message;
            else
                sim.unreadable(position, sim_texts::kBrokenMessage);
        }
        progress(25 * position);
    }
    if (!sim.finish(sim::Unfinished::Read))
        return {TransferOutcome::PositionsFailed, {}};
    return {TransferOutcome::Done, messages};
}

} // namespace messages_transfer
