#include "backup/backed_up_write.h"

#include "app/file_path.h"
#include "app/full_stop.h"
#include "backup/backup_folder.h"
#include "backup/backup_texts.h"
#include "exchange/exchange_context.h"
#include "sim/position_report.h"
#include "sim/prompts.h"

#include <QDateTime>
#include <stdexcept>

namespace {

bool kept(const AlarmSet& set, BackupFolder& folder, const SetLines& lines, sim::Prompts& prompts) {
    try {
        folder.save(set.extension(), lines, QDateTime::currentDateTime());
        return true;
    } catch (const std::runtime_error& error) {
        prompts.warn(sim::filledIn(backup_texts::kUnsaved, filePathOf(folder.path())) + '\n' +
                     withFullStop(error.what()));
        return false;
    }
}

} // namespace

TransferOutcome writeBackedUp(const AlarmSet& set, BackupFolder& folder, ExchangeContext& context,
                              sim::Session& sim, const TransferProgress& progress, const SetWrite& write) {
    const auto held = set.read(context, sim, [&](int percent) { progress(percent / 2); });
    // A SIM that could not be opened was told as such, and nothing of the set could go.
    if (held.outcome != TransferOutcome::Done) {
        if (held.outcome == TransferOutcome::PositionsFailed)
            context.prompts.warn(backup_texts::kUnread);
        return held.outcome;
    }
    if (!kept(set, folder, held.data, context.prompts))
        return TransferOutcome::PositionsFailed;
    return write([&](int percent) { progress(50 + percent / 2); });
}
