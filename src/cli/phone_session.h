#pragma once
// The phone as the command line reaches it: the window's port component, engine, delivery and
// live pause under the application's event loop, the shared state the pages use, and one set's
// exchange at a time, begun and ended as a page begins and ends it.
#include "app/error_report.h"
#include "cli/alarm_set.h"
#include "cli/port_choice.h"
#include "phone/exchange_lock.h"
#include "phone/live_pause.h"
#include "phone/page_context.h"
#include "phone/phone_port.h"
#include "phone/shared_state.h"
#include "serial/AfSafeSync.h"

#include <functional>
#include <QObject>
#include <string>

class PhoneSession {
public:
    PhoneSession(const std::string& settingsDirectory, const std::string& smscNumber, UserDialogs& dialogs);
    ~PhoneSession();

    // Raises the port's error.
    void open(const PortChoice& port);

    // The set's exchange, probe first where its page sends one; the steps run once the phone has
    // answered it.
    TransferOutcome exchange(const AlarmSet& set,
                             const std::function<TransferOutcome(VerifiedSequence&)>& steps);

    PageContext& context() { return m_context; }

private:
    // The device went away under the open port (a cable pulled out): closed at once, so the
    // running exchange stops waiting and the next one is refused.
    void portLost();

    TAfSafeSync m_delivery;
    LivePause m_pause;
    SharedState m_shared;
    ExchangeLock m_exchanges;
    ErrorReport m_errors;
    PhonePort m_line;
    PageContext m_context;
    QObject m_owner; // holds the exchange lock while a set's exchange runs
};
