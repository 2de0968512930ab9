#include "phone/reply.h"

namespace reply {

bool holdsAt(std::string_view reply, std::size_t position, char expected) {
    return position >= 1 && position <= reply.size() && reply[position - 1] == expected;
}

bool phoneAnswers(std::string_view reply) {
    return holdsAt(reply, kProbeAnswerPosition, 'O');
}

bool holdsEntry(std::string_view reply) {
    return !holdsAt(reply, kEntryMarkPosition, 'O');
}

std::string takeAt(std::string_view reply, std::size_t position, std::size_t count) {
    if (position < 1 || position > reply.size())
        return {};
    return std::string(reply.substr(position - 1, count));
}

std::string takeUntil(std::string_view reply, std::size_t position, char stop) {
    if (position < 1 || position > reply.size())
        return {};
    const std::string_view rest = reply.substr(position - 1);
    return std::string(rest.substr(0, rest.find(stop)));
}

} // namespace reply
