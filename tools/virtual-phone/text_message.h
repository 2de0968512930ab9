#pragma once
// Messages in text mode. The phone keeps every message as a PDU, so a text written in text mode is
// encoded as an SMS-SUBMIT, and a stored PDU is taken apart to be shown as text. Texts and
// addresses here are in the GSM 7-bit default alphabet, one byte a septet, as the SIM holds them.
#include <optional>
#include <string>

namespace vphone {

// An SMS-SUBMIT with an empty SMSC part (the phone's own centre), default validity and coding;
// empty when the address is not a number an SMS can carry or the text is longer than one message.
std::string encodeSubmit(const std::string& address, int addressType, const std::string& text);

// False when the address is not a number an SMS can carry.
bool isMessageAddress(const std::string& address);

struct TextView {
    std::string address;   // the sender of a received message, the destination of a stored one
    std::string timestamp; // "yy/MM/dd,hh:mm:ss+zz" for a received message, empty otherwise
    std::string data;      // the text, or the user data in hex when it is not 7-bit text
    bool isText = false;
};

// Empty optional for a PDU that is neither an SMS-DELIVER nor an SMS-SUBMIT or is cut short.
std::optional<TextView> decodeForText(const std::string& pduHex);

} // namespace vphone
