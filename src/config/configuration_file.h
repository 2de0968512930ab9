#pragma once
// What a configuration file gives the page once loaded: the codes it shows and sends. The options
// line is rebuilt from the options it switches on (as the page's choices rebuild it) and kept as
// it stands when it switches on none; the times line is kept as it stands. Texts are Windows-1250.
#include <string>

namespace configuration_file {

struct Codes {
    std::string setup;
    std::string casy;
    bool operator==(const Codes&) const = default;
};

// Raises setup_codes::EConvertError, as the page's load does, when the times line has no digit
// where a time is read.
Codes codesOf(const std::string& setupLine, const std::string& casyLine);

} // namespace configuration_file
