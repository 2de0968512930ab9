#include "cli/provisioning_run.h"

#include "app/file_path.h"
#include "app/full_stop.h"
#include "app/settings_file.h"
#include "backup/backup_names.h"
#include "backup/backup_texts.h"
#include "cli/console.h"
#include "cli/sim_line.h"
#include "platform/cp1250.h"
#include "platform/settings_location.h"
#include "platform/text_file.h"

#include <algorithm>
#include <QDateTime>
#include <QDir>

namespace {

const char* kNotAsWritten = "POZOR - SIM drží na pozicích: %1 jiný obsah, než byl zapsán !";
const char* kFileExists = "Soubor %1 již existuje; přepíše jej volba --force.";
const char* kInterrupted = "POZOR - přerušeno: sady, které zbývaly, se nepřenesly !";

// A run that was cut short says so before it says that some positions failed.
ExitStatus worse(ExitStatus a, ExitStatus b) {
    constexpr ExitStatus kMildestFirst[] = {kExitDone, kExitPositions, kExitPhone, kExitBadUse};
    const auto rank = [&](ExitStatus status) {
        return std::find(std::begin(kMildestFirst), std::end(kMildestFirst), status);
    };
    return rank(a) > rank(b) ? a : b;
}

ExitStatus statusOf(TransferOutcome outcome) {
    switch (outcome) {
    case TransferOutcome::Done:
        return kExitDone;
    case TransferOutcome::PhoneUnusable:
        return kExitPhone;
    case TransferOutcome::PositionsFailed:
        break;
    }
    return kExitPositions;
}

std::string settingsDirectoryOf(const QString& named) {
    return named.isEmpty() ? platform::settingsDirectory() : QDir(named).absolutePath().toStdString();
}

QString fromUtf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

ProvisioningRun::ProvisioningRun(const ProvisioningOptions& options, Console& console, sim::Prompts& prompts)
    : m_options(options), m_console(console), m_prompts(prompts),
      m_settingsDirectory(settingsDirectoryOf(options.settingsDirectory)) {}

ProvisioningRun::~ProvisioningRun() = default;

ExitStatus ProvisioningRun::run() {
    StoredSettings settings;
    try {
        settings = SettingsFile(m_settingsDirectory).readExisting();
    } catch (const std::exception& error) {
        m_console.message(QString::fromStdString(withFullStop(error.what())));
        return kExitBadUse;
    }
    const std::string smsc = m_options.smscNumber.isEmpty()
                                 ? settings.smscNumber
                                 : platform::utf16ToCp1250(m_options.smscNumber.toStdU16String());
    planSets(smsc);
    const bool writing = m_options.action == ProvisioningOptions::Action::Write;
    if (!(writing ? loadFiles() : checkTargetsFree()))
        return kExitBadUse;
    if (writing && !m_options.backupDirectory.isEmpty() && !QDir().mkpath(m_options.backupDirectory)) {
        m_console.message(fromUtf8(backup_texts::kNoFolder).arg(m_options.backupDirectory));
        return kExitBadUse;
    }
    try {
        m_session = std::make_unique<SimLine>(m_settingsDirectory, smsc, m_prompts);
        if (const ExitStatus opened = openPort(settings); opened != kExitDone)
            return opened;
        return writing ? write() : read();
    } catch (const std::exception& error) { // the line failed under a send, or no delivery could be made
        m_console.message(QString::fromStdString(withFullStop(error.what())));
        return kExitPhone;
    }
}

void ProvisioningRun::planSets(const std::string& smscNumber) {
    const auto plan = [this](const QString& path, std::unique_ptr<AlarmSet> set) {
        if (!path.isEmpty())
            m_sets.push_back({std::move(set), path, {}});
    };
    plan(m_options.configurationFile, configurationSet());
    plan(m_options.numbersFile, numbersSet());
    plan(m_options.messagesFile, messagesSet(smscNumber));
}

// Every file is read and checked before the port opens: a bad one sends nothing at all.
bool ProvisioningRun::loadFiles() {
    for (PlannedSet& planned : m_sets) {
        try {
            SetLines lines = platform::readTextLines(filePathOf(planned.path), planned.set->lineCount());
            lines.resize(planned.set->lineCount());
            QString error;
            planned.lines = planned.set->checked(lines, error);
            if (!error.isEmpty()) {
                m_console.message(QString::fromStdString(withFullStop(error.toStdString())));
                return false;
            }
        } catch (const std::exception& error) {
            m_console.message(QStringLiteral("%1: %2").arg(
                planned.path, QString::fromStdString(withFullStop(error.what()))));
            return false;
        }
    }
    return true;
}

bool ProvisioningRun::checkTargetsFree() const {
    if (m_options.force)
        return true;
    for (const PlannedSet& planned : m_sets)
        if (platform::fileExists(filePathOf(planned.path))) {
            m_console.message(fromUtf8(kFileExists).arg(planned.path));
            return false;
        }
    return true;
}

ExitStatus ProvisioningRun::openPort(const StoredSettings& settings) {
    QString error;
    const auto port = choosePort(m_options.port, m_options.cardReader, settings, error);
    if (!port) {
        m_console.message(error);
        return kExitBadUse;
    }
    if (!port->cardReader.empty()) {
        m_session->useReader(port->cardReader, m_options.lastTry);
        return kExitDone;
    }
    try {
        m_session->openPort(*port);
    } catch (const std::exception& failure) {
        m_console.message(QString::fromStdString(withFullStop(failure.what())));
        return kExitPhone;
    }
    return kExitDone;
}

// A set the phone cannot take stops the run: the next would meet the same phone.
ExitStatus ProvisioningRun::write() {
    if (!m_options.backupDirectory.isEmpty())
        if (const ExitStatus backedUp = backUp(); backedUp != kExitDone)
            return backedUp;
    ExitStatus worst = kExitDone;
    for (const PlannedSet& planned : m_sets) {
        if (!goesOn())
            return worse(worst, kExitPositions);
        ExitStatus status = writeSet(planned);
        if (status == kExitDone && m_options.verify)
            status = verifySet(planned);
        if (status == kExitDone)
            m_console.result(fromUtf8(m_options.verify ? "%1: soubor %2 zapsán na pozice %3 a ověřen."
                                                       : "%1: soubor %2 zapsán na pozice %3.")
                                 .arg(planned.set->title(), planned.path, planned.set->positions()));
        worst = worse(worst, status);
        if (status == kExitPhone)
            break;
    }
    return worst;
}

ExitStatus ProvisioningRun::read() {
    ExitStatus worst = kExitDone;
    for (const PlannedSet& planned : m_sets) {
        if (!goesOn())
            return worse(worst, kExitPositions);
        const ExitStatus status = readSet(planned);
        worst = worse(worst, status);
        if (status == kExitPhone)
            break;
    }
    return worst;
}

// Every set is read before anything is saved or written: a backup is whole or there is none.
ExitStatus ProvisioningRun::backUp() {
    std::vector<SetLines> held;
    for (const PlannedSet& planned : m_sets) {
        if (!goesOn())
            return kExitPositions;
        const auto read = readFromPhone(*planned.set, QString::fromUtf8("záloha"));
        if (read.outcome != TransferOutcome::Done) {
            m_console.message(fromUtf8(backup_texts::kUnread));
            return statusOf(read.outcome);
        }
        held.push_back(read.data);
    }
    std::vector<std::string> extensions;
    for (const PlannedSet& planned : m_sets)
        extensions.push_back(planned.set->extension());
    const QString stem = freeBackupStem(m_options.backupDirectory, QDateTime::currentDateTime(), extensions);
    for (std::size_t i = 0; i < m_sets.size(); ++i) {
        const QString path = stem + '.' + QString::fromStdString(m_sets[i].set->extension());
        if (!saveLines(path, held[i])) {
            m_console.message(fromUtf8(backup_texts::kUnread));
            return kExitBadUse;
        }
        m_console.result(fromUtf8("%1: pozice %2 zálohovány do souboru %3.")
                             .arg(m_sets[i].set->title(), m_sets[i].set->positions(), path));
    }
    return kExitDone;
}

bool ProvisioningRun::goesOn() {
    if (m_interrupted)
        m_console.message(fromUtf8(kInterrupted));
    return !m_interrupted;
}

ExitStatus ProvisioningRun::writeSet(const PlannedSet& planned) {
    const TransferProgress progress = progressOf(*planned.set, QString::fromUtf8("zápis"));
    return statusOf(m_session->exchange(
        *planned.set, [&](sim::Session& sim) { return planned.set->write(sim, planned.lines, progress); }));
}

ExitStatus ProvisioningRun::verifySet(const PlannedSet& planned) {
    const auto read = readFromPhone(*planned.set, QString::fromUtf8("ověření"));
    if (read.outcome != TransferOutcome::Done)
        return statusOf(read.outcome);
    const QStringList differing = planned.set->differing(planned.lines, read.data);
    if (differing.isEmpty())
        return kExitDone;
    m_console.message(fromUtf8(kNotAsWritten).arg(differing.join(QStringLiteral(", "))));
    return kExitPositions;
}

ExitStatus ProvisioningRun::readSet(const PlannedSet& planned) {
    const auto read = readFromPhone(*planned.set, QString::fromUtf8("čtení"));
    if (read.outcome != TransferOutcome::Done)
        return statusOf(read.outcome);
    planned.set->tellRead(read.data, m_prompts);
    if (!saveLines(planned.path, read.data))
        return kExitBadUse;
    m_console.result(fromUtf8("%1: pozice %2 uloženy do souboru %3.")
                         .arg(planned.set->title(), planned.set->positions(), planned.path));
    return kExitDone;
}

TransferRead<SetLines> ProvisioningRun::readFromPhone(const AlarmSet& set, const QString& stage) {
    const TransferProgress progress = progressOf(set, stage);
    TransferRead<SetLines> read;
    read.outcome = m_session->exchange(set, [&](sim::Session& sim) {
        read = set.read(m_session->context(), sim, progress);
        return read.outcome;
    });
    return read;
}

TransferProgress ProvisioningRun::progressOf(const AlarmSet& set, const QString& stage) {
    const QString what = set.title() + QStringLiteral(" – ") + stage;
    return [this, what](int percent) { m_console.progress(what, percent); };
}

bool ProvisioningRun::saveLines(const QString& path, const SetLines& lines) {
    try {
        platform::writeTextLines(filePathOf(path), lines);
        return true;
    } catch (const std::exception& error) {
        m_console.message(
            QStringLiteral("%1: %2").arg(path, QString::fromStdString(withFullStop(error.what()))));
        return false;
    }
}
