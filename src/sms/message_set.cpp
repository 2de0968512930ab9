#include "sms/message_set.h"

#include "numbers/number_format.h"

#include <algorithm>

namespace message_set {

bool acceptable(const std::string& smscNumber, const Messages& messages) {
    return hasInternationalFormat(smscNumber) &&
           std::all_of(messages.begin(), messages.end(),
                       [](const Message& message) { return hasInternationalFormat(message.number); });
}

} // namespace message_set
