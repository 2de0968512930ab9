#pragma once
// The SIM in a card reader the person chose: no probe; each exchange is one PC/SC transaction on one
// connection, so that no other program comes between a VERIFY, the writes and their read-back.
// The window opens the card for each exchange, and closing resets it, so no verification outlives
// the exchange; the command line keeps it for its whole run, so that its sets need the PIN once.
#include "card/card_sim.h"
#include "sim/sim_access.h"

#include <memory>
#include <string>

namespace sim {
class Prompts;
}

namespace card {

class CardAccess final : public SimAccess {
public:
    enum class Hold { EachExchange, WholeRun };
    CardAccess(std::string reader, platform::Pause& pause, sim::Prompts& prompts, Hold hold,
               bool mayUseLastTry);

    const std::string& reader() const { return m_reader; }

    bool ready(bool) override { return true; }
    bool probes() const override { return false; }
    void sendProbe() override {}
    std::unique_ptr<sim::Session> connect(bool probeSent) override;

private:
    std::shared_ptr<platform::SmartCardLink> openCard();

    std::string m_reader;
    platform::Pause& m_pause;
    sim::Prompts& m_prompts;
    Hold m_hold;
    bool m_mayUseLastTry;
    std::shared_ptr<platform::SmartCardLink> m_held;
};

} // namespace card
