#pragma once
// The SIM as a phone reaches it with AT commands. Every command waits for the phone's answer to the
// last, and every selection, change and read must be answered. The selections come first (numbered
// error codes, the SIM's PIN, the character set, the store) and stop the exchange when the phone
// refuses them or does not answer; a command the phone does not answer in time ends it: nothing more
// is sent. The settings it changed in the phone go back to what they were at close().
#include "phone/change_batch.h"
#include "phone/found_settings.h"
#include "phone/name_charsets.h"
#include "phone/phone_line.h"
#include "phone/phone_unlock.h"
#include "sim/position_report.h"
#include "sim/session.h"

#include <optional>
#include <string>

class PhoneSim final : public sim::Session {
public:
    PhoneSim(PortLink& port, SharedState& shared, platform::Pause& pause, sim::Prompts& prompts);

    // Waits for the answer to the probe the exchange began with; false, after the warning that the
    // phone does not answer, when it did not say OK.
    bool probeAnswered();

    // A store already open in this exchange is not selected again: a read and the write after it
    // share one probe, one PIN and one selection.
    bool open(sim::Store store) override;
    std::optional<sim::Entry> readEntry(int position) override;
    std::optional<sim::Message> readMessage(int position) override;
    // A name no set the phone takes can carry is not sent, and its position counts as not confirmed.
    void writeEntry(int position, const sim::Entry& entry) override;
    // AT+CMGW stores a message in the first free position, so the alarm's positions are emptied
    // before the first one is stored, and a message counts as stored only where "+CMGW: n" names
    // its own position.
    void writeMessage(int position, const sim::Message& message) override;
    void eraseMessage(int position) override;
    void unreadable(int position, const std::string& cause) override;
    // Tells the positions since the last finish: a read's before a write's.
    bool finish(sim::Unfinished box) override;
    void close() override;

private:
    // The selections on one line, or one by one where the phone refuses the line.
    bool selected();
    void takeFound(const final_answers::Answer& answer);
    bool selectOneByOne();
    bool selectOne(const std::string& command);
    bool askForErrorCodes();
    bool askCharsets();
    void warnRefused(const std::string& command, const final_answers::Answer& answer);
    // The answer to a read of that position; an empty position ("not found") answers like OK
    // without a line. Nothing when the phone refused the read or did not answer.
    std::optional<final_answers::Answer> read(const std::string& command, int position);

    PhoneLine m_line;
    sim::PositionReport m_report;
    FoundSettings m_found;
    ChangeBatch m_changes;
    NameCharsets m_charsets;
    PhoneUnlock m_unlock;
    sim::Store m_store = sim::Store::Messages;
    bool m_opened = false;
    bool m_alarmMessagesEmptied = false;
};
