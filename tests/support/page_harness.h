#pragma once
// A page with everything it takes from the main window faked: a recording port, the shared state,
// scripted dialogs, a pause that does not wait, and the exchange lock.
#include "phone/exchange_lock.h"
#include "phone/page_context.h"
#include "phone/shared_state.h"
#include "platform/pause.h"
#include "support/fake_port.h"
#include "support/scripted_dialogs.h"

#include <functional>
#include <string>
#include <vector>

// The pause of a sequence; lets a test look at the page at each fixed wait. Nothing arrives while
// it waits for answers: those the fake phone gives are there at once.
class WatchingPause final : public platform::Pause {
public:
    std::vector<int> waits;
    std::function<void()> onWait;

    void wait(int milliseconds) override {
        waits.push_back(milliseconds);
        if (onWait)
            onWait();
    }
    bool waitUntil(const std::function<bool()>& done, int) override { return done(); }
};

struct PageHarness {
    PageHarness() : context{port, shared, dialogs, pause, exchanges} { port.transcript = &shared.Transcript; }

    FakePort port;
    SharedState shared;
    ScriptedDialogs dialogs;
    WatchingPause pause;
    ExchangeLock exchanges;
    PageContext context;
};

// Phonebook read replies as a phone with command echo gives them.
inline std::string entryReply(int position, const std::string& number, const std::string& name) {
    const std::string n = std::to_string(position);
    return "AT+CPBR=" + n + "\r\r\n+CPBR: " + n + ",\"" + number + "\",145,\"" + name + "\"\r\n\r\nOK\r\n";
}

inline std::string emptyReply(int position) {
    return "AT+CPBR=" + std::to_string(position) + "\r\r\nOK\r\n";
}
