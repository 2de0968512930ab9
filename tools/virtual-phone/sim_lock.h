#pragma once
// The SIM's PIN as the phone sees it after power-on: asked for until the right one is entered,
// blocked by the last wrong try, and on request busy for a while after the right one, as a SIM that
// loads its files. Kept in memory only: every start is a power-on.
#include <string>

namespace vphone {

class SimLock {
public:
    enum class State { Ready, AsksPin, Blocked, Loading };
    enum class Entry { Right, Wrong, Blocked, NotAsked };

    // An empty PIN is a SIM that asks for none; no tries left is a blocked one.
    SimLock(std::string pin, int tries, bool loadsAfterPin);

    State state() const { return m_state; }
    Entry enter(const std::string& pin);
    void loaded();

private:
    std::string m_pin;
    int m_triesLeft;
    bool m_loadsAfterPin;
    State m_state;
};

} // namespace vphone
