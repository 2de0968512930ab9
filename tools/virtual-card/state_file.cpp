#include "state_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vcard {

namespace {

std::string hex(const std::uint8_t* bytes, std::size_t size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

[[noreturn]] void fail(int line, const std::string& why) {
    throw StateError("line " + std::to_string(line) + ": " + why);
}

CardFile& fileNamed(CardFiles& files, const std::string& name, int line) {
    for (CardFile& file : files.all())
        if (!file.stateName.empty() && file.stateName == name)
            return file;
    fail(line, "unknown file \"" + name + "\"");
}

void parseRecord(std::istringstream& fields, CardFiles& files, const std::string& name, int line) {
    CardFile& file = fileNamed(files, name, line);
    int number = 0;
    std::string digits, rest;
    if (!(fields >> number) || !(fields >> digits) || (fields >> rest))
        fail(line, "a record line is <file> <record> <hex>");
    if (number < 1 || number > file.recordCount())
        fail(line, name + " has records 1-" + std::to_string(file.recordCount()));
    if (digits.size() != 2 * std::size_t(file.recordLength))
        fail(line, name + " records are " + std::to_string(file.recordLength) + " bytes");
    const auto at = file.content.begin() + std::ptrdiff_t(number - 1) * file.recordLength;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = hexValue(digits[i]), low = hexValue(digits[i + 1]);
        if (high < 0 || low < 0)
            fail(line, "the record is not hex");
        at[std::ptrdiff_t(i / 2)] = std::uint8_t(high << 4 | low);
    }
}

} // namespace

std::string formatState(const CardFiles& files) {
    std::string text = "# Records of the virtual card that are not blank (all FF): file record hex.\n";
    for (const CardFile& file : files.all()) {
        if (file.stateName.empty())
            continue;
        for (int number = 1; number <= file.recordCount(); ++number) {
            const std::uint8_t* record = file.content.data() + std::size_t(number - 1) * file.recordLength;
            if (std::all_of(record, record + file.recordLength, [](std::uint8_t b) { return b == 0xFF; }))
                continue;
            text += file.stateName + ' ' + std::to_string(number) + ' ' +
                    hex(record, std::size_t(file.recordLength)) + '\n';
        }
    }
    return text;
}

void parseState(const std::string& text, CardFiles& files) {
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream fields(line);
        std::string name;
        if (!(fields >> name) || name[0] == '#')
            continue;
        parseRecord(fields, files, name, number);
    }
}

void loadState(const std::string& path, CardFiles& files) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (errno == ENOENT)
            return;
        throw StateError(path + ": " + std::strerror(errno));
    }
    std::ostringstream content;
    content << in.rdbuf();
    try {
        parseState(content.str(), files);
    } catch (const StateError& error) {
        throw StateError(path + ": " + error.what());
    }
}

void saveState(const CardFiles& files, const std::string& path) {
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    const std::string content = formatState(files);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw StateError(temp + ": " + std::strerror(errno));
    std::size_t done = 0;
    int error = 0;
    while (done < content.size() && error == 0) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n >= 0)
            done += std::size_t(n);
        else if (errno != EINTR)
            error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        throw StateError(path + ": " + std::strerror(error));
    }
}

} // namespace vcard
