#include "phone/phone_access.h"

#include "phone/phone_messages.h"
#include "phone/phone_sim.h"
#include "phone/port_link.h"
#include "phone/reply.h"
#include "sim/prompts.h"

PhoneAccess::PhoneAccess(PortLink& port, SharedState& shared, platform::Pause& pause, sim::Prompts& prompts)
    : m_port(port), m_shared(shared), m_pause(pause), m_prompts(prompts) {}

bool PhoneAccess::ready(bool quiet) {
    if (m_port.IsOpen())
        return true;
    if (!quiet)
        m_prompts.error(phone_messages::kPortNotOpen);
    return false;
}

void PhoneAccess::sendProbe() {
    m_port.SendText(reply::kProbe);
}

std::unique_ptr<sim::Session> PhoneAccess::connect(bool probeSent) {
    auto phone = std::make_unique<PhoneSim>(m_port, m_shared, m_pause, m_prompts);
    if (probeSent && !phone->probeAnswered())
        return nullptr;
    return phone;
}
