#pragma once
// How the test devices (the virtual phone, the virtual card) read their command lines: "--name
// value" or "--name=value", numbers and digits within bounds, "--help", and a refusal that names
// the option and shows the usage, with exit code 2. Shared by the devices only, never with the tool.
#include <cstddef>
#include <functional>
#include <string>

namespace tool_options {

using ValueSource = std::function<std::string()>;
// False for an option it does not know.
using Apply = std::function<bool(const std::string& option, const ValueSource& value)>;

class OptionReader {
public:
    OptionReader(const char* program, const char* usage) : m_program(program), m_usage(usage) {}

    [[noreturn]] void refuse(const std::string& why) const;
    int number(const std::string& option, const std::string& text, const char* what, long low,
               long high) const;
    std::string digits(const std::string& option, const std::string& text, std::size_t fewest,
                       std::size_t most) const;
    // Every argument in turn, to `apply`; "--help" prints the usage and ends the program.
    void read(int argc, char** argv, const Apply& apply) const;

private:
    const char* m_program;
    const char* m_usage;
};

} // namespace tool_options
