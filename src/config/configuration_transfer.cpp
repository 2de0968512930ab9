#include "config/configuration_transfer.h"

#include "config/setup_codes.h"
#include "phone/phone_messages.h"
#include "phone/phonebook.h"
#include "phone/shared_state.h"
#include "phone/verified_sequence.h"

namespace configuration_transfer {

namespace {

// A position that holds no 13-character code holds no configuration.
std::optional<std::string> storedCode(VerifiedSequence& sequence, int position) {
    const auto answer = sequence.read(phonebook::readCommand(position), position);
    const auto entry = answer ? phonebook::entryOf(*answer, position) : std::nullopt;
    if (!entry)
        return std::nullopt;
    std::string code = phonebook::decodeNumber(entry->number, sequence.charset());
    if (code.size() != setup_codes::kCodeLength)
        return std::nullopt;
    return code;
}

} // namespace

TransferOutcome write(VerifiedSequence& sequence, const std::string& setupCode, const std::string& casyCode,
                      const TransferProgress& progress) {
    if (!sequence.select(SimStore::Phonebook))
        return TransferOutcome::PhoneUnusable;
    progress(25);
    sequence.writeEntry(kSetupPosition, setupCode, "Setup");
    progress(50);
    sequence.writeEntry(kCasyPosition, casyCode, "Casy");
    progress(100);
    return sequence.finish(phone_messages::kWriteUnconfirmed) ? TransferOutcome::Done
                                                              : TransferOutcome::PositionsFailed;
}

// Both positions are read before anything is given back: a read that fails gives nothing.
TransferRead<StoredCodes> read(VerifiedSequence& sequence, SharedState& shared,
                               const TransferProgress& progress) {
    if (!sequence.select(SimStore::Phonebook))
        return {};
    std::optional<std::string> codes[2];
    for (const int position : {kSetupPosition, kCasyPosition}) {
        shared.StepState = position;
        codes[position - kSetupPosition] = storedCode(sequence, position);
        progress(position == kSetupPosition ? 50 : 100);
    }
    if (!sequence.finish(phone_messages::kReadFailed))
        return {TransferOutcome::PositionsFailed, {}};
    return {TransferOutcome::Done, {codes[0], codes[1]}};
}

} // namespace configuration_transfer
