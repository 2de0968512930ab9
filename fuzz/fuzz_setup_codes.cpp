// Any text as a configuration code read from the SIM or typed by hand: both decodes, the integer
// conversion behind them, and the round trip of codes built from arbitrary choices.
#include "config/setup_codes.h"
#include "fuzz_check.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace setup_codes;

// A whole decimal int with an optional sign, or nothing.
std::optional<int> referenceInt(std::string_view text) {
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const std::string signedDigits = (negative ? "-" : "") + std::string(digits);
    int value = 0;
    const auto [end, error] =
        std::from_chars(signedDigits.data(), signedDigits.data() + signedDigits.size(), value);
    if (error != std::errc() || end != signedDigits.data() + signedDigits.size())
        return std::nullopt;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::size_t switched = 0;
    decodeSetupCode(text, [&](Option option) {
        const std::size_t position = setupCodePosition(option);
        FUZZ_CHECK(position <= text.size() && text[position - 1] == '1');
        FUZZ_CHECK(!(switched & (1u << std::size_t(option))));
        switched |= 1u << std::size_t(option);
    });

    std::size_t applied = 0;
    try {
        decodeCasyCode(text, [&](TimeDigit digit, int value, char character) {
            FUZZ_CHECK(value >= 0 && value <= 9);
            FUZZ_CHECK(character == char('0' + value));
            FUZZ_CHECK(text[casyCodePosition(digit) - 1] == character);
            ++applied;
        });
        FUZZ_CHECK(applied == kTimeDigitCount);
    } catch (const EConvertError& error) {
        FUZZ_CHECK(applied < kTimeDigitCount);
        FUZZ_CHECK(std::string_view(error.what()).ends_with("' is not a valid integer value"));
    }

    const auto expected = referenceInt(text);
    try {
        const int value = strToInt(text);
        FUZZ_CHECK(expected && *expected == value);
    } catch (const EConvertError&) {
        FUZZ_CHECK(!expected);
    }

    // Choices from the first bytes: encoding then decoding gives them back.
    if (size >= kOptionCount + kTimeDigitCount) {
        OptionChars options;
        for (std::size_t i = 0; i < kOptionCount; ++i)
            options[i] = data[i] & 1 ? '1' : '0';
        TimeDigits digits;
        for (std::size_t i = 0; i < kTimeDigitCount; ++i)
            digits[i] = char('0' + data[kOptionCount + i] % 10);
        const std::string setup = encodeSetupCode(options);
        const std::string casy = encodeCasyCode(digits);
        FUZZ_CHECK(setup.size() == kCodeLength && casy.size() == kCodeLength);
        OptionChars decoded;
        decoded.fill('0');
        decodeSetupCode(setup, [&](Option option) { decoded[std::size_t(option)] = '1'; });
        FUZZ_CHECK(decoded == options);
        TimeDigits decodedDigits{};
        decodeCasyCode(casy, [&](TimeDigit digit, int, char character) {
            decodedDigits[std::size_t(digit)] = character;
        });
        FUZZ_CHECK(decodedDigits == digits);
    }
    return 0;
}
