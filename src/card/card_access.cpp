#include "card/card_access.h"

#include "sim/prompts.h"

#include <utility>

namespace card {

CardAccess::CardAccess(std::string reader, platform::Pause& pause, sim::Prompts& prompts, Hold hold,
                       bool mayUseLastTry)
    : m_reader(std::move(reader)), m_pause(pause), m_prompts(prompts), m_hold(hold),
      m_mayUseLastTry(mayUseLastTry) {}

std::shared_ptr<platform::SmartCardLink> CardAccess::openCard() {
    if (m_held)
        return m_held;
    platform::SmartCardError error;
    std::shared_ptr<platform::SmartCardLink> card = platform::SmartCardSession::open(m_reader, error);
    if (!card) {
        m_prompts.warn(platform::smartCardFaultText(error, m_reader));
        return nullptr;
    }
    if (m_hold == Hold::WholeRun)
        m_held = card;
    return card;
}

std::unique_ptr<sim::Session> CardAccess::connect(bool) {
    auto card = openCard();
    if (!card)
        return nullptr;
    return std::make_unique<CardSim>(std::move(card), m_pause, m_prompts,
                                     CardSim::Options{m_reader, m_mayUseLastTry, [this] { m_held.reset(); }});
}

} // namespace card
