#include "phone/verified_sequence.h"

#include "app/error_report.h"
#include "phone/page_context.h"
#include "phone/phone_messages.h"
#include "phone/reply.h"
#include "phone/shared_state.h"
#include "platform/cp1250.h"
#include "platform/pause.h"
#include "widgets/user_dialogs.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <QStringList>
#include <utility>

using final_answers::Answer;
using final_answers::Final;

namespace {

// Nobody waits longer than this for a phone to say OK to "AT".
constexpr int kProbeMs = 2000;
// A SIM that has just taken its PIN is busy loading for a few seconds.
constexpr int kBusyRetries = 5;
constexpr int kBusyRetryMs = 1000;
constexpr std::size_t kShortestPin = 4;
constexpr std::size_t kLongestPin = 8;

QString fromCp1250(const std::string& text) {
    return QString::fromStdU16String(platform::cp1250ToUtf16(text));
}

// A bare "ERROR" carries no code worth quoting.
void addErrorCode(QStringList& codes, const std::string& error) {
    const QString code = fromCp1250(error);
    if (error != "ERROR" && !error.empty() && !codes.contains(code))
        codes << code;
}

QString withCodes(QString text, const QStringList& codes) {
    return codes.isEmpty() ? text : text + '\n' + codes.join(QStringLiteral(", "));
}

// What AT+CPIN? says the SIM waits for: "READY", "SIM PIN", "SIM PUK", …
std::string pinState(const Answer& answer) {
    std::string state(answer.after("+CPIN:").value_or(""));
    std::erase(state, '"');
    return state;
}

// A phone that does not say is taken as ready.
bool isReady(const std::string& state) {
    return state.empty() || state == "READY";
}

bool isPinForm(const std::string& pin) {
    return pin.size() >= kShortestPin && pin.size() <= kLongestPin &&
           std::all_of(pin.begin(), pin.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Every selection on one command line, so that the phone answers them all in one round: what it
// has set now (to put it back at the end), numbered error codes, the SIM's state, the sets it
// offers and the store. A phone that refuses any of them is asked again one command at a time.
constexpr const char* kPhonebookSelections = "AT+CMEE?;+CMEE=1;+CPIN?;+CSCS=?;+CSCS?;+CPBS=\"SM\"\r";
constexpr const char* kMessageSelections = "AT+CMEE?;+CMEE=1;+CPIN?;+CMGF?;+CMGF=0;+CPMS=\"SM\",\"SM\"\r";

// The list of AT+CSCS=? and the set named by AT+CSCS?, both "+CSCS:" lines.
std::pair<std::string, std::string> charsetLines(const Answer& answer) {
    std::pair<std::string, std::string> found;
    for (const std::string& line : answer.lines) {
        if (!line.starts_with("+CSCS:"))
            continue;
        std::string value = line.substr(6);
        std::erase(value, ' ');
        (value.starts_with('(') ? found.first : found.second) = value;
    }
    return found;
}

// Commands as sent alone ("AT+CPBW=1\r", "AT+CPBW=2\r") on one line: "AT+CPBW=1;+CPBW=2\r".
std::string onOneLine(const std::vector<std::string>& commands) {
    std::string line = "AT";
    for (const std::string& command : commands)
        line += (line.size() > 2 ? ";" : "") + command.substr(2, command.size() - 3);
    return line + reply::kCR;
}

int storedIndex(const Answer& answer) {
    return std::atoi(std::string(answer.after("+CMGW:").value_or("0")).c_str());
}

} // namespace

VerifiedSequence::VerifiedSequence(PageContext& context)
    : m_context(context), m_ledger(context.port, context.shared, context.pause),
      m_uncaught(std::uncaught_exceptions()) {}

// An error on its way out is told as it is and ends the exchange there.
VerifiedSequence::~VerifiedSequence() {
    if (std::uncaught_exceptions() == m_uncaught && !m_ledger.lineLost())
        m_context.errors.guard([this] { putBackSettings(); });
}

void VerifiedSequence::putBackSettings() {
    const std::string command = m_found.restoreCommand();
    if (!command.empty())
        m_ledger.ask(command, CommandLedger::kSelectionMs);
}

Answer VerifiedSequence::ask(const std::string& text, int timeoutMs) {
    for (int retry = 0;; ++retry) {
        Answer answer = m_ledger.ask(text, timeoutMs);
        if (answer.final != Final::Error || !final_answers::meansSimBusy(answer.error) ||
            retry == kBusyRetries)
            return answer;
        m_context.pause.wait(kBusyRetryMs);
    }
}

bool VerifiedSequence::probeAnswered() {
    Answer answer = m_ledger.awaitAnswer(kProbeMs);
    // Half a line another program left in the phone joins the probe and spoils it once.
    if (answer.final == Final::Error)
        answer = m_ledger.ask(reply::kProbe, kProbeMs);
    if (answer.final == Final::Ok)
        return true;
    warnSilent();
    return false;
}

bool VerifiedSequence::select(SimStore store) {
    m_store = store;
    const char* selections = store == SimStore::Phonebook ? kPhonebookSelections : kMessageSelections;
    Answer answer = ask(selections, CommandLedger::kSelectionMs);
    takeFound(answer, store);
    if (answer.complete() && !isReady(pinState(answer))) {
        if (!unlockFrom(pinState(answer)))
            return false;
        answer = ask(selections, CommandLedger::kSelectionMs);
    }
    if (!answer.complete()) {
        warnSilent();
        return false;
    }
    if (answer.final != Final::Ok || !isReady(pinState(answer)))
        return selectOneByOne(store);
    takeSelected(answer);
    return true;
}

// A line that failed part way may have set what it set before the failure; putting back a setting
// that was not changed after all changes nothing.
void VerifiedSequence::takeFound(const Answer& answer, SimStore store) {
    m_found.takeFrom(answer);
    m_found.changed(FoundSettings::Setting::ErrorCodes, "1");
    if (store == SimStore::Messages)
        m_found.changed(FoundSettings::Setting::MessageFormat, "0");
}

bool VerifiedSequence::selectOneByOne(SimStore store) {
    if (!askForErrorCodes() || !unlockSim())
        return false;
    if (store == SimStore::Phonebook)
        return askCharsets() && selectOne("AT+CPBS=\"SM\"");
    // The store for incoming messages is left as the phone has it.
    const Answer format = ask("AT+CMGF?\r", CommandLedger::kSelectionMs);
    m_found.takeFrom(format);
    if (!selectOne("AT+CMGF=0"))
        return false;
    m_found.changed(FoundSettings::Setting::MessageFormat, "0");
    return selectOne("AT+CPMS=\"SM\",\"SM\"");
}

// A phone that lists no sets may still take one: each is tried once it is needed.
void VerifiedSequence::takeSelected(const Answer& answer) {
    const auto [offered, inUse] = charsetLines(answer);
    m_usableCharsets = phonebook::listed(offered);
    if (offered.empty())
        m_usableCharsets = phonebook::listed(R"(("UCS2","GSM","IRA"))");
    m_charset = phonebook::named(inUse);
}

bool VerifiedSequence::selectOne(const std::string& command) {
    Answer answer = ask(command + reply::kCR, CommandLedger::kSelectionMs);
    if (answer.final == Final::Error && final_answers::meansPinNeeded(answer.error)) {
        if (!enterPin())
            return false;
        answer = ask(command + reply::kCR, CommandLedger::kSelectionMs);
    }
    if (!answer.complete()) {
        warnSilent();
        return false;
    }
    if (answer.final != Final::Ok) {
        warnRefused(command, answer.error);
        return false;
    }
    return true;
}

// With codes an empty position, a locked or a busy SIM differ from a refusal; a bare "ERROR" tells
// none of them. A phone that cannot give codes still serves.
bool VerifiedSequence::askForErrorCodes() {
    m_found.takeFrom(ask("AT+CMEE?\r", CommandLedger::kSelectionMs));
    const Answer answer = ask("AT+CMEE=1\r", CommandLedger::kSelectionMs);
    if (!answer.complete()) {
        warnSilent();
        return false;
    }
    if (answer.final == Final::Ok)
        m_found.changed(FoundSettings::Setting::ErrorCodes, "1");
    return true;
}

// A phone that does not know AT+CPIN? is taken as unlocked: its selections will tell otherwise.
bool VerifiedSequence::unlockSim() {
    const Answer answer = ask("AT+CPIN?\r", CommandLedger::kSelectionMs);
    if (!answer.complete()) {
        warnSilent();
        return false;
    }
    if (answer.final == Final::Ok)
        return unlockFrom(pinState(answer));
    if (!final_answers::meansPukNeeded(answer.error))
        return true;
    m_context.dialogs.warning(QString::fromUtf8(phone_messages::kSimBlocked));
    return false;
}

bool VerifiedSequence::unlockFrom(const std::string& state) {
    if (isReady(state))
        return true;
    if (state == "SIM PIN")
        return enterPin();
    if (state == "SIM PUK")
        m_context.dialogs.warning(QString::fromUtf8(phone_messages::kSimBlocked));
    else
        m_context.dialogs.warning(QString::fromUtf8(phone_messages::kSimWaits).arg(fromCp1250(state)));
    return false;
}

// A PIN the phone refused is never sent again: the third wrong one blocks the SIM. The PIN lives
// only here; the transcript that echoed it is emptied at once.
bool VerifiedSequence::enterPin() {
    const char* prompt = phone_messages::kPinAsked;
    for (;;) {
        const auto given = m_context.dialogs.askPin(QString::fromUtf8(prompt));
        if (!given)
            return false;
        const std::string pin = given->toStdString();
        if (!isPinForm(pin)) {
            prompt = phone_messages::kPinForm;
            continue;
        }
        if (m_refusedPins.contains(pin)) {
            prompt = phone_messages::kPinRepeated;
            continue;
        }
        const Answer answer = m_ledger.ask("AT+CPIN=\"" + pin + "\"\r", CommandLedger::kWriteMs);
        m_context.shared.Transcript.clear();
        if (!answer.complete()) {
            warnSilent();
            return false;
        }
        if (answer.final == Final::Ok)
            return true;
        m_refusedPins.insert(pin);
        const std::string now = pinState(ask("AT+CPIN?\r", CommandLedger::kSelectionMs));
        if (now == "READY")
            return true;
        if (now == "SIM PUK" || final_answers::meansPukNeeded(answer.error)) {
            m_context.dialogs.warning(QString::fromUtf8(phone_messages::kSimBlocked));
            return false;
        }
        prompt = phone_messages::kPinWrong;
    }
}

bool VerifiedSequence::askCharsets() {
    const Answer offered = ask("AT+CSCS=?\r", CommandLedger::kSelectionMs);
    const Answer inUse = ask("AT+CSCS?\r", CommandLedger::kSelectionMs);
    if (!offered.complete() || !inUse.complete()) {
        warnSilent();
        return false;
    }
    m_found.takeFrom(inUse);
    Answer both = offered;
    both.lines.insert(both.lines.end(), inUse.lines.begin(), inUse.lines.end());
    takeSelected(both);
    return true;
}

bool VerifiedSequence::useCharset(phonebook::Charset charset) {
    if (charset == m_charset || charset == phonebook::Charset::Unchanged)
        return true;
    const std::string name = '"' + std::string(phonebook::nameOf(charset)) + '"';
    const Answer taken = ask("AT+CSCS=" + name + reply::kCR, CommandLedger::kSelectionMs);
    if (!taken.complete()) {
        m_stopped = true;
        return false;
    }
    if (taken.final != Final::Ok) {
        std::erase(m_usableCharsets, charset);
        return false;
    }
    m_charset = charset;
    m_found.changed(FoundSettings::Setting::Charset, name);
    return true;
}

// Each refusal leaves one set fewer to want, so the wanting ends.
bool VerifiedSequence::settleCharset(const std::function<phonebook::Charset()>& wanted) {
    while (!useCharset(wanted()))
        if (m_stopped)
            return false;
    return true;
}

void VerifiedSequence::noteUnanswered(int position) {
    m_outcomes.push_back({position, false, false, {}});
}

void VerifiedSequence::noteAnswer(int position, bool done, const std::string& error) {
    m_outcomes.push_back({position, true, done, error});
}

void VerifiedSequence::change(const std::string& text, int position, bool absentIsDone) {
    m_waiting.push_back({text, position, absentIsDone});
}

void VerifiedSequence::sendChanges(bool withPutBack) {
    std::vector<Change> waiting = std::exchange(m_waiting, {});
    if (waiting.empty())
        return;
    std::vector<std::string> commands;
    for (const Change& each : waiting)
        commands.push_back(each.command);
    const std::string putBack = withPutBack ? m_found.restoreCommand() : std::string();
    if (!putBack.empty())
        commands.push_back(putBack);
    if (commands.size() == 1) {
        sendAlone(waiting.front());
        return;
    }
    if (m_stopped) {
        for (const Change& each : waiting)
            noteUnanswered(each.position);
        return;
    }
    const Answer answer = ask(onOneLine(commands), CommandLedger::kWriteMs * int(commands.size()));
    if (!answer.complete()) {
        m_stopped = true;
        for (const Change& each : waiting)
            noteUnanswered(each.position);
        return;
    }
    if (answer.final == Final::Ok) {
        for (const Change& each : waiting)
            noteAnswer(each.position, true);
        if (!putBack.empty())
            m_found.putBack();
        return;
    }
    for (const Change& each : waiting)
        sendAlone(each);
}

void VerifiedSequence::sendAlone(const Change& change) {
    if (m_stopped) {
        noteUnanswered(change.position);
        return;
    }
    const Answer answer = ask(change.command, CommandLedger::kWriteMs);
    if (!answer.complete()) {
        m_stopped = true;
        noteUnanswered(change.position);
        return;
    }
    const bool done = answer.final == Final::Ok || (change.absentIsDone && answer.final == Final::Error &&
                                                    final_answers::meansAbsent(answer.error));
    noteAnswer(change.position, done, answer.error);
}

void VerifiedSequence::writeEntry(int position, const std::string& number, const std::string& name) {
    if (number.empty()) {
        change(phonebook::writeCommand(position, number, {}), position, true);
        return;
    }
    const auto wanted = [&] { return phonebook::forName(name, m_charset, m_usableCharsets); };
    // The names waiting are in the set in use.
    if (wanted() != m_charset)
        sendChanges(false);
    if (m_stopped || !settleCharset(wanted)) {
        noteUnanswered(position);
        return;
    }
    const auto encoded = phonebook::encodeName(name, m_charset);
    if (!encoded) {
        noteAnswer(position, false);
        return;
    }
    change(phonebook::writeCommand(position, number, *encoded), position);
}

void VerifiedSequence::storeMessage(const std::string& command, const std::string& pdu, int position,
                                    const std::function<void()>& prompted) {
    sendChanges(false);
    if (m_stopped) {
        noteUnanswered(position);
        return;
    }
    Answer answer = ask(command, CommandLedger::kWriteMs);
    if (answer.final == Final::Prompt) {
        prompted();
        answer = m_ledger.ask(pdu + reply::kCtrlZ, CommandLedger::kWriteMs);
    }
    if (!answer.complete() || answer.final == Final::Prompt) {
        // A phone still in message entry would take the next command as text.
        m_ledger.cancelMessage();
        m_stopped = true;
        noteUnanswered(position);
        return;
    }
    noteAnswer(position, answer.final == Final::Ok && storedIndex(answer) == position, answer.error);
}

std::optional<Answer> VerifiedSequence::read(const std::string& text, int position) {
    sendChanges(false);
    if (!m_stopped && m_store == SimStore::Phonebook)
        settleCharset([this] { return m_usableCharsets.empty() ? m_charset : m_usableCharsets.front(); });
    if (m_stopped) {
        noteUnanswered(position);
        return std::nullopt;
    }
    const Answer answer = ask(text, CommandLedger::kReadMs);
    if (!answer.complete()) {
        m_stopped = true;
        noteUnanswered(position);
        return std::nullopt;
    }
    if (answer.final == Final::Ok) {
        noteAnswer(position, true);
        return answer;
    }
    if (answer.final == Final::Error && final_answers::meansAbsent(answer.error)) {
        noteAnswer(position, true);
        return Answer{Final::Ok, {}, {}};
    }
    noteAnswer(position, false, answer.error);
    return std::nullopt;
}

void VerifiedSequence::warnRefused(const std::string& command, const std::string& error) {
    if (final_answers::meansPukNeeded(error)) {
        m_context.dialogs.warning(QString::fromUtf8(phone_messages::kSimBlocked));
        return;
    }
    QStringList codes;
    addErrorCode(codes, error);
    m_context.dialogs.warning(
        withCodes(QString::fromUtf8(phone_messages::kCommandRefused).arg(fromCp1250(command)), codes));
}

// A line that has gone is told by the main window, once the exchange has ended.
void VerifiedSequence::warnSilent() {
    if (!m_ledger.lineLost())
        m_context.dialogs.warning(QString::fromUtf8(phone_messages::kPhoneSilent));
}

bool VerifiedSequence::finish(const char* text) {
    sendChanges(true);
    std::stable_sort(m_outcomes.begin(), m_outcomes.end(),
                     [](const Outcome& a, const Outcome& b) { return a.position < b.position; });
    bool anyAnswered = false;
    QStringList positions;
    QStringList codes;
    for (const Outcome& outcome : m_outcomes) {
        anyAnswered = anyAnswered || outcome.answered;
        if (outcome.done || outcome.position == 0)
            continue;
        if (!positions.contains(QString::number(outcome.position)))
            positions << QString::number(outcome.position);
        addErrorCode(codes, outcome.error);
    }
    if (!anyAnswered && !m_outcomes.empty()) {
        warnSilent();
        return false;
    }
    if (positions.isEmpty())
        return true;
    m_context.dialogs.warning(
        withCodes(QString::fromUtf8(text).arg(positions.join(QStringLiteral(", "))), codes));
    return false;
}
