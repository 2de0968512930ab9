#include "phone/found_settings.h"

#include "phone/reply.h"

namespace {

struct Named {
    FoundSettings::Setting setting;
    std::string_view command; // as it follows "AT" and goes before "=" or "?"
};
// In the order they are put back: the set first, since it rules how the phone reads what follows.
constexpr Named kSettings[] = {{FoundSettings::Setting::Charset, "+CSCS"},
                               {FoundSettings::Setting::MessageFormat, "+CMGF"},
                               {FoundSettings::Setting::ErrorCodes, "+CMEE"}};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

void FoundSettings::takeFrom(const final_answers::Answer& answer) {
    for (const std::string& line : answer.lines)
        for (const Named& named : kSettings) {
            const std::string prefix = std::string(named.command) + ":";
            if (!line.starts_with(prefix))
                continue;
            const std::string_view value = trimmed(std::string_view(line).substr(prefix.size()));
            // "+CSCS: ("IRA","GSM")" lists the sets offered, not the one in use.
            Value& kept = m_values[std::size_t(named.setting)];
            if (!value.empty() && !value.starts_with('(') && !kept.found)
                kept.found = std::string(value);
        }
}

void FoundSettings::changed(Setting setting, std::string value) {
    m_values[std::size_t(setting)].set = std::move(value);
}

void FoundSettings::putBack() {
    for (Value& value : m_values)
        value.set = value.found;
}

std::string FoundSettings::restoreCommand() const {
    std::string line;
    for (const Named& named : kSettings) {
        const Value& value = m_values[std::size_t(named.setting)];
        if (!value.found || !value.set || *value.found == *value.set)
            continue;
        line += (line.empty() ? "AT" : ";") + std::string(named.command) + "=" + *value.found;
    }
    return line.empty() ? line : line + reply::kCR;
}
