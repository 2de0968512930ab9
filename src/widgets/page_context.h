#pragma once
// Everything a page needs from the main window, handed over by reference when the page is made.
#include "exchange/exchange_context.h"

class BackupFolder;
class ErrorReport;
class UserDialogs;

struct PageContext {
    ExchangeContext& exchange;
    UserDialogs& dialogs;
    ErrorReport& errors;   // what escapes a click or a tick
    BackupFolder& backups; // where a write keeps what it replaces

    SharedState& shared() const { return exchange.shared; }
};
