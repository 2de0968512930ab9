#pragma once
// One of the three sets as the command line and the backups handle it: its file, the check its page
// makes before anything is sent, and the page's own transfers. A set's content is its file's lines.
#include "sim/transfer.h"

#include <memory>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

struct ExchangeContext;
namespace sim {
class Prompts;
class Session;
} // namespace sim

using SetLines = std::vector<std::string>;

class AlarmSet {
public:
    virtual ~AlarmSet() = default;

    virtual QString title() const = 0;         // "Konfigurace", as the stdout lines name it
    virtual std::string extension() const = 0; // "par"
    virtual std::size_t lineCount() const = 0;
    virtual QString positions() const = 0; // "5, 6", as the stdout lines name them
    // Whether its window exchanges begin with the probe "AT".
    virtual bool probes() const = 0;

    // The page's check of a loaded file: the lines as the phone would get them, or the page's
    // error text and nothing.
    virtual SetLines checked(const SetLines& lines, QString& error) const = 0;
    virtual TransferOutcome write(sim::Session& sim, const SetLines& lines,
                                  const TransferProgress& progress) const = 0;
    // Tells nothing of what it found: a backup keeps it as it is, a read tells it (tellRead).
    virtual TransferRead<SetLines> read(ExchangeContext& context, sim::Session& sim,
                                        const TransferProgress& progress) const = 0;
    // What the page tells after a read of these lines, such as a position without a configuration.
    virtual void tellRead(const SetLines& lines, sim::Prompts& prompts) const = 0;
    // The positions whose content read back differs from what was written.
    virtual QStringList differing(const SetLines& written, const SetLines& read) const = 0;
    // What tells one SIM's set from another's at a glance, as the backup menu shows it.
    virtual QString summary(const SetLines& lines) const = 0;
};

std::unique_ptr<AlarmSet> configurationSet();
std::unique_ptr<AlarmSet> numbersSet();
// The messages go through the given SMS centre, which the check looks at too.
std::unique_ptr<AlarmSet> messagesSet(const std::string& smscNumber);
