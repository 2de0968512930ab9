#pragma once
// The way to the SIM the person chose last, which the exchanges of the pages and the command line
// go through: the phone on a port, or a card reader, swapped as the choice changes.
#include "sim/sim_access.h"

class ChosenAccess final : public SimAccess {
public:
    explicit ChosenAccess(SimAccess& first) : m_chosen(&first) {}

    void choose(SimAccess& access) { m_chosen = &access; }

    bool ready(bool quiet) override { return m_chosen->ready(quiet); }
    bool probes() const override { return m_chosen->probes(); }
    void sendProbe() override { m_chosen->sendProbe(); }
    std::unique_ptr<sim::Session> connect(bool probeSent) override { return m_chosen->connect(probeSent); }

private:
    SimAccess* m_chosen;
};
