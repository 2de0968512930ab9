#include "platform/console.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

void writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += std::size_t(n);
    }
}

constexpr char kCancel = 3; // Ctrl-C

// Nothing when the input ended or the user cancelled.
std::optional<std::string> readLine(int fd) {
    std::string line;
    for (char c;;) {
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || c == kCancel)
            return std::nullopt;
        if (c == '\n' || c == '\r')
            return line;
        line += c;
    }
}

} // namespace

std::vector<std::string> programArguments(int argc, char* argv[]) {
    return {argv, argv + argc};
}

bool isTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

void writeText(std::FILE* stream, const std::string& text) {
    std::fputs(text.c_str(), stream);
}

HiddenAnswer askHidden(const std::string& prompt) {
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0)
        return {};
    termios saved{};
    if (::tcgetattr(tty, &saved) != 0) {
        ::close(tty);
        return {};
    }
    // Ctrl-C ends the line as a cancel instead of killing the process with the echo still off.
    termios hidden = saved;
    hidden.c_lflag &= tcflag_t(~(ECHO | ISIG));
    hidden.c_lflag |= ECHONL;
    hidden.c_cc[VEOL] = kCancel;
    ::tcsetattr(tty, TCSAFLUSH, &hidden);
    writeAll(tty, prompt);
    const auto line = readLine(tty);
    ::tcsetattr(tty, TCSAFLUSH, &saved);
    if (!line) // the line end that would have ended the prompt's line
        writeAll(tty, "\n");
    ::close(tty);
    if (!line)
        return {HiddenAnswer::Kind::Cancelled, {}};
    return {HiddenAnswer::Kind::Typed, *line};
}

} // namespace platform
