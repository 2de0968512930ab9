#pragma once
// The two SIM configuration codes, "+" and twelve digits, that the alarm unit reads from phonebook
// positions 5 (options) and 6 (delay times). Texts are Windows-1250; positions count from 1.
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace setup_codes {

// A text that is not a whole number; the message is "'<text>' is not a valid integer value" (UTF-8).
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::size_t kCodeLength = 13;

enum class Option {
    Authentication,
    Relay2Pulse,
    RepeatCall,
    AlarmSms,
    CreditKeeping,
    TwoControlNumbers,
    OptocouplerTest
};
inline constexpr std::size_t kOptionCount = 7;
// Indexed by Option: '0' for the first choice of a group, '1' for the second.
using OptionChars = std::array<char, kOptionCount>;

enum class TimeDigit {
    DeactivationMinute,
    DeactivationTenSecond,
    AfterActivationMinute,
    AfterActivationTenSecond
};
inline constexpr std::size_t kTimeDigitCount = 4;
// Indexed by TimeDigit: '0' to '9'.
using TimeDigits = std::array<char, kTimeDigitCount>;

std::size_t setupCodePosition(Option option);
std::size_t casyCodePosition(TimeDigit digit);

// "+00000" and the option characters from optocoupler testing (7) to authentication (13).
std::string encodeSetupCode(const OptionChars& options);
// "+00000000" and the four time digits, deactivation first.
std::string encodeCasyCode(const TimeDigits& digits);

// Calls switchOn for every option whose position holds "1", examining 13 down to 7. Other
// characters, and positions past the end of a short text, leave their option alone.
void decodeSetupCode(std::string_view setupCode, const std::function<void(Option)>& switchOn);

// Calls apply(digit, value, character) for positions 13, 12, 11 and 10 in that order. A position
// that is not a digit raises EConvertError after the positions before it were applied; a position
// past the end of a short text is the empty text and raises "'' is not a valid integer value".
void decodeCasyCode(std::string_view casyCode, const std::function<void(TimeDigit, int, char)>& apply);

// A whole decimal number with an optional sign; raises EConvertError otherwise.
int strToInt(std::string_view text);

// The digit a seconds list item stands for: "30" gives '3'.
char tenSecondDigit(std::string_view secondsItem);

} // namespace setup_codes
