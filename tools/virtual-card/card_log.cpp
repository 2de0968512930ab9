#include "card_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace vcard {

CardLog::CardLog(const std::string& path, Clock::time_point start) : m_start(start) {
    if (path.empty())
        return;
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (m_fd < 0)
        throw std::runtime_error(path + ": " + std::strerror(errno));
}

CardLog::~CardLog() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string CardLog::hex(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

std::string CardLog::stamp() const {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f",
                  std::chrono::duration<double, std::milli>(Clock::now() - m_start).count());
    return text;
}

void CardLog::control(const std::string& what) {
    put(stamp() + " control " + what + "\n");
}

void CardLog::exchange(const std::vector<std::uint8_t>& apdu, const std::string& answer) {
    put(stamp() + " apdu " + hex(apdu) + " " + answer + "\n");
}

// One write per line, so a test reading the file never sees half a line.
void CardLog::put(const std::string& line) {
    if (m_fd < 0)
        return;
    while (::write(m_fd, line.data(), line.size()) < 0 && errno == EINTR) {
    }
}

} // namespace vcard
