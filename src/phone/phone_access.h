#pragma once
// The SIM in a phone on the serial port: an exchange needs the port open, begins with the probe
// "AT", and speaks to the SIM through the phone's AT commands.
#include "sim/sim_access.h"

class PortLink;
struct SharedState;
namespace platform {
class Pause;
}
namespace sim {
class Prompts;
}

class PhoneAccess final : public SimAccess {
public:
    PhoneAccess(PortLink& port, SharedState& shared, platform::Pause& pause, sim::Prompts& prompts);

    bool ready(bool quiet) override;
    bool probes() const override { return true; }
    void sendProbe() override;
    std::unique_ptr<sim::Session> connect(bool probeSent) override;

private:
    PortLink& m_port;
    SharedState& m_shared;
    platform::Pause& m_pause;
    sim::Prompts& m_prompts;
};
