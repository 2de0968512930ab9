#pragma once
// The SIM in a card reader, spoken to as the alarm will: GSM (class A0) commands on DF_TELECOM's
// EF_ADN and EF_SMS, record lengths and counts from the files' headers. The PIN's tries are read
// before any VERIFY, no PIN is sent while CHV1 is off, and the last try is spent only when the
// person may (the window asks naming it; the command line needs --last-try). Every write is read
// back: a record counts as written only when the card holds it.
#include "card/gsm_card.h"
#include "sim/pin_rules.h"
#include "sim/position_report.h"
#include "sim/session.h"

#include <functional>
#include <memory>
#include <string>

namespace card {

class CardSim final : public sim::Session {
public:
    struct Options {
        std::string reader;             // named in the texts of a fault
        bool mayUseLastTry = false;     // the person consented to the PIN's last try
        std::function<void()> linkLost; // the card went away: the next exchange connects afresh
    };
    CardSim(std::shared_ptr<platform::SmartCardLink> link, platform::Pause& pause, sim::Prompts& prompts,
            Options options);

    bool open(sim::Store store) override;
    std::optional<sim::Entry> readEntry(int position) override;
    std::optional<sim::Message> readMessage(int position) override;
    void writeEntry(int position, const sim::Entry& entry) override;
    void writeMessage(int position, const sim::Message& message) override;
    void eraseMessage(int position) override;
    void unreadable(int position, const std::string& cause) override;
    bool finish(sim::Unfinished box) override;
    void close() override {}

private:
    std::optional<FileHeader> selectFile(sim::Store store);
    bool unlock();
    std::optional<int> triesLeft();
    // False, having told why, when the card refused the file or went away.
    bool refusedFile(std::uint16_t fid);
    std::optional<std::vector<std::uint8_t>> read(int position);
    void write(int position, const std::vector<std::uint8_t>& record);
    // The cause of the last failure: the card's status word, or the link's fault.
    std::string cause();
    void noteLink();

    std::shared_ptr<platform::SmartCardLink> m_link;
    GsmCard m_card;
    sim::Prompts& m_prompts;
    Options m_options;
    sim::PinRules m_pins;
    sim::PositionReport m_report;
    FileHeader m_file;
    std::optional<sim::Store> m_opened; // a store already open in the exchange is not selected again
    bool m_gone = false;
};

} // namespace card
