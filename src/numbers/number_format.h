#pragma once
// The form the alarm unit expects of a phone number: 13 characters with a leading plus sign
// (country code and subscriber number). Only length and plus sign are checked, never the digits.
#include <string_view>

inline constexpr std::size_t kInternationalNumberLength = 13;

inline bool hasInternationalFormat(std::string_view number) {
    return number.size() == kInternationalNumberLength && number.front() == '+';
}
