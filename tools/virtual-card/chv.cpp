#include "chv.h"

#include <algorithm>

namespace vcard {

Chv1::Chv1(const std::string& pin, int tries, const std::string& puk, int unblockTries)
    : m_pin(padded(pin)), m_puk(padded(puk)), m_tries(tries), m_unblockTries(unblockTries),
      m_enabled(!pin.empty()) {}

Chv1::Code Chv1::padded(const std::string& digits) {
    Code code;
    code.fill(0xFF);
    std::copy_n(digits.begin(), std::min(digits.size(), code.size()), code.begin());
    return code;
}

bool Chv1::same(const Code& code, std::span<const std::uint8_t> given) {
    return std::equal(code.begin(), code.end(), given.begin(), given.end());
}

Chv1::Outcome Chv1::spend(int& tries) {
    if (tries > 0)
        --tries;
    return tries == 0 ? Outcome::Blocked : Outcome::Wrong;
}

Chv1::Outcome Chv1::verify(std::span<const std::uint8_t> code) {
    if (!m_enabled)
        return Outcome::Disabled;
    if (m_tries == 0)
        return Outcome::Blocked;
    if (!same(m_pin, code)) {
        m_verified = false;
        return spend(m_tries);
    }
    m_tries = maxTries;
    m_verified = true;
    return Outcome::Right;
}

Chv1::Outcome Chv1::unblock(std::span<const std::uint8_t> puk, std::span<const std::uint8_t> newPin) {
    if (m_unblockTries == 0)
        return Outcome::Blocked;
    if (!same(m_puk, puk))
        return spend(m_unblockTries);
    std::copy(newPin.begin(), newPin.end(), m_pin.begin());
    m_unblockTries = maxUnblockTries;
    m_tries = maxTries;
    m_enabled = true;
    m_verified = true;
    return Outcome::Right;
}

} // namespace vcard
