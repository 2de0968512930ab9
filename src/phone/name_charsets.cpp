#include "phone/name_charsets.h"

#include "phone/command_ledger.h"
#include "phone/found_settings.h"
#include "phone/phone_line.h"
#include "phone/reply.h"

#include <algorithm>
#include <utility>

using final_answers::Answer;
using final_answers::Final;

namespace {

// The list of AT+CSCS=? and the set named by AT+CSCS?, both "+CSCS:" lines.
std::pair<std::string, std::string> charsetLines(const Answer& answer) {
    std::pair<std::string, std::string> found;
    for (const std::string& line : answer.lines) {
        if (!line.starts_with("+CSCS:"))
            continue;
        std::string value = line.substr(6);
        std::erase(value, ' ');
        (value.starts_with('(') ? found.first : found.second) = value;
    }
    return found;
}

} // namespace

NameCharsets::NameCharsets(PhoneLine& line, FoundSettings& found) : m_line(line), m_found(found) {}

void NameCharsets::take(const Answer& answer) {
    const auto [offered, inUse] = charsetLines(answer);
    m_usable = phonebook::listed(offered);
    if (offered.empty())
        m_usable = phonebook::listed(R"(("UCS2","GSM","IRA"))");
    m_inUse = phonebook::named(inUse);
    m_namesIn = m_inUse;
}

phonebook::Charset NameCharsets::forName(const std::string& name) const {
    return phonebook::forName(name, m_namesIn, m_usable);
}

phonebook::Charset NameCharsets::forReading() const {
    return m_usable.empty() ? m_inUse : m_usable.front();
}

bool NameCharsets::use(phonebook::Charset charset) {
    if (charset == m_inUse || charset == phonebook::Charset::Unchanged)
        return true;
    const std::string name = '"' + std::string(phonebook::nameOf(charset)) + '"';
    const Answer taken = m_line.ask("AT+CSCS=" + name + reply::kCR, CommandLedger::kSelectionMs);
    if (!taken.complete()) {
        m_line.stop();
        return false;
    }
    if (taken.final != Final::Ok) {
        std::erase(m_usable, charset);
        return false;
    }
    m_inUse = charset;
    m_found.changed(FoundSettings::Setting::Charset, name);
    return true;
}

// Each refusal leaves one set fewer to want, so the wanting ends.
bool NameCharsets::settle(const std::function<phonebook::Charset()>& wanted) {
    while (!use(wanted()))
        if (m_line.stopped())
            return false;
    return true;
}

bool NameCharsets::settleForName(const std::string& name) {
    if (!settle([&] { return forName(name); }))
        return false;
    m_namesIn = m_inUse;
    return true;
}
