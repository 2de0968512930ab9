#include "sms/read_reply.h"

namespace sms_read {

std::string pduTextOfReply(std::string_view reply) {
    const auto colon = reply.find(':');
    if (colon == std::string_view::npos)
        return {};
    const auto lineFeed = reply.find('\n', colon);
    if (lineFeed == std::string_view::npos)
        return {};
    const auto carriageReturn = reply.find('\r', lineFeed + 1);
    if (carriageReturn == std::string_view::npos)
        return {};
    return std::string(reply.substr(lineFeed + 1, carriageReturn - lineFeed - 1));
}

} // namespace sms_read
