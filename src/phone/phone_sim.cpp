#include "phone/phone_sim.h"

#include "phone/phone_messages.h"
#include "phone/reply.h"
#include "platform/cp1250.h"
#include "sim/sim_texts.h"
#include "sms/message_set.h"
#include "sms/PDU.h"

#include <cstdlib>
#include <utility>

using final_answers::Answer;
using final_answers::Final;

namespace {

// Nobody waits longer than this for a phone to say OK to "AT".
constexpr int kProbeMs = 2000;

// Every selection on one command line, so that the phone answers them all in one round: what it
// has set now (to put it back at the end), numbered error codes, the SIM's state, the sets it
// offers and the store. A phone that refuses any of them is asked again one command at a time.
constexpr const char* kPhonebookSelections = "AT+CMEE?;+CMEE=1;+CPIN?;+CSCS=?;+CSCS?;+CPBS=\"SM\"\r";
constexpr const char* kMessageSelections = "AT+CMEE?;+CMEE=1;+CPIN?;+CMGF?;+CMGF=0;+CPMS=\"SM\",\"SM\"\r";

std::string command(const char* name, int value) {
    return name + std::to_string(value) + reply::kCR;
}

int storedIndex(const Answer& answer) {
    return std::atoi(std::string(answer.after("+CMGW:").value_or("0")).c_str());
}

// "+CMGR: <stat>,…": 0 received unread, 1 received read, 2 stored unsent, 3 stored sent.
sim::MessageStatus statusOf(const Answer& answer) {
    constexpr sim::MessageStatus kByStat[] = {sim::MessageStatus::Unread, sim::MessageStatus::Read,
                                              sim::MessageStatus::Unsent, sim::MessageStatus::Sent};
    const int stat = std::atoi(std::string(answer.after("+CMGR:").value_or("2")).c_str());
    return stat >= 0 && stat < 4 ? kByStat[stat] : sim::MessageStatus::Unsent;
}

// The TPDU's octets, as AT+CMGW names them: the PDU without its service-centre part.
std::size_t tpduLength(const std::vector<std::uint8_t>& pdu) {
    const std::size_t centre = pdu.empty() ? 0 : 1u + pdu.front();
    return pdu.size() > centre ? pdu.size() - centre : 0;
}

constexpr sim::UnfinishedTexts kBoxes{phone_messages::kWriteUnconfirmed, phone_messages::kStoreUnconfirmed,
                                      phone_messages::kDeleteUnconfirmed, phone_messages::kReadFailed};

} // namespace

PhoneSim::PhoneSim(PortLink& port, SharedState& shared, platform::Pause& pause, sim::Prompts& prompts)
    : m_line(port, shared, pause, prompts), m_changes(m_line, m_report), m_charsets(m_line, m_found),
      m_unlock(m_line, prompts) {}

bool PhoneSim::probeAnswered() {
    Answer answer = m_line.awaitAnswer(kProbeMs);
    // Half a line another program left in the phone joins the probe and spoils it once.
    if (answer.final == Final::Error)
        answer = m_line.askOnce(reply::kProbe, kProbeMs);
    if (answer.final == Final::Ok)
        return true;
    m_line.warnSilent();
    return false;
}

bool PhoneSim::open(sim::Store store) {
    if (m_opened && store == m_store)
        return true;
    m_store = store;
    m_opened = selected();
    return m_opened;
}

bool PhoneSim::selected() {
    const char* selections = m_store == sim::Store::Phonebook ? kPhonebookSelections : kMessageSelections;
    Answer answer = m_line.ask(selections, CommandLedger::kSelectionMs);
    takeFound(answer);
    if (answer.complete() && !PhoneUnlock::isReady(PhoneUnlock::stateOf(answer))) {
        if (!m_unlock.unlockFrom(PhoneUnlock::stateOf(answer)))
            return false;
        answer = m_line.ask(selections, CommandLedger::kSelectionMs);
    }
    if (!answer.complete()) {
        m_line.warnSilent();
        return false;
    }
    if (answer.final != Final::Ok || !PhoneUnlock::isReady(PhoneUnlock::stateOf(answer)))
        return selectOneByOne();
    m_charsets.take(answer);
    return true;
}

// A line that failed part way may have set what it set before the failure; putting back a setting
// that was not changed after all changes nothing.
void PhoneSim::takeFound(const Answer& answer) {
    m_found.takeFrom(answer);
    m_found.changed(FoundSettings::Setting::ErrorCodes, "1");
    if (m_store == sim::Store::Messages)
        m_found.changed(FoundSettings::Setting::MessageFormat, "0");
}

bool PhoneSim::selectOneByOne() {
    if (!askForErrorCodes() || !m_unlock.unlockAlone())
        return false;
    if (m_store == sim::Store::Phonebook)
        return askCharsets() && selectOne("AT+CPBS=\"SM\"");
    // The store for incoming messages is left as the phone has it.
    m_found.takeFrom(m_line.ask("AT+CMGF?\r", CommandLedger::kSelectionMs));
    if (!selectOne("AT+CMGF=0"))
        return false;
    m_found.changed(FoundSettings::Setting::MessageFormat, "0");
    return selectOne("AT+CPMS=\"SM\",\"SM\"");
}

bool PhoneSim::selectOne(const std::string& command) {
    Answer answer = m_line.ask(command + reply::kCR, CommandLedger::kSelectionMs);
    if (answer.final == Final::Error && final_answers::meansPinNeeded(answer.error)) {
        if (!m_unlock.enterPin())
            return false;
        answer = m_line.ask(command + reply::kCR, CommandLedger::kSelectionMs);
    }
    if (!answer.complete()) {
        m_line.warnSilent();
        return false;
    }
    if (answer.final != Final::Ok) {
        warnRefused(command, answer);
        return false;
    }
    return true;
}

// With codes an empty position, a locked or a busy SIM differ from a refusal; a bare "ERROR" tells
// none of them. A phone that cannot give codes still serves.
bool PhoneSim::askForErrorCodes() {
    m_found.takeFrom(m_line.ask("AT+CMEE?\r", CommandLedger::kSelectionMs));
    const Answer answer = m_line.ask("AT+CMEE=1\r", CommandLedger::kSelectionMs);
    if (!answer.complete()) {
        m_line.warnSilent();
        return false;
    }
    if (answer.final == Final::Ok)
        m_found.changed(FoundSettings::Setting::ErrorCodes, "1");
    return true;
}

bool PhoneSim::askCharsets() {
    const Answer offered = m_line.ask("AT+CSCS=?\r", CommandLedger::kSelectionMs);
    const Answer inUse = m_line.ask("AT+CSCS?\r", CommandLedger::kSelectionMs);
    if (!offered.complete() || !inUse.complete()) {
        m_line.warnSilent();
        return false;
    }
    m_found.takeFrom(inUse);
    Answer both = offered;
    both.lines.insert(both.lines.end(), inUse.lines.begin(), inUse.lines.end());
    m_charsets.take(both);
    return true;
}

void PhoneSim::warnRefused(const std::string& command, const Answer& answer) {
    if (final_answers::meansPukNeeded(answer.error)) {
        m_unlock.tellBlocked();
        return;
    }
    const std::string cause = PhoneLine::causeOf(answer);
    const std::string text = sim::filledIn(phone_messages::kCommandRefused, platform::cp1250ToUtf8(command));
    m_line.warn(cause.empty() ? text : text + '\n' + cause);
}

std::optional<Answer> PhoneSim::read(const std::string& command, int position) {
    m_changes.send();
    if (!m_line.stopped() && m_store == sim::Store::Phonebook)
        m_charsets.settle([this] { return m_charsets.forReading(); });
    if (m_line.stopped()) {
        m_report.unanswered(position);
        return std::nullopt;
    }
    const Answer answer = m_line.ask(command, CommandLedger::kReadMs);
    if (!answer.complete()) {
        m_line.stop();
        m_report.unanswered(position);
        return std::nullopt;
    }
    if (answer.final == Final::Ok) {
        m_report.answered(position, true);
        return answer;
    }
    if (answer.final == Final::Error && final_answers::meansAbsent(answer.error)) {
        m_report.answered(position, true);
        return Answer{Final::Ok, {}, {}};
    }
    m_report.answered(position, false, PhoneLine::causeOf(answer));
    return std::nullopt;
}

std::optional<sim::Entry> PhoneSim::readEntry(int position) {
    const auto answer = read(phonebook::readCommand(position), position);
    if (!answer)
        return std::nullopt;
    const auto entry = phonebook::entryOf(*answer, position);
    if (!entry)
        return sim::Entry{};
    return sim::Entry{phonebook::decodeNumber(entry->number, m_charsets.inUse()),
                      phonebook::decodeName(entry->name, m_charsets.inUse())};
}

// The PDU is the line of hex digits after the "+CMGR:" line; an unsolicited code may come between.
std::optional<sim::Message> PhoneSim::readMessage(int position) {
    const auto answer = read(command("AT+CMGR=", position), position);
    if (!answer)
        return std::nullopt;
    const auto hex = answer->hexLineAfter("+CMGR:");
    if (!hex)
        return sim::Message{};
    const auto pdu = PDU::HexToOctets(*hex);
    if (!pdu) {
        unreadable(position, sim_texts::kBrokenMessage);
        return std::nullopt;
    }
    return sim::Message{statusOf(*answer), *pdu};
}

void PhoneSim::writeEntry(int position, const sim::Entry& entry) {
    if (entry.number.empty()) {
        m_changes.add(phonebook::writeCommand(position, entry.number, {}), position, true);
        return;
    }
    // The names waiting are in the set in use.
    if (m_charsets.forName(entry.name) != m_charsets.inUse())
        m_changes.send();
    if (m_line.stopped() || !m_charsets.settleForName(entry.name)) {
        m_report.unanswered(position);
        return;
    }
    const auto encoded = phonebook::encodeName(entry.name, m_charsets.inUse());
    if (!encoded) {
        m_report.answered(position, false);
        return;
    }
    m_changes.add(phonebook::writeCommand(position, entry.number, *encoded), position);
}

void PhoneSim::eraseMessage(int position) {
    m_changes.add(command("AT+CMGD=", position), position, true);
}

// The phone keeps every message it is given as stored and unsent, which is what the alarm needs.
void PhoneSim::writeMessage(int position, const sim::Message& message) {
    if (!std::exchange(m_alarmMessagesEmptied, true))
        for (int each = 1; each <= message_set::kPositions; ++each)
            m_changes.add(command("AT+CMGD=", each), 0, true);
    m_changes.send();
    if (m_line.stopped()) {
        m_report.unanswered(position);
        return;
    }
    Answer answer = m_line.ask(command("AT+CMGW=", int(tpduLength(message.pdu))), CommandLedger::kWriteMs);
    if (answer.final == Final::Prompt)
        answer = m_line.askOnce(PDU::OctetsToHex(message.pdu) + reply::kCtrlZ, CommandLedger::kWriteMs);
    if (!answer.complete() || answer.final == Final::Prompt) {
        // A phone still in message entry would take the next command as text.
        m_line.cancelMessage();
        m_line.stop();
        m_report.unanswered(position);
        return;
    }
    m_report.answered(position, answer.final == Final::Ok && storedIndex(answer) == position,
                      PhoneLine::causeOf(answer));
}

void PhoneSim::unreadable(int position, const std::string& cause) {
    m_report.answered(position, false, cause);
}

bool PhoneSim::finish(sim::Unfinished box) {
    if (m_changes.send(m_found.restoreCommand()))
        m_found.putBack();
    const sim::PositionReport report = std::exchange(m_report, {});
    if (report.nothingAnswered()) {
        m_line.warnSilent();
        return false;
    }
    const auto told = report.box(kBoxes.of(box));
    if (!told)
        return true;
    m_line.warn(*told);
    return false;
}

void PhoneSim::close() {
    const std::string putBack = m_found.restoreCommand();
    if (!putBack.empty() && !m_line.lineLost())
        m_line.askOnce(putBack, CommandLedger::kSelectionMs);
}
