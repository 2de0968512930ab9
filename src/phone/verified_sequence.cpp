#include "phone/verified_sequence.h"

#include "phone/page_context.h"
#include "phone/phone_messages.h"
#include "phone/reply.h"
#include "phone/shared_state.h"
#include "platform/cp1250.h"
#include "platform/pause.h"
#include "widgets/user_dialogs.h"

#include <algorithm>
#include <cstdlib>
#include <QStringList>

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

bool isPinForm(const std::string& pin) {
    return pin.size() >= kShortestPin && pin.size() <= kLongestPin &&
           std::all_of(pin.begin(), pin.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int storedIndex(const Answer& answer) {
    return std::atoi(std::string(answer.after("+CMGW:").value_or("0")).c_str());
}

} // namespace

VerifiedSequence::VerifiedSequence(PageContext& context)
    : m_context(context), m_ledger(context.port, context.shared, context.pause) {}

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
    if (!askForErrorCodes() || !unlockSim())
        return false;
    if (store == SimStore::Phonebook)
        return selectCharset() && selectOne("AT+CPBS=\"SM\"");
    // The store for incoming messages is left as the phone has it.
    return selectOne("AT+CMGF=0") && selectOne("AT+CPMS=\"SM\",\"SM\"");
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
    if (ask("AT+CMEE=1\r", CommandLedger::kSelectionMs).complete())
        return true;
    warnSilent();
    return false;
}

// A phone that does not know AT+CPIN? is taken as unlocked: its selections will tell otherwise.
bool VerifiedSequence::unlockSim() {
    const Answer answer = ask("AT+CPIN?\r", CommandLedger::kSelectionMs);
    if (!answer.complete()) {
        warnSilent();
        return false;
    }
    if (answer.final != Final::Ok) {
        if (!final_answers::meansPukNeeded(answer.error))
            return true;
        m_context.dialogs.warning(QString::fromUtf8(phone_messages::kSimBlocked));
        return false;
    }
    const std::string state = pinState(answer);
    if (state.empty() || state == "READY")
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

// The best set the phone offers; one that lists none may still take one of them, and one that
// takes none keeps its own, in which names go as they are.
bool VerifiedSequence::selectCharset() {
    const Answer offered = ask("AT+CSCS=?\r", CommandLedger::kSelectionMs);
    if (!offered.complete()) {
        warnSilent();
        return false;
    }
    using phonebook::Charset;
    const Charset best = phonebook::choose(offered.after("+CSCS:").value_or(""));
    const std::vector<Charset> candidates =
        best != Charset::Unchanged ? std::vector{best} : std::vector{Charset::Ucs2, Charset::Gsm};
    for (const Charset candidate : candidates) {
        const Answer taken = ask("AT+CSCS=\"" + std::string(phonebook::nameOf(candidate)) + "\"\r",
                                 CommandLedger::kSelectionMs);
        if (!taken.complete()) {
            warnSilent();
            return false;
        }
        if (taken.final == Final::Ok) {
            m_charset = candidate;
            return true;
        }
    }
    m_charset = Charset::Unchanged;
    return true;
}

void VerifiedSequence::noteUnanswered(int position) {
    m_outcomes.push_back({position, false, false, {}});
}

void VerifiedSequence::noteAnswer(int position, bool done, const std::string& error) {
    m_outcomes.push_back({position, true, done, error});
}

void VerifiedSequence::change(const std::string& text, int position, bool absentIsDone) {
    if (m_stopped) {
        noteUnanswered(position);
        return;
    }
    const Answer answer = ask(text, CommandLedger::kWriteMs);
    if (!answer.complete()) {
        m_stopped = true;
        noteUnanswered(position);
        return;
    }
    const bool done = answer.final == Final::Ok || (absentIsDone && answer.final == Final::Error &&
                                                    final_answers::meansAbsent(answer.error));
    noteAnswer(position, done, answer.error);
}

void VerifiedSequence::writeEntry(int position, const std::string& number, const std::string& name) {
    if (number.empty()) {
        change(phonebook::writeCommand(position, number, {}), position, true);
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
