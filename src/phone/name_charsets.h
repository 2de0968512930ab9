#pragma once
// The character set each name travels in: the one that carries it at the least room on the SIM (a
// plain name in GSM or IRA, a Czech one in UCS2), of those the phone takes. The set is switched
// (AT+CSCS) only where a name needs another than the one in use, and what was switched is noted so
// that the end of the exchange can put back the set the phone was found in.
#include "phone/phonebook.h"

#include <functional>
#include <string>
#include <vector>

class FoundSettings;
class PhoneLine;

class NameCharsets {
public:
    NameCharsets(PhoneLine& line, FoundSettings& found);

    // The sets offered (AT+CSCS=?) and the one in use (AT+CSCS?), from their "+CSCS:" lines. A
    // phone that lists no sets may still take one: each is tried once it is needed.
    void take(const final_answers::Answer& answer);

    // The set in use: the one the last name was written or read in.
    phonebook::Charset inUse() const { return m_inUse; }
    // Chosen from the set the last name went in (or the phone was found in), not the one the names
    // were read in since: a write after a read (a backup's) sends what it would have without it.
    phonebook::Charset forName(const std::string& name) const;
    // The set that carries every name, for reading them.
    phonebook::Charset forReading() const;

    // Switches to the set `wanted` gives, asking it again after each refusal; false when the phone
    // stopped answering.
    bool settle(const std::function<phonebook::Charset()>& wanted);
    // The same for the set the name goes in.
    bool settleForName(const std::string& name);

private:
    // False when the phone refused the set (it is not offered again) or did not answer.
    bool use(phonebook::Charset charset);

    PhoneLine& m_line;
    FoundSettings& m_found;
    phonebook::Charset m_inUse = phonebook::Charset::Unchanged;
    phonebook::Charset m_namesIn = phonebook::Charset::Unchanged;
    std::vector<phonebook::Charset> m_usable;
};
