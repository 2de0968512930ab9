#pragma once
// The card's log: every control message and every APDU with its answer, one line each, with the
// time since the card started in milliseconds, so a test sees what reached the card and when.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vcard {

class CardLog {
public:
    using Clock = std::chrono::steady_clock;

    // An empty path logs nothing. Throws std::runtime_error when the file cannot be opened.
    CardLog(const std::string& path, Clock::time_point start);
    ~CardLog();
    CardLog(const CardLog&) = delete;
    CardLog& operator=(const CardLog&) = delete;

    void note(const std::string& text) { put("# " + text + "\n"); }
    void control(const std::string& what);
    void exchange(const std::vector<std::uint8_t>& apdu, const std::string& answer);

    static std::string hex(const std::vector<std::uint8_t>& bytes);

private:
    void put(const std::string& line);
    std::string stamp() const;

    Clock::time_point m_start;
    int m_fd = -1;
};

} // namespace vcard
