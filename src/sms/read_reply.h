#pragma once
// The PDU in the phone's answer to a message read ("AT+CMGR=n"): echo, then "+CMGR: stat,,length",
// then the PDU on a line of its own. Qt-free so that it can be fed arbitrary replies.
#include <string>
#include <string_view>

namespace sms_read {

// The characters after the first line feed that follows the first colon, up to the next carriage
// return. Empty when the reply lacks any of the three: a line without its carriage return was cut
// short (the rest came after the tick), so nothing is taken from it.
std::string pduTextOfReply(std::string_view reply);

} // namespace sms_read
