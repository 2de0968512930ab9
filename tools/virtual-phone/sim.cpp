#include "sim.h"

#include "charset.h"
#include "params.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace vphone {

namespace {

// Quote, backslash, control and non-ASCII bytes as \HH keep the file 7-bit and one entry a line.
std::string quote(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
            out += '\\';
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

class LineReader {
public:
    LineReader(const std::string& line, int number) : m_line(line), m_number(number) {}

    [[noreturn]] void fail(const std::string& why) const {
        throw StateError("line " + std::to_string(m_number) + ": " + why);
    }

    bool atEnd() {
        skipBlanks();
        return m_pos >= m_line.size();
    }

    std::string word() {
        skipBlanks();
        const std::size_t start = m_pos;
        while (m_pos < m_line.size() && m_line[m_pos] != ' ' && m_line[m_pos] != '\t')
            ++m_pos;
        if (start == m_pos)
            fail("a value is missing");
        return m_line.substr(start, m_pos - start);
    }

    int integer(int low, int high, const char* what) {
        const std::string text = word();
        int value = 0;
        for (char c : text) {
            if (c < '0' || c > '9' || value > 100000)
                fail(std::string("bad ") + what + " \"" + text + "\"");
            value = value * 10 + (c - '0');
        }
        if (value < low || value > high)
            fail(std::string(what) + " " + text + " is outside " + std::to_string(low) + "-" +
                 std::to_string(high));
        return value;
    }

    std::string quoted(const char* what) {
        skipBlanks();
        if (m_pos >= m_line.size() || m_line[m_pos] != '"')
            fail(std::string(what) + " must be in double quotes");
        ++m_pos;
        std::string out;
        while (m_pos < m_line.size() && m_line[m_pos] != '"') {
            char c = m_line[m_pos++];
            if (c == '\\') {
                if (m_pos + 1 >= m_line.size() || hexValue(m_line[m_pos]) < 0 ||
                    hexValue(m_line[m_pos + 1]) < 0)
                    fail(std::string("a backslash in the ") + what + " must be followed by two hex digits");
                c = char(hexValue(m_line[m_pos]) * 16 + hexValue(m_line[m_pos + 1]));
                m_pos += 2;
            }
            out += c;
        }
        if (m_pos >= m_line.size())
            fail(std::string("the ") + what + " has no closing quote");
        ++m_pos;
        return out;
    }

private:
    void skipBlanks() {
        while (m_pos < m_line.size() && (m_line[m_pos] == ' ' || m_line[m_pos] == '\t'))
            ++m_pos;
    }

    const std::string& m_line;
    int m_number;
    std::size_t m_pos = 0;
};

} // namespace

NumberCheck checkNumber(const std::string& number) {
    int digits = 0;
    for (std::size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '+' && i == 0)
            continue;
        if (!std::strchr("0123456789*#pPwW", c) || c == '\0')
            return NumberCheck::BadCharacter;
        ++digits;
    }
    return digits > Sim::maxNumberDigits ? NumberCheck::TooLong : NumberCheck::Ok;
}

int defaultNumberType(const std::string& number) {
    return !number.empty() && number[0] == '+' ? 145 : 129;
}

std::string normalisePdu(const std::string& hex) {
    std::string out;
    for (char c : hex) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        const int value = hexValue(c);
        if (value < 0)
            return {};
        out += "0123456789ABCDEF"[value];
    }
    return out.size() % 2 == 0 ? out : std::string();
}

int tpduLength(const std::string& pduHex) {
    if (pduHex.size() < 2)
        return -1;
    const int octets = int(pduHex.size() / 2);
    const int smscPart = hexValue(pduHex[0]) * 16 + hexValue(pduHex[1]) + 1;
    return smscPart <= octets ? octets - smscPart : -1;
}

namespace {

const char* codingName(NameCoding coding) {
    return coding == NameCoding::Ucs2 ? "ucs2" : "gsm";
}

void formatPhonebook(std::ostream& out, const char* keyword, const Phonebook& book) {
    for (const auto& [index, entry] : book.entries)
        out << keyword << ' ' << index << ' ' << quote(entry.number) << ' ' << entry.type << ' '
            << quote(entry.name) << ' ' << codingName(entry.coding) << '\n';
}

// A file written before names had their coding gives none: the SIM's own alphabet where it serves.
NameCoding parseCoding(LineReader& reader, const std::string& name) {
    if (reader.atEnd())
        return plainCoding(name);
    const std::string word = reader.word();
    if (word != codingName(NameCoding::Gsm) && word != codingName(NameCoding::Ucs2))
        reader.fail("the name's coding is neither gsm nor ucs2");
    if (word == codingName(NameCoding::Gsm) && plainCoding(name) != NameCoding::Gsm)
        reader.fail("the name has a character the GSM alphabet lacks");
    return word == codingName(NameCoding::Gsm) ? NameCoding::Gsm : NameCoding::Ucs2;
}

void formatMessages(std::ostream& out, const char* keyword, const MessageStore& store) {
    for (const auto& [index, message] : store.messages)
        out << keyword << ' ' << index << ' ' << message.status << ' ' << message.pdu << '\n';
}

void parseEntry(LineReader& reader, Phonebook& book) {
    const int index = reader.integer(1, book.size, "phonebook index");
    PhonebookEntry entry;
    entry.number = reader.quoted("number");
    entry.type = reader.integer(128, 255, "number type");
    entry.name = reader.quoted("name");
    entry.coding = parseCoding(reader, entry.name);
    if (checkNumber(entry.number) != NumberCheck::Ok)
        reader.fail("the number is too long or has a character a SIM cannot hold");
    if (!nameFits(book, entry.name, entry.coding))
        reader.fail("the name is longer than the SIM takes");
    if (!book.entries.emplace(index, entry).second)
        reader.fail("phonebook index " + std::to_string(index) + " appears twice");
}

void parseMessage(LineReader& reader, MessageStore& store) {
    const int index = reader.integer(1, store.size, "message index");
    StoredMessage message;
    message.status = reader.integer(0, 3, "message status");
    const std::string raw = reader.word();
    message.pdu = normalisePdu(raw);
    if (message.pdu.empty() || tpduLength(message.pdu) < 1)
        reader.fail("the PDU is not whole octets of hex with a fitting SMSC part");
    if (!store.messages.emplace(index, message).second)
        reader.fail("message index " + std::to_string(index) + " appears twice");
}

} // namespace

NameCoding plainCoding(const std::string& name) {
    return gsmToCp1250(cp1250ToGsm(name)) == name ? NameCoding::Gsm : NameCoding::Ucs2;
}

bool nameFits(const Phonebook& book, const std::string& name, NameCoding coding) {
    const std::size_t bytes = coding == NameCoding::Gsm ? cp1250ToGsm(name).size() : 2 * name.size() + 1;
    return name.size() <= std::size_t(book.nameLength) &&
           (book.nameBytes == 0 || bytes <= std::size_t(book.nameBytes));
}

std::string formatState(const Sim& sim) {
    std::ostringstream out;
    out << "# SIM of the virtual phone: centre, phonebook entries (index number type name coding),\n"
           "# messages (index status pdu; status 0 unread, 1 read, 2 unsent, 3 sent);\n"
           "# me-entry and me-message lines are the phone's own memory.\n";
    out << "centre " << quote(sim.centre) << ' ' << sim.centreType << '\n';
    formatPhonebook(out, "entry", sim.phonebook);
    formatMessages(out, "message", sim.messages);
    formatPhonebook(out, "me-entry", sim.phonePhonebook);
    formatMessages(out, "me-message", sim.phoneMessages);
    return out.str();
}

Sim parseState(const std::string& text, Sim sim) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        LineReader reader(line, number);
        if (reader.atEnd())
            continue;
        const std::string keyword = reader.word();
        if (keyword[0] == '#')
            continue;
        if (keyword == "centre") {
            sim.centre = reader.quoted("centre number");
            sim.centreType = reader.integer(128, 255, "number type");
            if (checkNumber(sim.centre) != NumberCheck::Ok)
                reader.fail("the centre number is not a valid number");
        } else if (keyword == "entry") {
            parseEntry(reader, sim.phonebook);
        } else if (keyword == "message") {
            parseMessage(reader, sim.messages);
        } else if (keyword == "me-entry") {
            parseEntry(reader, sim.phonePhonebook);
        } else if (keyword == "me-message") {
            parseMessage(reader, sim.phoneMessages);
        } else {
            reader.fail("unknown keyword \"" + keyword + "\"");
        }
        if (!reader.atEnd())
            reader.fail("unexpected text after the values");
    }
    return sim;
}

Sim loadState(const std::string& path, Sim blank) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (errno == ENOENT)
            return blank;
        throw StateError(path + ": " + std::strerror(errno));
    }
    std::ostringstream content;
    content << in.rdbuf();
    try {
        return parseState(content.str(), std::move(blank));
    } catch (const StateError& error) {
        throw StateError(path + ": " + error.what());
    }
}

void saveState(const Sim& sim, const std::string& path) {
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    const std::string content = formatState(sim);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw StateError(temp + ": " + std::strerror(errno));
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            throw StateError(temp + ": " + std::strerror(error));
        }
        done += std::size_t(n);
    }
    int error = ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        throw StateError(temp + ": " + std::strerror(error));
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throw StateError(path + ": " + std::strerror(error));
    }
}

} // namespace vphone
