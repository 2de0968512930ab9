#include "phone.h"

#include "charset.h"
#include "params.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace vphone {

namespace {

constexpr char ctrlZ = 26;
constexpr char escape = 27;
constexpr std::size_t maxLine = 1024;

// Blanks outside string constants are dropped and letters there upper-cased, as a modem's command
// parser does; string constants keep their bytes (with \HH escapes still in them).
std::string normaliseCommandLine(const std::string& line) {
    std::string out;
    bool inString = false;
    for (char c : line) {
        if (c == '"')
            inString = !inString;
        if (!inString && c == ' ')
            continue;
        out += inString ? c : char(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

const char* cmeText(int code) {
    switch (code) {
    case 3:
        return "operation not allowed";
    case 4:
        return "operation not supported";
    case 11:
        return "SIM PIN required";
    case 12:
        return "SIM PUK required";
    case 14:
        return "SIM busy";
    case 16:
        return "incorrect password";
    case 20:
        return "memory full";
    case 21:
        return "invalid index";
    case 22:
        return "not found";
    case 24:
        return "text string too long";
    case 25:
        return "invalid characters in text string";
    case 26:
        return "dial string too long";
    case 27:
        return "invalid characters in dial string";
    default:
        return "unknown";
    }
}

// The commands that need the SIM; the message commands report with +CMS ERROR. Those that read or
// write it wait for it; AT+CMGW waits only after its PDU.
struct SimCommand {
    const char* name;
    bool message;
    bool waits;
};
constexpr SimCommand simCommands[] = {
    {"+CIMI", false, false}, {"+CPBS", false, false}, {"+CPBR", false, true}, {"+CPBW", false, true},
    {"+CSCA", true, false},  {"+CPMS", true, false},  {"+CMGR", true, true},  {"+CMGW", true, false},
    {"+CMGD", true, true},   {"+CMGL", true, true},
};

const SimCommand* simCommand(const std::string& name) {
    for (const auto& command : simCommands)
        if (name == command.name)
            return &command;
    return nullptr;
}

// Clients that select "UCS2" may still send a plain ASCII name (gammu does), and phones take it; so
// only text of hex digits alone is read as UCS2.
std::optional<std::string> fromUcs2OrPlain(const std::string& text) {
    const bool hex = std::all_of(text.begin(), text.end(), [](char c) { return hexValue(c) >= 0; });
    return hex ? ucs2ToCp1250(text) : text;
}

} // namespace

Phone::Phone(Sim& sim, PhoneOptions options, std::function<void()> simChanged)
    : m_sim(sim), m_options(options), m_lock(options.pin, options.pinTries, options.simLoadsAfterPin),
      m_simChanged(std::move(simChanged)), m_echo(options.echo), m_cmee(options.cmee),
      m_textMode(options.textMode), m_charset(options.charset) {
    // A phone with memory of its own selects it; received messages go to the SIM regardless.
    const std::string start = options.phoneMemory ? "ME" : "SM";
    m_phonebookStore = start;
    m_messageStores = {start, start, "SM"};
}

void Phone::receive(char c, PhoneOutput& out) {
    if (m_mode == Mode::Body) {
        if (c == ctrlZ || c == escape) {
            finishBody(c == escape, out);
            return;
        }
        if (m_echo)
            out.echo += c;
        if (m_body.size() <= maxBody)
            m_body += c;
        return;
    }

    if (m_echo)
        out.echo += c;
    if (c == '\r') {
        m_inString = false;
        executeLine(out);
        return;
    }
    // In the "GSM" character set a name may hold any byte but CR, so only outside string constants
    // are controls line editing or noise: LF after CR, a stray Ctrl-Z from a PDU sent blindly.
    if (!m_inString) {
        if (c == '\b' || c == 127) {
            if (!m_line.empty())
                m_line.pop_back();
            return;
        }
        if (static_cast<unsigned char>(c) < 0x20)
            return;
    }
    if (c == '"')
        m_inString = !m_inString;
    if (m_line.size() < maxLine)
        m_line += c;
    else
        m_lineOverflow = true;
}

// A code inside comes before the response and after its first line, where a reader least expects it.
std::string Phone::frame(const Result& final) {
    const std::string code = m_options.codeInside.empty() ? "" : "\r\n" + m_options.codeInside + "\r\n";
    std::string text = code;
    for (std::size_t i = 0; i < m_info.size(); ++i)
        text += i == 0 ? "\r\n" + m_info[i] + "\r\n" + code : m_info[i] + "\r\n";
    m_info.clear();
    if (final.kind == Result::Prompt)
        return text + "\r\n> ";
    return text + "\r\n" + final.text + "\r\n";
}

Phone::Result Phone::cme(int code) const {
    if (m_cmee == 0)
        return {Result::Fail, "ERROR"};
    if (m_cmee == 1)
        return {Result::Fail, "+CME ERROR: " + std::to_string(code)};
    return {Result::Fail, std::string("+CME ERROR: ") + cmeText(code)};
}

// 27.005 defines only numeric SMS error codes, so AT+CMEE=2 still gives the number.
Phone::Result Phone::cms(int code) const {
    if (m_cmee == 0)
        return {Result::Fail, "ERROR"};
    return {Result::Fail, "+CMS ERROR: " + std::to_string(code)};
}

void Phone::executeLine(PhoneOutput& out) {
    const std::string raw = std::move(m_line);
    m_line.clear();
    const bool overflow = m_lineOverflow;
    m_lineOverflow = false;

    // Anything before "AT" is line noise (or the tail of a PDU the phone refused); a line without
    // "AT" gets no answer at all, as on a modem.
    std::size_t start = std::string::npos;
    for (std::size_t i = 0; i + 1 < raw.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(raw[i])) == 'A' &&
            std::toupper(static_cast<unsigned char>(raw[i + 1])) == 'T') {
            start = i;
            break;
        }
    }
    if (start == std::string::npos)
        return;

    out.hasResponse = true;
    if (overflow) {
        out.response = frame({Result::Fail, "ERROR"});
        return;
    }
    const std::string body = normaliseCommandLine(raw.substr(start + 2));
    const auto lockBefore = m_lock.state();
    m_lineSimAccesses = 0;
    Result result;
    std::size_t pos = 0;
    while (pos < body.size() && result.kind == Result::Ok) {
        const char c = body[pos];
        if (c == ';') {
            ++pos;
            continue;
        }
        if (c == '+') {
            std::size_t end = pos + 1;
            while (end < body.size() &&
                   (std::isalnum(static_cast<unsigned char>(body[end])) || body[end] == '_'))
                ++end;
            const std::string name = body.substr(pos, end - pos);
            Kind kind = Kind::Action;
            std::string args;
            std::size_t next = end;
            if (body.compare(end, 2, "=?") == 0) {
                kind = Kind::Test;
                next = end + 2;
            } else if (end < body.size() && body[end] == '?') {
                kind = Kind::Query;
                next = end + 1;
            } else if (end < body.size() && body[end] == '=') {
                kind = Kind::Set;
                bool inString = false;
                next = end + 1;
                while (next < body.size() && (inString || body[next] != ';')) {
                    if (body[next] == '"')
                        inString = !inString;
                    ++next;
                }
                args = body.substr(end + 1, next - end - 1);
            }
            if (next < body.size() && body[next] != ';') {
                result = {Result::Fail, "ERROR"};
                break;
            }
            result = extended(name, kind, args);
            pos = next;
            continue;
        }
        char name = c;
        ++pos;
        if (c == '&') {
            if (pos >= body.size()) {
                result = {Result::Fail, "ERROR"};
                break;
            }
            name = char(std::tolower(static_cast<unsigned char>(body[pos++])));
        }
        int value = 0;
        while (pos < body.size() && std::isdigit(static_cast<unsigned char>(body[pos])) && value < 1000)
            value = value * 10 + (body[pos++] - '0');
        result = basic(name, value);
    }
    if (result.kind == Result::Prompt)
        m_mode = Mode::Body;
    out.response = frame(result.kind == Result::Ok ? Result{Result::Ok, "OK"} : result);
    out.simLoading = m_lock.state() != lockBefore && m_lock.state() == SimLock::State::Loading;
    out.simAccesses = m_lineSimAccesses;
}

// Basic commands; "&F" arrives as the lower-case letter f.
Phone::Result Phone::basic(char name, int value) {
    switch (name) {
    case 'E':
        if (value > 1)
            break;
        m_echo = value == 1;
        return {};
    case 'V':
        return value == 1 ? Result{} : Result{Result::Fail, "ERROR"}; // numeric result codes not offered
    case 'Q':
        return value == 0 ? Result{} : Result{Result::Fail, "ERROR"};
    case 'Z':
    case 'f':
        if (value != 0)
            break;
        m_echo = name == 'Z' ? m_options.echo : true;
        m_cmee = m_options.cmee;
        m_cregMode = 0;
        m_charset = m_options.charset;
        m_textMode = m_options.textMode;
        return {};
    case 'I':
        if (value != 0)
            break;
        m_info.push_back("AlarmGSM virtual phone");
        return {};
    default:
        break;
    }
    return {Result::Fail, "ERROR"};
}

Phone::Result Phone::identity(Kind kind, const char* text) {
    if (kind == Kind::Test)
        return {};
    if (kind != Kind::Action)
        return {Result::Fail, "ERROR"};
    m_info.push_back(text);
    return {};
}

Phone::Result Phone::cpin(Kind kind, const std::vector<Param>& params) {
    using State = SimLock::State;
    if (kind == Kind::Query) {
        const State state = m_lock.state();
        m_info.push_back(state == State::AsksPin   ? "+CPIN: SIM PIN"
                         : state == State::Blocked ? "+CPIN: SIM PUK"
                                                   : "+CPIN: READY");
        return {};
    }
    if (kind == Kind::Test)
        return {};
    // The second parameter, a new PIN after the PUK, is ignored: unblocking is not offered.
    if (kind != Kind::Set || params.empty() || params.size() > 2 || !params[0].present)
        return {Result::Fail, "ERROR"};
    switch (m_lock.enter(params[0].value)) {
    case SimLock::Entry::Right:
        return {};
    case SimLock::Entry::Wrong:
        return cme(16);
    case SimLock::Entry::Blocked:
        return cme(12);
    case SimLock::Entry::NotAsked:
        break;
    }
    return cme(3);
}

std::optional<Phone::Result> Phone::simRefusal(bool messageCommand) const {
    switch (m_lock.state()) {
    case SimLock::State::AsksPin:
        return messageCommand ? cms(311) : cme(11);
    case SimLock::State::Blocked:
        return messageCommand ? cms(316) : cme(12);
    case SimLock::State::Loading:
        return messageCommand ? cms(314) : cme(14);
    case SimLock::State::Ready:
        break;
    }
    return std::nullopt;
}

Phone::Result Phone::extended(const std::string& name, Kind kind, const std::string& args) {
    std::vector<Param> params;
    if (kind == Kind::Set) {
        auto parsed = parseParams(args);
        if (!parsed)
            return {Result::Fail, "ERROR"};
        params = std::move(*parsed);
    }
    const Result syntax{Result::Fail, "ERROR"};
    if (const SimCommand* command = simCommand(name)) {
        if (const auto refusal = simRefusal(command->message))
            return *refusal;
        m_lineSimAccesses += command->waits ? 1 : 0;
    }

    if (name == "+CGMI")
        return identity(kind, "AlarmGSM");
    if (name == "+CGMM")
        return identity(kind, "Virtual phone");
    if (name == "+CGMR")
        return identity(kind, "1.0");
    if (name == "+CGSN")
        return identity(kind, "350000000000006");
    if (name == "+CIMI")
        return identity(kind, "230019999999999");

    if (name == "+CPIN")
        return cpin(kind, params);
    if (name == "+CFUN") {
        // Always fully on; switching the radio off is not offered.
        if (kind == Kind::Query)
            m_info.push_back("+CFUN: 1");
        else if (kind == Kind::Test)
            m_info.push_back("+CFUN: (1)");
        else if (kind != Kind::Set || params.empty() || params.size() > 2 || !intParam(params, 0, 0, 99))
            return syntax;
        else if (intParam(params, 0, 0, 99) != 1)
            return cme(3);
        return {};
    }
    if (name == "+CSQ") {
        if (kind == Kind::Action)
            m_info.push_back("+CSQ: 20,99");
        else if (kind == Kind::Test)
            m_info.push_back("+CSQ: (0-31,99),(0-7,99)");
        else
            return syntax;
        return {};
    }
    if (name == "+CREG") {
        if (kind == Kind::Query) {
            m_info.push_back("+CREG: " + std::to_string(m_cregMode) + ",1" +
                             (m_cregMode == 2 ? ",\"0001\",\"0001\"" : ""));
        } else if (kind == Kind::Test) {
            m_info.push_back("+CREG: (0-2)");
        } else if (kind == Kind::Set && params.size() == 1) {
            const auto mode = intParam(params, 0, 0, 2, 0);
            if (!mode)
                return syntax;
            m_cregMode = *mode;
        } else {
            return syntax;
        }
        return {};
    }
    if (name == "+CMEE") {
        if (kind == Kind::Query) {
            m_info.push_back("+CMEE: " + std::to_string(m_cmee));
        } else if (kind == Kind::Test) {
            m_info.push_back("+CMEE: (0-2)");
        } else if (kind == Kind::Set && params.size() == 1) {
            const auto mode = intParam(params, 0, 0, 2, 0);
            if (!mode)
                return syntax;
            m_cmee = *mode;
        } else {
            return syntax;
        }
        return {};
    }
    if (name == "+CSCS")
        return cscs(kind, params);
    if (name == "+CSCA")
        return csca(kind, params);
    if (name == "+CPBS")
        return cpbs(kind, params);
    if (name == "+CPBR")
        return cpbr(kind, params);
    if (name == "+CPBW")
        return cpbw(kind, params);
    if (name == "+CMGF")
        return cmgf(kind, params);
    if (name == "+CPMS")
        return cpms(kind, params);
    if (name == "+CMGW")
        return cmgw(kind, params);
    if (name == "+CMGR")
        return cmgr(kind, params);
    if (name == "+CMGD")
        return cmgd(kind, params);
    if (name == "+CMGL")
        return cmgl(kind, params);
    return syntax;
}

std::string Phone::quoteText(const std::string& text) const {
    if (m_charset == "GSM")
        return quoteRaw(cp1250ToGsm(text));
    if (m_charset == "UCS2")
        return quoteRaw(cp1250ToUcs2(text));
    return quoteRaw(text);
}

// "IRA" is taken 8-bit clean: the tool sends its Windows-1250 names unchanged and reads them back.
bool Phone::decodeText(const std::string& text, std::string& out) const {
    std::optional<std::string> decoded = text;
    if (m_charset == "GSM")
        decoded = gsmToCp1250(text);
    else if (m_charset == "UCS2")
        decoded = fromUcs2OrPlain(text);
    if (!decoded)
        return false;
    out = *decoded;
    return true;
}

// A SIM keeps a name given in UCS2 as UCS2, whatever its characters.
bool Phone::givenInUcs2(const std::vector<Param>& params) const {
    if (m_charset != "UCS2" || params.size() != 4 || !params[3].present)
        return false;
    const std::string& text = params[3].value;
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return hexValue(c) >= 0; });
}

std::string Phone::nameParam(const Param& param) const {
    return m_charset == "UCS2" ? fromUcs2OrPlain(param.value).value_or(param.value) : param.value;
}

Phone::Result Phone::cscs(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Query) {
        m_info.push_back("+CSCS: \"" + m_charset + "\"");
    } else if (kind == Kind::Test) {
        std::string names;
        for (const auto& name : m_options.charsets)
            names += (names.empty() ? "(\"" : ",\"") + name + "\"";
        m_info.push_back("+CSCS: " + names + ")");
    } else if (kind == Kind::Set && params.size() == 1 && params[0].quoted) {
        const std::string name = nameParam(params[0]);
        if (std::find(m_options.charsets.begin(), m_options.charsets.end(), name) == m_options.charsets.end())
            return cme(4);
        m_charset = name;
    } else {
        return {Result::Fail, "ERROR"};
    }
    return {};
}

Phone::Result Phone::csca(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Query) {
        m_info.push_back("+CSCA: " + quoteRaw(m_sim.centre) + "," + std::to_string(m_sim.centreType));
        return {};
    }
    if (kind == Kind::Test)
        return {};
    const auto number = stringParam(params, 0);
    if (kind != Kind::Set || !number || params.size() > 2)
        return {Result::Fail, "ERROR"};
    const auto type = intParam(params, 1, 128, 255, defaultNumberType(*number));
    if (!type)
        return {Result::Fail, "ERROR"};
    switch (checkNumber(*number)) {
    case NumberCheck::TooLong:
        return cms(304);
    case NumberCheck::BadCharacter:
        return cms(304);
    case NumberCheck::Ok:
        break;
    }
    m_sim.centre = *number;
    m_sim.centreType = *type;
    changed();
    return {};
}

Phonebook* Phone::phonebookNamed(const std::string& name) {
    if (name == "SM")
        return &m_sim.phonebook;
    if (name == "ME" && m_options.phoneMemory)
        return &m_sim.phonePhonebook;
    return nullptr;
}

std::string Phone::storeNames() const {
    return m_options.phoneMemory ? "(\"SM\",\"ME\")" : "(\"SM\")";
}

Phone::Result Phone::cpbs(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Query) {
        m_info.push_back("+CPBS: \"" + m_phonebookStore + "\"," + std::to_string(phonebook().entries.size()) +
                         "," + std::to_string(phonebook().size));
    } else if (kind == Kind::Test) {
        m_info.push_back("+CPBS: " + storeNames());
    } else if (kind == Kind::Set && params.size() == 1 && params[0].quoted) {
        const std::string name = nameParam(params[0]);
        if (!phonebookNamed(name))
            return cme(3);
        m_phonebookStore = name;
    } else {
        return {Result::Fail, "ERROR"};
    }
    return {};
}

Phone::Result Phone::cpbr(Kind kind, const std::vector<Param>& params) {
    const Phonebook& book = phonebook();
    if (kind == Kind::Test) {
        m_info.push_back("+CPBR: (1-" + std::to_string(book.size) + ")," +
                         std::to_string(Sim::maxNumberDigits) + "," + std::to_string(book.nameLength));
        return {};
    }
    if (kind != Kind::Set || params.empty() || params.size() > 2 || !params[0].present)
        return {Result::Fail, "ERROR"};
    const auto first = intParam(params, 0, 0, 99999);
    const auto last = intParam(params, 1, 0, 99999, first);
    if (!first || !last)
        return {Result::Fail, "ERROR"};
    if (*first < 1 || *last > book.size || *first > *last)
        return cme(21);
    bool any = false;
    for (auto it = book.entries.lower_bound(*first); it != book.entries.end() && it->first <= *last; ++it) {
        const auto& [index, entry] = *it;
        m_info.push_back("+CPBR: " + std::to_string(index) + "," + quoteRaw(entry.number) + "," +
                         std::to_string(entry.type) + "," + quoteText(entry.name));
        any = true;
    }
    // The tool reads "OK" right after the echo as an empty position, so that is the default.
    if (!any && m_options.emptyError)
        return cme(22);
    return {};
}

Phone::Result Phone::cpbw(Kind kind, const std::vector<Param>& params) {
    Phonebook& book = phonebook();
    if (kind == Kind::Test) {
        m_info.push_back("+CPBW: (1-" + std::to_string(book.size) + ")," +
                         std::to_string(Sim::maxNumberDigits) + ",(129,145,161)," +
                         std::to_string(book.nameLength));
        return {};
    }
    if (kind != Kind::Set || params.empty() || params.size() > 4)
        return {Result::Fail, "ERROR"};
    const auto index = intParam(params, 0, 0, 99999, 0);
    if (!index)
        return {Result::Fail, "ERROR"};
    if (params[0].present && (*index < 1 || *index > book.size))
        return cme(21);

    if (params.size() == 1) {
        if (!params[0].present)
            return {Result::Fail, "ERROR"};
        if (book.entries.erase(*index))
            changed();
        return {};
    }
    const auto number = stringParam(params, 1);
    if (!number)
        return {Result::Fail, "ERROR"};
    // An empty type field, as the tool sends it, lets the number decide.
    const auto type = intParam(params, 2, 128, 255, defaultNumberType(*number));
    if (!type)
        return {Result::Fail, "ERROR"};
    std::string name;
    if (params.size() == 4 && params[3].present) {
        const auto text = stringParam(params, 3);
        if (!text)
            return {Result::Fail, "ERROR"};
        if (!decodeText(*text, name))
            return cme(25);
    }
    switch (checkNumber(*number)) {
    case NumberCheck::TooLong:
        return cme(26);
    case NumberCheck::BadCharacter:
        return cme(27);
    case NumberCheck::Ok:
        break;
    }
    const NameCoding coding = givenInUcs2(params) ? NameCoding::Ucs2 : plainCoding(name);
    if (!nameFits(book, name, coding)) {
        if (!m_options.cutNames)
            return cme(24);
        // The faulty phone confirms all the same and keeps what fits.
        while (!name.empty() && !nameFits(book, name, coding))
            name.pop_back();
    }
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return cme(25);

    int target = *index;
    if (!params[0].present) {
        target = 0;
        for (int i = 1; i <= book.size && target == 0; ++i)
            if (!book.entries.count(i))
                target = i;
        if (target == 0)
            return cme(20);
    }
    book.entries[target] = PhonebookEntry{*number, *type, name, coding};
    changed();
    return {};
}

} // namespace vphone
