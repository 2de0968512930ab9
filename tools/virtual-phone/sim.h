#pragma once
// The virtual phone's SIM: "SM" phonebook, "SM" message store and the SMS-centre number, and the
// phone's own memory beside it, with the readable state file that a test or a user inspects and
// preloads.
#include <map>
#include <stdexcept>
#include <string>

namespace vphone {

// How the SIM keeps a name: in the GSM alphabet, a byte a septet, or in UCS2, two bytes a
// character and one that marks the coding.
enum class NameCoding { Gsm, Ucs2 };

struct PhonebookEntry {
    std::string number;
    int type = 129;
    std::string name; // 8-bit, stored as received
    NameCoding coding = NameCoding::Gsm;
};

// Message status as 27.005 numbers it in PDU mode.
enum MessageStatus { RecUnread = 0, RecRead = 1, StoUnsent = 2, StoSent = 3 };

struct StoredMessage {
    int status = StoUnsent;
    std::string pdu; // upper-case hex, SMSC part included
};

struct Phonebook {
    int size = 100;
    int nameLength = 14;
    std::map<int, PhonebookEntry> entries;
    int nameBytes = 0; // the room a name has on the SIM; 0: characters alone count
};

struct MessageStore {
    int size = 20;
    std::map<int, StoredMessage> messages;
};

struct Sim {
    // Numbers are limited by the format of the phonebook record, not by the size of the SIM.
    static constexpr int maxNumberDigits = 20;

    // The limits of a common 32K SIM unless told otherwise; the tool uses positions 1-6 and 1-4 only.
    Phonebook phonebook;
    MessageStore messages;
    // The phone's own memory ("ME"), kept apart so that a test sees what landed on the SIM.
    Phonebook phonePhonebook{250, 20, {}};
    MessageStore phoneMessages{50, {}};
    std::string centre = "+420603052000";
    int centreType = 145;
};

class StateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "+" counts as the international prefix, not as a digit.
enum class NumberCheck { Ok, TooLong, BadCharacter };
NumberCheck checkNumber(const std::string& number);
int defaultNumberType(const std::string& number);

// Hex of a PDU as stored: upper case, whitespace removed. Empty when it is not whole octets of hex.
std::string normalisePdu(const std::string& hex);
// Octets after the SMSC part, or -1 when the SMSC length octet runs past the end.
int tpduLength(const std::string& pduHex);

// A name that came in the GSM alphabet or IRA: in the SIM's alphabet when every character has a
// form there, else in UCS2, so that the characters it lacks are kept.
NameCoding plainCoding(const std::string& name);
// Within the phonebook's characters and, coded so, its bytes.
bool nameFits(const Phonebook& book, const std::string& name, NameCoding coding);

std::string formatState(const Sim& sim);
// Fills a blank SIM, whose sizes the entries must fit; throws StateError naming the line.
Sim parseState(const std::string& text, Sim blank = {});

// A missing file is the blank SIM; an unreadable or malformed one throws, so it is never overwritten.
Sim loadState(const std::string& path, Sim blank = {});
// Temp file and rename, so a reader never sees half a SIM.
void saveState(const Sim& sim, const std::string& path);

} // namespace vphone
