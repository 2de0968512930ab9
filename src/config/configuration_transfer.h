#pragma once
// The configuration codes to and from SIM positions 5 and 6: the page and the command line run
// exactly these steps, whichever way the SIM is reached.
#include "sim/transfer.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sim {
class Prompts;
class Session;
} // namespace sim

namespace configuration_transfer {

inline constexpr int kSetupPosition = 5;
inline constexpr int kCasyPosition = 6;

// Nothing for a position that holds no 13-character code.
struct StoredCodes {
    std::optional<std::string> setup;
    std::optional<std::string> casy;
};

TransferOutcome write(sim::Session& sim, const std::string& setupCode, const std::string& casyCode,
                      const TransferProgress& progress);

// stepState names the position being read.
TransferRead<StoredCodes> read(sim::Session& sim, std::int32_t& stepState, const TransferProgress& progress);

// A read that found a position without a configuration says so, naming the positions.
void tellMissing(const StoredCodes& codes, sim::Prompts& prompts);

} // namespace configuration_transfer
