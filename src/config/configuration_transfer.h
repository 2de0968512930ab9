#pragma once
// The configuration codes to and from SIM positions 5 and 6, after the probe: the page and the
// command line run exactly these commands.
#include "phone/transfer.h"

#include <optional>
#include <string>

class VerifiedSequence;
struct SharedState;

namespace configuration_transfer {

inline constexpr int kSetupPosition = 5;
inline constexpr int kCasyPosition = 6;

// Nothing for a position that holds no 13-character code.
struct StoredCodes {
    std::optional<std::string> setup;
    std::optional<std::string> casy;
};

TransferOutcome write(VerifiedSequence& sequence, const std::string& setupCode, const std::string& casyCode,
                      const TransferProgress& progress);

// StepState names the position being read.
TransferRead<StoredCodes> read(VerifiedSequence& sequence, SharedState& shared,
                               const TransferProgress& progress);

} // namespace configuration_transfer
