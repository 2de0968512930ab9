#pragma once
// The four alarm messages to and from SIM SMS positions 1 to 4: the page and the command line run
// exactly these steps, whichever way the SIM is reached.
#include "sim/transfer.h"
#include "sms/alarm_pdu.h"
#include "sms/message_set.h"

#include <cstdint>
#include <functional>

namespace sim {
class Session;
}

namespace messages_transfer {

// The message of a position (1 to 4), encoded as it goes to the SIM.
using Encoder = std::function<alarm_pdu::Encoded(int position)>;

// Stores the four messages in positions 1 to 4; storing runs before the first goes. A message
// counts as stored only when the SIM confirmed it in its own position.
TransferOutcome store(sim::Session& sim, const Encoder& encode, const TransferProgress& progress,
                      const std::function<void()>& storing);

// Empties positions 1 to 4; what the SIM did not confirm is told.
TransferOutcome erase(sim::Session& sim, const TransferProgress& progress);

// All four positions are read before anything is given back; an empty one reads as an empty
// message, one whose PDU is cut or malformed as not read. stepState names the position being read
// (11 to 14).
TransferRead<message_set::Messages> read(sim::Session& sim, std::int32_t& stepState,
                                         const TransferProgress& progress);

} // namespace messages_transfer
