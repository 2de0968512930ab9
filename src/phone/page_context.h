#pragma once
// Everything a page needs from the main window, handed over by reference when the page is made.

class PortLink;
struct SharedState;
class UserDialogs;
class ErrorReport;
class ExchangeLock;
namespace platform {
class Pause;
}

struct PageContext {
    PortLink& port;
    SharedState& shared;
    UserDialogs& dialogs;
    ErrorReport& errors; // what escapes a click or a tick
    platform::Pause& pause;
    ExchangeLock& exchanges;
};
