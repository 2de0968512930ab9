#include "numbers/number_list.h"

#include "numbers/number_format.h"
#include "phone/reply.h"

#include <algorithm>

namespace number_list {
namespace {

constexpr std::string_view kEntryPrefix = "+CPBR: ";

std::string_view untilLineEnd(std::string_view text) {
    return text.substr(0, std::min(text.find('\r'), text.find('\n')));
}

// The text after the next double quote up to the quote that closes it (or the end of the line);
// `rest` moves past the closing quote. Nothing when the line has no opening quote.
std::optional<std::string_view> nextQuoted(std::string_view& rest) {
    const std::size_t open = rest.find('"');
    if (open == std::string_view::npos)
        return std::nullopt;
    rest.remove_prefix(open + 1);
    const std::size_t close = rest.find('"');
    const std::string_view field = rest.substr(0, close);
    rest.remove_prefix(close == std::string_view::npos ? rest.size() : close + 1);
    return field;
}

} // namespace

bool isAcceptableNumber(std::string_view number) {
    return number.empty() || hasInternationalFormat(number);
}

bool allNumbersAcceptable(const std::array<std::string, kPositions>& numbers) {
    return std::all_of(numbers.begin(), numbers.end(),
                       [](const std::string& n) { return isAcceptableNumber(n); });
}

std::string readCommand(int position) {
    return "AT+CPBR=" + std::to_string(position) + reply::kCR;
}

std::string writeCommand(int position, const std::string& number, const std::string& name) {
    const std::string command = "AT+CPBW=" + std::to_string(position);
    if (number.empty())
        return command + reply::kCR;
    return command + ",\"" + number + "\",,\"" + name + "\"" + reply::kCR;
}

std::optional<StoredEntry> storedEntry(std::string_view reply, int position) {
    if (!reply::holdsEntry(reply) || reply.size() < reply::kEntryMarkPosition)
        return std::nullopt;
    const std::string_view rest = reply.substr(reply::kEntryMarkPosition - 1);
    // A line not yet ended was cut short (the rest came after the tick): nothing of it is taken.
    if (rest.find_first_of("\r\n") == std::string_view::npos)
        return std::nullopt;
    std::string_view line = untilLineEnd(rest);
    // The entry line names its position: a late answer to the previous read must not land here.
    const std::string expected = std::string(kEntryPrefix) + std::to_string(position) + ",";
    if (!line.starts_with(expected))
        return std::nullopt;
    line.remove_prefix(expected.size());
    StoredEntry entry;
    const auto number = nextQuoted(line);
    if (!number)
        return std::nullopt;
    entry.number = *number;
    // After the number come the type and the quoted name; an entry without a name has none.
    if (const auto name = nextQuoted(line))
        entry.name = *name;
    return entry;
}

} // namespace number_list
