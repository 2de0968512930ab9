#include "numbers/numbers_transfer.h"

#include "sim/session.h"

namespace numbers_transfer {

namespace {

constexpr int kWriteProgress[] = {0, 30, 60, 90};

} // namespace

TransferOutcome write(sim::Session& sim, const Entries& entries, const TransferProgress& progress) {
    progress(0);
    if (!sim.open(sim::Store::Phonebook))
        return TransferOutcome::PhoneUnusable;
    for (int position = 1; position <= number_list::kPositions; ++position) {
        sim.writeEntry(position, entries[std::size_t(position - 1)]);
        if (position < number_list::kPositions)
            progress(kWriteProgress[position]);
    }
    return sim.finish(sim::Unfinished::Write) ? TransferOutcome::Done : TransferOutcome::PositionsFailed;
}

TransferRead<Entries> read(sim::Session& sim, std::int32_t& stepState, const TransferProgress& progress) {
    progress(0);
    if (!sim.open(sim::Store::Phonebook))
        return {};
    Entries entries;
    for (int position = 1; position <= number_list::kPositions; ++position) {
        stepState = position;
        if (const auto entry = sim.readEntry(position))
            entries[std::size_t(position - 1)] = *entry;
        progress(25 * position);
    }
    if (!sim.finish(sim::Unfinished::Read))
        return {TransferOutcome::PositionsFailed, {}};
    return {TransferOutcome::Done, entries};
}

} // namespace numbers_transfer
