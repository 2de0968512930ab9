#pragma once
// A page's write over a SIM, in one exchange: first the read the command line's --backup makes of
// the positions the write replaces, kept in the backup folder; when that read or the saving fails,
// nothing is written and the box says so. The gauge shows the read as the write's first half.
#include "cli/alarm_set.h"
#include "sim/transfer.h"

#include <functional>

class BackupFolder;

// The set's write, moving the gauge it is given.
using SetWrite = std::function<TransferOutcome(const TransferProgress& progress)>;

TransferOutcome writeBackedUp(const AlarmSet& set, BackupFolder& folder, ExchangeContext& context,
                              sim::Session& sim, const TransferProgress& progress, const SetWrite& write);
