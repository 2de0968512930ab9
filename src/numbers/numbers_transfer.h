#pragma once
// The four alarm numbers to and from SIM positions 1 to 4, after the probe: the page and the
// command line run exactly these commands.
#include "numbers/number_list.h"
#include "phone/phonebook.h"
#include "phone/transfer.h"

#include <array>

class VerifiedSequence;
struct SharedState;

namespace numbers_transfer {

// Position 1 to 4 at index 0 to 3; an empty number empties its position.
using Entries = std::array<phonebook::Entry, number_list::kPositions>;

TransferOutcome write(VerifiedSequence& sequence, const Entries& entries, const TransferProgress& progress);

// All four positions are read before anything is given back; an empty one reads as an empty entry.
// StepState names the position being read.
TransferRead<Entries> read(VerifiedSequence& sequence, SharedState& shared, const TransferProgress& progress);

} // namespace numbers_transfer
