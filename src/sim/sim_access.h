#pragma once
// The way to the SIM that the person chose: the phone on the serial port, or a card reader. An
// exchange asks it whether anything can start, lets it send its probe, and gets the session from
// it.
#include <memory>

namespace sim {
class Session;
}

class SimAccess {
public:
    virtual ~SimAccess() = default;

    // False, after the box that says why unless quiet, when no exchange can start (the port is not
    // open, no reader is chosen).
    virtual bool ready(bool quiet) = 0;
    // Whether an exchange begins with a probe ("AT") that the device must answer first.
    virtual bool probes() const = 0;
    // Raises the line's error.
    virtual void sendProbe() = 0;
    // The session, once the probe (if one was sent) was answered; nothing, after the warning, when
    // it was not.
    virtual std::unique_ptr<sim::Session> connect(bool probeSent) = 0;
};
