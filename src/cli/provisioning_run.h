#pragma once
// "alarmgsm write" and "alarmgsm read" once their command line is understood: the files checked or
// made, the backup, the sets' exchanges in the order configuration, numbers, messages over one
// open port, the verification, and the exit status.
#include "cli/alarm_set.h"
#include "cli/provisioning_options.h"

#include <memory>
#include <vector>

struct StoredSettings;
class Console;
class SimLine;
namespace sim {
class Prompts;
}

enum ExitStatus {
    kExitDone = 0,      // every position confirmed (and verified) or read
    kExitBadUse = 1,    // bad use or a file that fails its check: nothing sent
    kExitPhone = 2,     // the port or the phone: cannot open, no answer, a refused selection, no PIN
    kExitPositions = 3, // some positions not confirmed, not read or not as written
};

class ProvisioningRun {
public:
    ProvisioningRun(const ProvisioningOptions& options, Console& console, sim::Prompts& prompts);
    ~ProvisioningRun();

    ExitStatus run();
    // Ends the run once the running set's exchange has ended: the phone is never left mid-set.
    void interrupt() { m_interrupted = true; }

private:
    struct PlannedSet {
        std::unique_ptr<AlarmSet> set;
        QString path;
        SetLines lines; // a write's checked lines
    };

    ExitStatus write();
    ExitStatus read();
    void planSets(const std::string& smscNumber);
    bool loadFiles();
    bool checkTargetsFree() const;
    ExitStatus openPort(const StoredSettings& settings);
    ExitStatus backUp();
    ExitStatus writeSet(const PlannedSet& planned);
    ExitStatus verifySet(const PlannedSet& planned);
    ExitStatus readSet(const PlannedSet& planned);
    // False, having said so, when the run was interrupted.
    bool goesOn();
    TransferRead<SetLines> readFromPhone(const AlarmSet& set, const QString& stage);
    TransferProgress progressOf(const AlarmSet& set, const QString& stage);
    bool saveLines(const QString& path, const SetLines& lines);

    const ProvisioningOptions& m_options;
    Console& m_console;
    sim::Prompts& m_prompts;
    std::string m_settingsDirectory;
    std::vector<PlannedSet> m_sets;
    std::unique_ptr<SimLine> m_session;
    bool m_interrupted = false;
};
