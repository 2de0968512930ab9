#pragma once
// A phone sequence whose every command waits for the phone's answer to the last, and whose every
// selection, change and read the phone must answer. The selections come first (numbered error
// codes, the SIM's PIN, the character set, the stores) and stop the sequence when the phone refuses them or
// does not answer. A command the phone does not answer in time ends the sequence: nothing more is sent. What
// was not confirmed or could not be read is told once, at the end, in one box. The settings it
// changed in the phone go back to what they were when the sequence ends, however it ends, unless
// the line has gone.
#include "phone/command_ledger.h"
#include "phone/found_settings.h"
#include "phone/phonebook.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct PageContext;

enum class SimStore {
    Phonebook, // the SIM's phonebook, names in a character set chosen for them
    Messages,  // PDU mode and the SIM's message store for reading, deleting and writing
};

class VerifiedSequence {
public:
    explicit VerifiedSequence(PageContext& context);
    VerifiedSequence(const VerifiedSequence&) = delete;
    VerifiedSequence& operator=(const VerifiedSequence&) = delete;
    ~VerifiedSequence();

    // Waits for the answer to the probe the exchange began with; false, after the warning that the
    // phone does not answer, when it did not say OK.
    bool probeAnswered();

    // False, after a warning that says why, when nothing more may be sent: a PIN the user did not
    // give, a blocked SIM, a refused selection, a phone that does not answer.
    bool select(SimStore store);

    // A command that changes the SIM; a position of 0 is never named to the user. Changes wait and
    // go together on one command line with the next command of another kind, or at the end (with
    // what puts back the phone's settings): one round with the phone instead of one each. The
    // phone's OK confirms every one of them; a refusal has each sent again alone, to tell which.
    void change(const std::string& text, int position, bool absentIsDone = false);
    // A phonebook entry, its name in the set that carries it at the least room on the SIM. A name no
    // set the phone takes can carry is not sent, and its position counts as not confirmed.
    void writeEntry(int position, const std::string& number, const std::string& name);
    // AT+CMGW, then the PDU after the prompt; stored only where "+CMGW: n" names the position.
    // prompted runs between the two.
    void storeMessage(const std::string& command, const std::string& pdu, int position,
                      const std::function<void()>& prompted);
    // The answer to a read of that position; an empty position ("not found") answers like OK
    // without a line. Nothing when the phone refused the read or did not answer. Phonebook names
    // are read in the set that carries every name.
    std::optional<final_answers::Answer> read(const std::string& text, int position);

    // The set in use: the one the last name was written or read in.
    phonebook::Charset charset() const { return m_charset; }

    // Tells in one box which positions the phone did not confirm or could not read (text names them
    // in %1), or that it answered nothing at all. True when every one went well.
    bool finish(const char* text);

private:
    struct Change {
        std::string command;
        int position = 0;
        bool absentIsDone = false;
    };
    struct Outcome {
        int position = 0;
        bool answered = false;
        bool done = false;
        std::string error;
    };

    // ask(), again while the SIM says it is busy.
    final_answers::Answer ask(const std::string& text, int timeoutMs);
    bool selectOne(const std::string& command);
    bool selectOneByOne(SimStore store);
    void takeFound(const final_answers::Answer& answer, SimStore store);
    void takeSelected(const final_answers::Answer& answer);
    bool askForErrorCodes();
    bool unlockSim();
    // The SIM in the state AT+CPIN? named: false, after the warning, when it stays locked.
    bool unlockFrom(const std::string& state);
    bool enterPin();
    bool askCharsets();
    // False when the phone refused the set (it is not offered again) or did not answer.
    bool useCharset(phonebook::Charset charset);
    bool settleCharset(const std::function<phonebook::Charset()>& wanted);
    void putBackSettings();
    void sendChanges(bool withPutBack);
    void sendAlone(const Change& change);
    void noteUnanswered(int position);
    void noteAnswer(int position, bool done, const std::string& error = {});
    void warnRefused(const std::string& command, const std::string& error);
    void warnSilent();

    PageContext& m_context;
    CommandLedger m_ledger;
    bool m_stopped = false; // the phone stopped answering: nothing more is sent
    int m_uncaught;         // errors in flight when the sequence began
    SimStore m_store = SimStore::Messages;
    phonebook::Charset m_charset = phonebook::Charset::Unchanged;
    std::vector<phonebook::Charset> m_usableCharsets;
    FoundSettings m_found;
    std::set<std::string> m_refusedPins;
    std::vector<Change> m_waiting;
    std::vector<Outcome> m_outcomes;
};
