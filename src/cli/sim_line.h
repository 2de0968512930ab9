#pragma once
// The SIM as the command line reaches it, a phone on a port or a card in a reader: the window's port
// component, engine and delivery under the application's event loop, the shared state the pages
// use, and one set's exchange at a time, begun and ended by the runner the pages use. The card is
// held for the whole run, so that its PIN is asked once.
#include "card/card_access.h"
#include "cli/alarm_set.h"
#include "cli/port_choice.h"
#include "exchange/event_loop_pause.h"
#include "exchange/exchange_context.h"
#include "exchange/exchange_lock.h"
#include "exchange/exchange_runner.h"
#include "exchange/phone_port.h"
#include "phone/phone_access.h"
#include "phone/shared_state.h"
#include "serial/AfSafeSync.h"
#include "sim/chosen_access.h"

#include <memory>
#include <string>

class SimLine {
public:
    SimLine(const std::string& settingsDirectory, const std::string& smscNumber, sim::Prompts& prompts);
    ~SimLine();

    // Raises the port's error.
    void openPort(const PortChoice& port);
    // mayUseLastTry: the person consented to spending the PIN's last try (--last-try).
    void useReader(const std::string& reader, bool mayUseLastTry);

    // The set's exchange, probe first where its page sends one to a phone; the steps run once the
    // phone has answered it.
    TransferOutcome exchange(const AlarmSet& set, const ExchangeRunner::Steps& steps);

    ExchangeContext& context() { return m_context; }

private:
    // The device went away under the open port (a cable pulled out): closed at once, so the
    // running exchange stops waiting and the next one is refused.
    void portLost();

    TAfSafeSync m_delivery;
    EventLoopPause m_pause;
    SharedState m_shared;
    ExchangeLock m_exchanges;
    PhonePort m_line;
    sim::Prompts& m_prompts;
    PhoneAccess m_phone;
    std::unique_ptr<card::CardAccess> m_card;
    ChosenAccess m_access{m_phone};
    ExchangeContext m_context;
    ExchangeRunner m_runner;
};
