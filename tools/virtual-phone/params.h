#pragma once
// The parameters of an extended command as V.250 writes them: decimal numbers and string constants,
// separated by commas, any of them left out.
#include <optional>
#include <string>
#include <vector>

namespace vphone {

struct Param {
    bool present = false;
    bool quoted = false;
    std::string value; // string constants with their \HH escapes resolved
};

// Empty optional on a syntax error (an unclosed string, text after a closing quote).
std::optional<std::vector<Param>> parseParams(const std::string& args);

// An unquoted decimal parameter in [low, high]; an absent one gives the fallback.
std::optional<int> intParam(const std::vector<Param>& params, std::size_t i, int low, int high,
                            std::optional<int> fallback = std::nullopt);

std::optional<std::string> stringParam(const std::vector<Param>& params, std::size_t i);

// The value of a hex digit of either case; -1 for anything else.
int hexValue(char c);

// Numbers cannot hold a quote, but a backslash or quote in a name is escaped the V.250 way so
// the reply line stays parseable.
std::string quoteRaw(const std::string& text);

} // namespace vphone
