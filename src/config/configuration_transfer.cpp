#include "config/configuration_transfer.h"

#include "config/setup_codes.h"
#include "phone/phone_messages.h"
#include "sim/position_report.h"
#include "sim/prompts.h"
#include "sim/session.h"

namespace configuration_transfer {

namespace {

// A position that holds no 13-character code holds no configuration.
std::optional<std::string> storedCode(sim::Session& sim, int position) {
    const auto entry = sim.readEntry(position);
    if (!entry || entry->number.size() != setup_codes::kCodeLength)
        return std::nullopt;
    return entry->number;
}

} // namespace

TransferOutcome write(sim::Session& sim, const std::string& setupCode, const std::string& casyCode,
                      const TransferProgress& progress) {
    if (!sim.open(sim::Store::Phonebook))
        return TransferOutcome::PhoneUnusable;
    progress(25);
    sim.writeEntry(kSetupPosition, {setupCode, "Setup"});
    progress(50);
    sim.writeEntry(kCasyPosition, {casyCode, "Casy"});
    progress(100);
    return sim.finish(sim::Unfinished::Write) ? TransferOutcome::Done : TransferOutcome::PositionsFailed;
}

// Both positions are read before anything is given back: a read that fails gives nothing.
TransferRead<StoredCodes> read(sim::Session& sim, std::int32_t& stepState, const TransferProgress& progress) {
    if (!sim.open(sim::Store::Phonebook))
        return {};
    std::optional<std::string> codes[2];
    for (const int position : {kSetupPosition, kCasyPosition}) {
        stepState = position;
        codes[position - kSetupPosition] = storedCode(sim, position);
        progress(position == kSetupPosition ? 50 : 100);
    }
    if (!sim.finish(sim::Unfinished::Read))
        return {TransferOutcome::PositionsFailed, {}};
    return {TransferOutcome::Done, {codes[0], codes[1]}};
}

void tellMissing(const StoredCodes& codes, sim::Prompts& prompts) {
    std::string empty;
    if (!codes.setup)
        empty = std::to_string(kSetupPosition);
    if (!codes.casy)
        empty += (empty.empty() ? "" : ", ") + std::to_string(kCasyPosition);
    if (!empty.empty())
        prompts.warn(sim::filledIn(phone_messages::kNoConfiguration, empty));
}

} // namespace configuration_transfer
