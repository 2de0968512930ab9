#include "sim_lock.h"

namespace vphone {

SimLock::SimLock(std::string pin, int tries, bool loadsAfterPin)
    : m_pin(std::move(pin)), m_triesLeft(tries), m_loadsAfterPin(loadsAfterPin),
      m_state(m_pin.empty() ? State::Ready
              : tries > 0   ? State::AsksPin
                            : State::Blocked) {}

// Unblocking with the PUK is not offered, so a blocked SIM stays blocked until the next start.
SimLock::Entry SimLock::enter(const std::string& pin) {
    if (m_state == State::Blocked)
        return Entry::Blocked;
    if (m_state != State::AsksPin)
        return Entry::NotAsked;
    if (pin == m_pin) {
        m_state = m_loadsAfterPin ? State::Loading : State::Ready;
        return Entry::Right;
    }
    if (--m_triesLeft == 0)
        m_state = State::Blocked;
    return Entry::Wrong;
}

void SimLock::loaded() {
    if (m_state == State::Loading)
        m_state = State::Ready;
}

} // namespace vphone
