#include "numbers/number_list.h"

#include "numbers/number_format.h"

#include <algorithm>

namespace number_list {

bool isAcceptableNumber(std::string_view number) {
    return number.empty() || hasInternationalFormat(number);
}

bool allNumbersAcceptable(const std::array<std::string, kPositions>& numbers) {
    return std::all_of(numbers.begin(), numbers.end(),
                       [](const std::string& n) { return isAcceptableNumber(n); });
}

} // namespace number_list
