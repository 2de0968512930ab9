#pragma once
// A phone sequence whose every selection and change the phone must confirm. The selections come
// first and stop the sequence when the phone refuses them or does not answer; what the changes did
// not get confirmed is told once, at the end, in one box.
#include "phone/command_ledger.h"

#include <initializer_list>
#include <string>

struct PageContext;

namespace sim_stores {
// The SIM's phonebook, for every phonebook exchange.
inline constexpr std::initializer_list<const char*> kPhonebook = {"AT+CPBS=\"SM\""};
// PDU mode and the SIM's message store for reading, deleting and writing; the store for incoming
// messages is left as the phone has it.
inline constexpr std::initializer_list<const char*> kMessages = {"AT+CMGF=0", "AT+CPMS=\"SM\",\"SM\""};
} // namespace sim_stores

class VerifiedSequence {
public:
    explicit VerifiedSequence(PageContext& context);

    // Each command (without its CR) must be answered OK before the next is sent. False, after the
    // warning that names the refused command or says the phone does not answer, when nothing more
    // may be sent.
    bool select(std::initializer_list<const char*> commands);

    void send(const std::string& text, const final_answers::Expectation& expected);
    void sendRest(const std::string& text);
    // The sequence's fixed pause; none once the line has gone, as nothing more can be sent.
    void pause(int milliseconds);

    // Waits for the last answers, then tells in one box which positions the phone did not confirm
    // (unconfirmedText names them in %1), or that it answered nothing at all. True when all were.
    bool finish(const char* unconfirmedText);

private:
    PageContext& m_context;
    CommandLedger m_ledger;
    std::size_t m_firstChange = 0; // the commands before it are selections
};
