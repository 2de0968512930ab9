#pragma once
// The four alarm numbers' form check: the numbers the alarm unit can call from SIM positions 1 to 4.
// Texts are Windows-1250.
#include <array>
#include <string>
#include <string_view>

namespace number_list {

inline constexpr int kPositions = 4;

// An empty number leaves its position unused; any other must have the international form.
bool isAcceptableNumber(std::string_view number);
bool allNumbersAcceptable(const std::array<std::string, kPositions>& numbers);

} // namespace number_list
