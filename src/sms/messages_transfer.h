#pragma once
// The four alarm messages to and from SIM SMS positions 1 to 4 in PDU mode: the page and the
// command line run exactly these commands.
#include "phone/transfer.h"
#include "sms/alarm_pdu.h"
#include "sms/message_set.h"

#include <functional>

class VerifiedSequence;
struct SharedState;

namespace messages_transfer {

// The message of a position (1 to 4), encoded as it goes to the phone.
using Encoder = std::function<alarm_pdu::Encoded(int position)>;

// Deletes positions 1 to 4, then stores the four messages; deleted runs between the two. A
// message counts as stored only when the phone prompted for it and named the position it took.
TransferOutcome store(VerifiedSequence& sequence, const Encoder& encode, const TransferProgress& progress,
                      const std::function<void()>& deleted);

// Deletes positions 1 to 4; what the phone did not confirm is told.
TransferOutcome erase(VerifiedSequence& sequence, const TransferProgress& progress);

// All four positions are read before anything is given back; an empty one reads as an empty
// message. StepState names the position being read (11 to 14).
TransferRead<message_set::Messages> read(VerifiedSequence& sequence, SharedState& shared,
                                         const TransferProgress& progress);

} // namespace messages_transfer
