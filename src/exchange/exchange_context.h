#pragma once
// What an exchange with the SIM needs, for the window's pages and the command line alike, handed
// over by reference.
class ExchangeLock;
class SimAccess;
struct SharedState;
namespace platform {
class Pause;
}
namespace sim {
class Prompts;
}

struct ExchangeContext {
    SimAccess& access;
    SharedState& shared;
    sim::Prompts& prompts;
    platform::Pause& pause;
    ExchangeLock& exchanges;
};
