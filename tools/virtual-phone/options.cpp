#include "options.h"

#include "option_reader.h"

#include <algorithm>

namespace vphone {

namespace {

const char usage[] =
    "usage: alarmgsm-phone [--link PATH] [--state FILE] [--log FILE] [--off] [--no-echo]\n"
    "                      [--empty-error] [--delay MS] [--sim-delay MS] [--split MS]\n"
    "                      [--strict] [--urc TEXT [--urc-every MS] [--urc-inside]] [--paced]\n"
    "                      [--phonebook-size N] [--name-length N] [--name-bytes N]\n"
    "                      [--cut-names] [--sms-size N] [--text-mode] [--phone-memory]\n"
    "                      [--cmee N]\n"
    "                      [--charset IRA|GSM|UCS2] [--charsets LIST]\n"
    "                      [--pin PIN [--pin-tries N] [--pin-busy MS]]\n";

const tool_options::OptionReader reader("alarmgsm-phone", usage);

int parseMs(const std::string& option, const std::string& text) {
    return reader.number(option, text, "milliseconds", 0, 600000);
}

// The largest phonebook a SIM record can number and the largest SMS store of common SIMs.
int parsePositions(const std::string& option, const std::string& text) {
    return reader.number(option, text, "a number of positions", 1, 250);
}

std::string charsetName(const std::string& option, const std::string& text) {
    if (text != "IRA" && text != "GSM" && text != "UCS2")
        reader.refuse(option + " wants IRA, GSM or UCS2");
    return text;
}

std::vector<std::string> charsetList(const std::string& option, const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        names.push_back(charsetName(option, text.substr(start, comma - start)));
        start = comma + 1;
    }
    return names;
}

// The start set must be one the phone offers.
void settleCharset(Options& options) {
    const auto& offered = options.charsets;
    if (options.charset.empty())
        options.charset = offered.front();
    else if (std::find(offered.begin(), offered.end(), options.charset) == offered.end())
        reader.refuse("--charset " + options.charset + " is not among --charsets");
}

using tool_options::ValueSource;

bool applyFileOption(Options& options, const std::string& arg, const ValueSource& value) {
    if (arg == "--link")
        options.link = value();
    else if (arg == "--state")
        options.state = value();
    else if (arg == "--log")
        options.log = value();
    else
        return false;
    return true;
}

bool applyLineOption(Options& options, const std::string& arg, const ValueSource& value) {
    if (arg == "--off")
        options.off = true;
    else if (arg == "--no-echo")
        options.echo = false;
    else if (arg == "--delay")
        options.delayMs = parseMs(arg, value());
    else if (arg == "--sim-delay")
        options.simDelayMs = parseMs(arg, value());
    else if (arg == "--split")
        options.splitMs = parseMs(arg, value());
    else if (arg == "--urc")
        options.urc = value();
    else if (arg == "--urc-every")
        options.urcEveryMs = std::max(1, parseMs(arg, value()));
    else if (arg == "--urc-inside")
        options.urcInside = true;
    else if (arg == "--paced")
        options.paced = true;
    else if (arg == "--strict")
        options.strict = true;
    else
        return false;
    return true;
}

bool applyPhoneOption(Options& options, const std::string& arg, const ValueSource& value) {
    if (arg == "--empty-error")
        options.emptyError = true;
    else if (arg == "--phonebook-size")
        options.phonebookSize = parsePositions(arg, value());
    else if (arg == "--name-length")
        options.nameLength = reader.number(arg, value(), "characters", 1, 60);
    else if (arg == "--cut-names")
        options.cutNames = true;
    else if (arg == "--name-bytes")
        options.nameBytes = reader.number(arg, value(), "bytes", 1, 60);
    else if (arg == "--sms-size")
        options.smsSize = parsePositions(arg, value());
    else if (arg == "--phone-memory")
        options.phoneMemory = true;
    else if (arg == "--text-mode")
        options.textMode = true;
    else if (arg == "--charset")
        options.charset = charsetName(arg, value());
    else if (arg == "--charsets")
        options.charsets = charsetList(arg, value());
    else if (arg == "--pin")
        options.pin = reader.digits(arg, value(), 4, 8);
    else if (arg == "--pin-tries")
        options.pinTries = reader.number(arg, value(), "tries", 0, 3);
    else if (arg == "--pin-busy")
        options.pinBusyMs = parseMs(arg, value());
    else if (arg == "--cmee")
        options.cmee = reader.number(arg, value(), "an error mode", 0, 2);
    else
        return false;
    return true;
}

} // namespace

Options parseOptions(int argc, char** argv) {
    Options options;
    reader.read(argc, argv, [&](const std::string& arg, const ValueSource& value) {
        return applyFileOption(options, arg, value) || applyLineOption(options, arg, value) ||
               applyPhoneOption(options, arg, value);
    });
    settleCharset(options);
    return options;
}

} // namespace vphone
