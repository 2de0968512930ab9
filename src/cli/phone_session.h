#pragma once
// The phone as the command line reaches it: the window's port component, engine and delivery under
// the application's event loop, the shared state the pages use, and one set's exchange at a time,
// begun and ended by the runner the pages use.
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

#include <functional>
#include <string>

class PhoneSession {
public:
    PhoneSession(const std::string& settingsDirectory, const std::string& smscNumber, sim::Prompts& prompts);
    ~PhoneSession();

    // Raises the port's error.
    void open(const PortChoice& port);

    // The set's exchange, probe first where its page sends one; the steps run once the phone has
    // answered it.
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
    PhoneAccess m_access;
    ExchangeContext m_context;
    ExchangeRunner m_runner;
};
