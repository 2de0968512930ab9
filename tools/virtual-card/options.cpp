#include "options.h"

#include "option_reader.h"

namespace vcard {

namespace {

const char usage[] = "usage: alarmgsm-card [--host HOST] [--port PORT] [--state FILE] [--log FILE]\n"
                     "                     [--adn-records N] [--name-bytes N] [--sms-records N]\n"
                     "                     [--pin PIN] [--pin-tries N] [--puk PUK] [--puk-tries N]\n"
                     "                     [--usim-only] [--pull-after N] [--apdu-delay MS]\n";

const tool_options::OptionReader reader("alarmgsm-card", usage);

// A record number is one byte, and 00 and FF mean no record.
int parseRecords(const std::string& option, const std::string& text) {
    return reader.number(option, text, "a number of records", 1, 254);
}

using tool_options::ValueSource;

bool applyLinkOption(Options& options, const std::string& arg, const ValueSource& value) {
    if (arg == "--host")
        options.host = value();
    else if (arg == "--port")
        options.port = reader.number(arg, value(), "a TCP port", 1, 65535);
    else if (arg == "--state")
        options.state = value();
    else if (arg == "--log")
        options.log = value();
    else if (arg == "--usim-only")
        options.usimOnly = true;
    else if (arg == "--pull-after")
        options.pullAfter = reader.number(arg, value(), "a number of APDUs", 1, 1000000);
    else if (arg == "--apdu-delay")
        options.apduDelayMs = reader.number(arg, value(), "milliseconds", 0, 600000);
    else
        return false;
    return true;
}

bool applyCardOption(Options& options, const std::string& arg, const ValueSource& value) {
    if (arg == "--adn-records")
        options.adnRecords = parseRecords(arg, value());
    else if (arg == "--name-bytes")
        options.nameBytes = reader.number(arg, value(), "bytes", 0, 241); // a record holds at most 255
    else if (arg == "--sms-records")
        options.smsRecords = parseRecords(arg, value());
    else if (arg == "--pin")
        options.pin = reader.digits(arg, value(), 4, 8);
    else if (arg == "--pin-tries")
        options.pinTries = reader.number(arg, value(), "tries", 0, 3);
    else if (arg == "--puk")
        options.puk = reader.digits(arg, value(), 8, 8);
    else if (arg == "--puk-tries")
        options.pukTries = reader.number(arg, value(), "tries", 0, 10);
    else
        return false;
    return true;
}

} // namespace

Options parseOptions(int argc, char** argv) {
    Options options;
    reader.read(argc, argv, [&](const std::string& arg, const ValueSource& value) {
        return applyLinkOption(options, arg, value) || applyCardOption(options, arg, value);
    });
    return options;
}

} // namespace vcard
