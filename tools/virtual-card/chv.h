#pragma once
// CHV1 and its UNBLOCK CHV1 as the card keeps them: enabled or not, the tries left of each, and
// whether CHV1 has been verified since the card was last reset. Codes are the 8 bytes of the
// command, ASCII digits padded with FF.
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace vcard {

class Chv1 {
public:
    static constexpr int maxTries = 3;
    static constexpr int maxUnblockTries = 10;
    using Code = std::array<std::uint8_t, 8>;

    enum class Outcome { Right, Wrong, Blocked, Disabled };

    // An empty PIN is a CHV1 that is disabled.
    Chv1(const std::string& pin, int tries, const std::string& puk, int unblockTries);

    bool enabled() const { return m_enabled; }
    bool satisfied() const { return !m_enabled || m_verified; }
    int triesLeft() const { return m_tries; }
    int unblockTriesLeft() const { return m_unblockTries; }

    Outcome verify(std::span<const std::uint8_t> code);
    // A right PUK sets the new PIN, enables and verifies CHV1 and gives back every try.
    Outcome unblock(std::span<const std::uint8_t> puk, std::span<const std::uint8_t> newPin);
    // A reset or power-off.
    void forget() { m_verified = false; }

private:
    static Code padded(const std::string& digits);
    static bool same(const Code& code, std::span<const std::uint8_t> given);
    // Spends one of `tries` on a wrong code; none left is blocked.
    static Outcome spend(int& tries);

    Code m_pin;
    Code m_puk;
    int m_tries;
    int m_unblockTries;
    bool m_enabled;
    bool m_verified = false;
};

} // namespace vcard
