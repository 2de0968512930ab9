#include "option_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace tool_options {

void OptionReader::refuse(const std::string& why) const {
    std::fprintf(stderr, "%s: %s\n%s", m_program, why.c_str(), m_usage);
    std::exit(2);
}

int OptionReader::number(const std::string& option, const std::string& text, const char* what, long low,
                         long high) const {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        refuse(option + " wants " + what + " from " + std::to_string(low) + " to " + std::to_string(high));
    return int(value);
}

std::string OptionReader::digits(const std::string& option, const std::string& text, std::size_t fewest,
                                 std::size_t most) const {
    if (text.size() < fewest || text.size() > most ||
        text.find_first_not_of("0123456789") != std::string::npos)
        refuse(option + " wants " + std::to_string(fewest) + " to " + std::to_string(most) + " digits");
    return text;
}

void OptionReader::read(int argc, char** argv, const Apply& apply) const {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string inlineValue;
        bool hasInlineValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasInlineValue = true;
        }
        const ValueSource value = [&]() -> std::string {
            if (hasInlineValue)
                return inlineValue;
            if (i + 1 >= argc)
                refuse(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(m_usage, stdout);
            std::exit(0);
        }
        if (!apply(arg, value))
            refuse("unknown option " + arg);
    }
}

} // namespace tool_options
