#include "config/setup_codes.h"

#include "platform/cp1250.h"

#include <limits>

namespace setup_codes {
namespace {

// Exception texts are UTF-8, the codes Windows-1250. A NUL byte (a damaged file or line noise)
// shows as "?": inside what() it would end the message at the opening quote.
std::string cp1250ToUtf8(std::string_view text) {
    std::string result;
    for (const char16_t unit : platform::cp1250ToUtf16(text)) {
        if (unit == 0) {
            result += '?';
        } else if (unit < 0x80) {
            result += char(unit);
        } else if (unit < 0x800) {
            result += char(0xC0 | (unit >> 6));
            result += char(0x80 | (unit & 0x3F));
        } else {
            result += char(0xE0 | (unit >> 12));
            result += char(0x80 | ((unit >> 6) & 0x3F));
            result += char(0x80 | (unit & 0x3F));
        }
    }
    return result;
}

[[noreturn]] void notAnInteger(std::string_view text) {
    throw EConvertError("'" + cp1250ToUtf8(text) + "' is not a valid integer value");
}

// One character of a code, or the empty text where a short code ends first.
std::string_view characterAt(std::string_view code, std::size_t position) {
    return position <= code.size() ? code.substr(position - 1, 1) : std::string_view();
}

constexpr std::array<Option, kOptionCount> kSetupDecodeOrder = {
    Option::Authentication, Option::Relay2Pulse,       Option::RepeatCall,     Option::AlarmSms,
    Option::CreditKeeping,  Option::TwoControlNumbers, Option::OptocouplerTest};

constexpr std::array<TimeDigit, kTimeDigitCount> kCasyDecodeOrder = {
    TimeDigit::AfterActivationTenSecond, TimeDigit::AfterActivationMinute, TimeDigit::DeactivationTenSecond,
    TimeDigit::DeactivationMinute};

} // namespace

std::size_t setupCodePosition(Option option) {
    return kCodeLength - std::size_t(option);
}

std::size_t casyCodePosition(TimeDigit digit) {
    return 10 + std::size_t(digit);
}

std::string encodeSetupCode(const OptionChars& options) {
    std::string code = "+00000";
    for (std::size_t position = 7; position <= kCodeLength; ++position)
        code += options[kCodeLength - position];
    return code;
}

std::string encodeCasyCode(const TimeDigits& digits) {
    return "+00000000" + std::string(digits.begin(), digits.end());
}

void decodeSetupCode(std::string_view setupCode, const std::function<void(Option)>& switchOn) {
    for (const Option option : kSetupDecodeOrder)
        if (characterAt(setupCode, setupCodePosition(option)) == "1")
            switchOn(option);
}

void decodeCasyCode(std::string_view casyCode, const std::function<void(TimeDigit, int, char)>& apply) {
    for (const TimeDigit digit : kCasyDecodeOrder) {
        const std::string_view character = characterAt(casyCode, casyCodePosition(digit));
        const int value = strToInt(character);
        apply(digit, value, character.front());
    }
}

int strToInt(std::string_view text) {
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    if (digits.empty())
        notAnInteger(text);
    long long value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            notAnInteger(text);
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max() + 1LL)
            notAnInteger(text);
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max())
        notAnInteger(text);
    return int(value);
}

char tenSecondDigit(std::string_view secondsItem) {
    return char('0' + strToInt(secondsItem) / 10);
}

} // namespace setup_codes
