#pragma once
// What the alarm keeps on its SIM, in SIM terms, whichever way the tool reaches the SIM: phonebook
// entries by position and SMS records by position. Texts are Windows-1250.
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// The two parts of the SIM an exchange works on.
enum class Store { Phonebook, Messages };

// A phonebook entry; an empty number is an empty position, whatever the name.
struct Entry {
    std::string number;
    std::string name;
    bool operator==(const Entry&) const = default;
};

// The status byte of an SMS record, as the SIM keeps it.
enum class MessageStatus : std::uint8_t {
    Free = 0x00,
    Read = 0x01,
    Unread = 0x03,
    Sent = 0x05,
    Unsent = 0x07, // stored by the user, not sent: how a phone keeps what it was told to store
};

// An SMS record: its status, then the service-centre address and the TPDU as the phone takes them
// in PDU mode. A free record has no octets.
struct Message {
    MessageStatus status = MessageStatus::Free;
    std::vector<std::uint8_t> pdu;
    bool operator==(const Message&) const = default;
};

} // namespace sim
