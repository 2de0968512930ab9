#pragma once
// The four alarm numbers to and from SIM positions 1 to 4: the page and the command line run
// exactly these steps, whichever way the SIM is reached.
#include "numbers/number_list.h"
#include "sim/records.h"
#include "sim/transfer.h"

#include <array>
#include <cstdint>

namespace sim {
class Session;
}

namespace numbers_transfer {

// Position 1 to 4 at index 0 to 3; an empty number empties its position.
using Entries = std::array<sim::Entry, number_list::kPositions>;

TransferOutcome write(sim::Session& sim, const Entries& entries, const TransferProgress& progress);

// All four positions are read before anything is given back; an empty one reads as an empty entry.
// stepState names the position being read.
TransferRead<Entries> read(sim::Session& sim, std::int32_t& stepState, const TransferProgress& progress);

} // namespace numbers_transfer
