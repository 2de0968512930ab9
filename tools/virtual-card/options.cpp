#include "options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace vcard {

namespace {

const char usage[] = "usage: alarmgsm-card [--host HOST] [--port PORT] [--state FILE] [--log FILE]\n"
                     "                     [--adn-records N] [--name-bytes N] [--sms-records N]\n"
                     "                     [--pin PIN] [--pin-tries N] [--puk PUK] [--puk-tries N]\n"
                     "                     [--usim-only] [--pull-after N] [--apdu-delay MS]\n";

[[noreturn]] void refuse(const std::string& why) {
    std::fprintf(stderr, "alarmgsm-card: %s\n%s", why.c_str(), usage);
    std::exit(2);
}

int parseNumber(const std::string& option, const std::string& text, const char* what, long low, long high) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        refuse(option + " wants " + what + " from " + std::to_string(low) + " to " + std::to_string(high));
    return int(value);
}

// A record number is one byte, and 00 and FF mean no record.
int parseRecords(const std::string& option, const std::string& text) {
    return parseNumber(option, text, "a number of records", 1, 254);
}

std::string digits(const std::string& option, const std::string& text, std::size_t low, std::size_t high) {
    if (text.size() < low || text.size() > high || text.find_first_not_of("0123456789") != std::string::npos)
        refuse(option + " wants " + std::to_string(low) + " to " + std::to_string(high) + " digits");
    return text;
}

using ValueSource = std::function<std::string()>;

bool applyLinkOption(Options& options, const std::string& arg, const ValueSource& value) {
    if (arg == "--host")
        options.host = value();
    else if (arg == "--port")
        options.port = parseNumber(arg, value(), "a TCP port", 1, 65535);
    else if (arg == "--state")
        options.state = value();
    else if (arg == "--log")
        options.log = value();
    else if (arg == "--usim-only")
        options.usimOnly = true;
    else if (arg == "--pull-after")
        options.pullAfter = parseNumber(arg, value(), "a number of APDUs", 1, 1000000);
    else if (arg == "--apdu-delay")
        options.apduDelayMs = parseNumber(arg, value(), "milliseconds", 0, 600000);
    else
        return false;
    return true;
}

bool applyCardOption(Options& options, const std::string& arg, const ValueSource& value) {
    if (arg == "--adn-records")
        options.adnRecords = parseRecords(arg, value());
    else if (arg == "--name-bytes")
        options.nameBytes = parseNumber(arg, value(), "bytes", 0, 241); // a record holds at most 255
    else if (arg == "--sms-records")
        options.smsRecords = parseRecords(arg, value());
    else if (arg == "--pin")
        options.pin = digits(arg, value(), 4, 8);
    else if (arg == "--pin-tries")
        options.pinTries = parseNumber(arg, value(), "tries", 0, 3);
    else if (arg == "--puk")
        options.puk = digits(arg, value(), 8, 8);
    else if (arg == "--puk-tries")
        options.pukTries = parseNumber(arg, value(), "tries", 0, 10);
    else
        return false;
    return true;
}

} // namespace

Options parseOptions(int argc, char** argv) {
    Options options;
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
            std::fputs(usage, stdout);
            std::exit(0);
        }
        if (!applyLinkOption(options, arg, value) && !applyCardOption(options, arg, value))
            refuse("unknown option " + arg);
    }
    return options;
}

} // namespace vcard
