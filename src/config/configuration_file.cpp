#include "config/configuration_file.h"

#include "config/setup_codes.h"

namespace configuration_file {

Codes codesOf(const std::string& setupLine, const std::string& casyLine) {
    setup_codes::OptionChars options;
    options.fill('0');
    bool anyOn = false;
    setup_codes::decodeSetupCode(setupLine, [&](setup_codes::Option option) {
        options[std::size_t(option)] = '1';
        anyOn = true;
    });
    setup_codes::decodeCasyCode(casyLine, [](setup_codes::TimeDigit, int, char) {});
    return {anyOn ? setup_codes::encodeSetupCode(options) : setupLine, casyLine};
}

} // namespace configuration_file
