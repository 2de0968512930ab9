#include "numbers/numbers_transfer.h"

#include "phone/phone_messages.h"
#include "phone/shared_state.h"
#include "phone/verified_sequence.h"

namespace numbers_transfer {

namespace {

constexpr int kWriteProgress[] = {0, 30, 60, 90};

} // namespace

TransferOutcome write(VerifiedSequence& sequence, const Entries& entries, const TransferProgress& progress) {
    progress(0);
    if (!sequence.select(SimStore::Phonebook))
        return TransferOutcome::PhoneUnusable;
    for (int position = 1; position <= number_list::kPositions; ++position) {
        const phonebook::Entry& entry = entries[std::size_t(position - 1)];
        sequence.writeEntry(position, entry.number, entry.name);
        if (position < number_list::kPositions)
            progress(kWriteProgress[position]);
    }
    return sequence.finish(phone_messages::kWriteUnconfirmed) ? TransferOutcome::Done
                                                              : TransferOutcome::PositionsFailed;
}

TransferRead<Entries> read(VerifiedSequence& sequence, SharedState& shared,
                           const TransferProgress& progress) {
    progress(0);
    if (!sequence.select(SimStore::Phonebook))
        return {};
    Entries entries;
    for (int position = 1; position <= number_list::kPositions; ++position) {
        shared.StepState = position;
        const auto answer = sequence.read(phonebook::readCommand(position), position);
        if (const auto entry = answer ? phonebook::entryOf(*answer, position) : std::nullopt)
            entries[std::size_t(position - 1)] = {phonebook::decodeNumber(entry->number, sequence.charset()),
                                                  phonebook::decodeName(entry->name, sequence.charset())};
        progress(25 * position);
    }
    if (!sequence.finish(phone_messages::kReadFailed))
        return {TransferOutcome::PositionsFailed, {}};
    return {TransferOutcome::Done, entries};
}

} // namespace numbers_transfer
