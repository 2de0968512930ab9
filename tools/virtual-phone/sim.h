#pragma once
// The virtual phone's SIM: "SM" phonebook, "SM" message store and the SMS-centre number, with the
// readable state file that a test or a user inspects and preloads.
#include <map>
#include <stdexcept>
#include <string>

namespace vphone {

struct PhonebookEntry {
    std::string number;
    int type = 129;
    std::string name; // 8-bit, stored as received
};

// Message status as 27.005 numbers it in PDU mode.
enum MessageStatus { RecUnread = 0, RecRead = 1, StoUnsent = 2, StoSent = 3 };

struct StoredMessage {
    int status = StoUnsent;
    std::string pdu; // upper-case hex, SMSC part included
};

struct Sim {
    // The limits of a common 32K SIM; the tool uses positions 1-6 and 1-4 only.
    static constexpr int phonebookSize = 100;
    static constexpr int maxNumberDigits = 20;
    static constexpr int maxNameLength = 14;
    static constexpr int messageSlots = 20;

    std::map<int, PhonebookEntry> phonebook;
    std::map<int, StoredMessage> messages;
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

std::string formatState(const Sim& sim);
Sim parseState(const std::string& text); // throws StateError naming the line

// A missing file is a blank SIM; an unreadable or malformed one throws, so it is never overwritten.
Sim loadState(const std::string& path);
// Temp file and rename, so a reader never sees half a SIM.
void saveState(const Sim& sim, const std::string& path);

} // namespace vphone
