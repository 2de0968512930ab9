#pragma once
// A page with everything it takes from the main window faked: a recording port with a phone behind
// it, the shared state, scripted dialogs, a pause that does not wait, and the exchange lock.
#include "app/error_report.h"
#include "backup/backup_folder.h"
#include "exchange/exchange_lock.h"
#include "phone/phone_access.h"
#include "phone/shared_state.h"
#include "platform/pause.h"
#include "support/fake_port.h"
#include "support/scripted_dialogs.h"
#include "widgets/dialog_prompts.h"
#include "widgets/page_context.h"

#include <functional>
#include <QTemporaryDir>
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
    PageHarness() {
        port.transcript = &shared.Transcript;
        port.phone = &phone;
    }

    FakePhone phone;
    FakePort port;
    SharedState shared;
    ScriptedDialogs dialogs;
    ErrorReport errors{dialogs};
    WatchingPause pause;
    ExchangeLock exchanges;
    DialogPrompts prompts{dialogs};
    PhoneAccess access{port, shared, pause, prompts};
    ExchangeContext exchange{access, shared, prompts, pause, exchanges};
    QTemporaryDir settings;
    BackupFolder backups{settings.filePath("zalohy")};
    PageContext context{exchange, dialogs, errors, backups};
};

// The selections of every phonebook exchange, on one line.
inline const std::vector<std::string> kPhonebookSelections = {
    "AT+CMEE?;+CMEE=1;+CPIN?;+CSCS=?;+CSCS?;+CPBS=\"SM\"\r"};

// What follows the echo of a phonebook read.
inline std::string entryAnswer(int position, const std::string& number, const std::string& name) {
    return "\r\n+CPBR: " + std::to_string(position) + ",\"" + number + "\",145,\"" + name +
           "\"\r\n\r\nOK\r\n";
}
