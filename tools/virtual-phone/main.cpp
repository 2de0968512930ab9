// alarmgsm-phone: a GSM phone on a pseudo-terminal, for the demo and for end-to-end tests.
// Prints the device path as its first line, then serves until SIGTERM or SIGINT.
#include "ending_signals.h"
#include "options.h"
#include "phone.h"
#include "sim.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

[[noreturn]] void die(const std::string& what) {
    std::fprintf(stderr, "alarmgsm-phone: %s\n", what.c_str());
    std::exit(1);
}

[[noreturn]] void dieErrno(const std::string& what) {
    die(what + ": " + std::strerror(errno));
}

// One line per chunk, with CR, LF, Ctrl-Z and every other control visible.
class ByteLog {
public:
    ByteLog(const std::string& path, Clock::time_point start) : m_start(start) {
        if (path.empty())
            return;
        m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (m_fd < 0)
            dieErrno(path);
    }
    ~ByteLog() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ByteLog(const ByteLog&) = delete;
    ByteLog& operator=(const ByteLog&) = delete;

    void note(const std::string& text) { put("# " + text + "\n"); }

    // Input a strict phone lost: it never reached the phone, so it is only noted.
    void dropped(const std::string& bytes) { note("dropped " + escaped(bytes.data(), bytes.size())); }

    void chunk(const char* direction, const char* data, std::size_t size) {
        if (m_fd < 0)
            return;
        char stamp[32];
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - m_start).count();
        std::snprintf(stamp, sizeof stamp, "%.3f ", ms);
        put(stamp + std::string(direction) + ' ' + escaped(data, size) + "\n");
    }

private:
    static std::string escaped(const char* data, std::size_t size) {
        std::string line;
        for (std::size_t i = 0; i < size; ++i) {
            const unsigned char c = static_cast<unsigned char>(data[i]);
            if (c == '\r')
                line += "\\r";
            else if (c == '\n')
                line += "\\n";
            else if (c == '\\')
                line += "\\\\";
            else if (c < 0x20 || c >= 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                line += hex;
            } else
                line += char(c);
        }
        return line;
    }

    void put(const std::string& line) {
        if (m_fd < 0)
            return;
        // One write per line, so a test reading the file never sees half a line.
        while (::write(m_fd, line.data(), line.size()) < 0 && errno == EINTR) {
        }
    }

    Clock::time_point m_start;
    int m_fd = -1;
};

// A timerfd of the poll loop, closed with its owner.
class Timer {
public:
    Timer() : m_fd(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
        if (m_fd < 0)
            dieErrno("timerfd_create");
    }
    ~Timer() { ::close(m_fd); }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int fd() const { return m_fd; }

    void arm(Clock::duration first, Clock::duration interval = {}) {
        const auto toSpec = [](Clock::duration d) {
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
            return timespec{time_t(ns / 1000000000), long(ns % 1000000000)};
        };
        itimerspec spec{};
        spec.it_value = toSpec(std::max<Clock::duration>(first, 1ns)); // zero would disarm
        spec.it_interval = toSpec(interval);
        ::timerfd_settime(m_fd, 0, &spec, nullptr);
    }

    void disarm() {
        itimerspec spec{};
        ::timerfd_settime(m_fd, 0, &spec, nullptr);
    }

    std::uint64_t drain() {
        std::uint64_t expirations = 0;
        if (::read(m_fd, &expirations, sizeof expirations) != sizeof expirations)
            return 0;
        return expirations;
    }

private:
    int m_fd;
};

vphone::PhoneOptions phoneOptions(const vphone::Options& options) {
    return {.echo = options.echo,
            .emptyError = options.emptyError,
            .cutNames = options.cutNames,
            .phoneMemory = options.phoneMemory,
            .textMode = options.textMode,
            .cmee = options.cmee,
            .charset = options.charset,
            .charsets = options.charsets,
            .pin = options.pin,
            .pinTries = options.pinTries,
            .simLoadsAfterPin = options.pinBusyMs > 0,
            .codeInside = options.urcInside ? options.urc : std::string()};
}

class VirtualPhone {
public:
    VirtualPhone(const vphone::Options& options, vphone::Sim& sim, ByteLog& log, int master)
        : m_options(options), m_log(log), m_master(master),
          m_phone(sim, phoneOptions(options), [this, &sim] { saveSim(sim); }) {
        if (!options.urc.empty() && !options.off)
            m_urcTimer.arm(std::chrono::milliseconds(options.urcEveryMs),
                           std::chrono::milliseconds(options.urcEveryMs));
    }

    // Serves until a signal arrives on signalFd.
    void run(int signalFd) {
        while (true) {
            pollfd fds[6] = {
                {m_master, short(POLLIN | (m_writeBlocked ? POLLOUT : 0)), 0},
                {signalFd, POLLIN, 0},
                {m_replyTimer.fd(), POLLIN, 0},
                {m_paceTimer.fd(), POLLIN, 0},
                {m_urcTimer.fd(), POLLIN, 0},
                {m_simTimer.fd(), POLLIN, 0},
            };
            if (::poll(fds, 6, -1) < 0) {
                if (errno == EINTR)
                    continue;
                dieErrno("poll");
            }
            if (fds[1].revents & POLLIN)
                return;
            if (fds[0].revents & POLLOUT)
                m_writeBlocked = false;
            if (fds[0].revents & (POLLIN | POLLHUP | POLLERR))
                readMaster();
            if (fds[2].revents & POLLIN) {
                m_replyTimer.drain();
                releaseDuePieces();
            }
            if (fds[3].revents & POLLIN)
                m_paceCredit += m_paceTimer.drain();
            if (fds[4].revents & POLLIN) {
                m_urcTimer.drain();
                m_urcDue = true;
            }
            if (fds[5].revents & POLLIN) {
                m_simTimer.drain();
                m_phone.simLoaded();
            }
            pump();
        }
    }

private:
    void saveSim(const vphone::Sim& sim) {
        if (m_options.state.empty())
            return;
        try {
            vphone::saveState(sim, m_options.state);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "alarmgsm-phone: the SIM was not saved: %s\n", error.what());
        }
    }

    void readMaster() {
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        // The phone holds the slave open itself, so end of file or EIO means the pty is gone.
        if (n <= 0)
            die(std::string("the pseudo-terminal failed: ") + (n < 0 ? std::strerror(errno) : "closed"));
        m_log.chunk("in", buffer, std::size_t(n));
        if (!m_options.off)
            m_input.append(buffer, std::size_t(n));
    }

    void pump() {
        takeInput();
        // Unsolicited codes only between commands, and not piled up while nobody reads the port.
        if (m_urcDue && m_pieces.empty() && m_input.empty() && !m_phone.midCommand()) {
            m_urcDue = false;
            if (m_wire.size() < 4096)
                m_wire += "\r\n" + m_options.urc + "\r\n";
        }
        flushWire();
    }

    // Commands are taken one at a time: while a reply is held back (delays, split), later input waits,
    // as in a phone that is busy with the previous command. A strict phone loses it instead, and
    // with it a message that comes before its prompt.
    void takeInput() {
        std::size_t used = 0;
        bool busy = !m_pieces.empty();
        while (!busy && used < m_input.size()) {
            vphone::PhoneOutput out;
            m_phone.receive(m_input[used++], out);
            m_wire += out.echo;
            if (out.simLoading)
                m_simTimer.arm(std::chrono::milliseconds(m_options.pinBusyMs));
            if (out.hasResponse) {
                scheduleReply(out.response, out.simAccesses);
                busy = !m_pieces.empty() || (m_options.strict && m_phone.inMessageEntry());
            }
        }
        if (m_options.strict && used < m_input.size()) {
            m_log.dropped(m_input.substr(used));
            used = m_input.size();
        }
        m_input.erase(0, used);
    }

    void scheduleReply(const std::string& reply, int simAccesses) {
        const int holdMs = m_options.delayMs + simAccesses * m_options.simDelayMs;
        if (holdMs == 0 && m_options.splitMs == 0) {
            m_wire += reply;
            return;
        }
        const auto due = Clock::now() + std::chrono::milliseconds(holdMs);
        if (m_options.splitMs > 0 && reply.size() >= 2) {
            const std::size_t half = reply.size() / 2;
            m_pieces.push_back({due, reply.substr(0, half)});
            m_pieces.push_back({due + std::chrono::milliseconds(m_options.splitMs), reply.substr(half)});
        } else {
            m_pieces.push_back({due, reply});
        }
        releaseDuePieces();
    }

    void releaseDuePieces() {
        const auto now = Clock::now();
        while (!m_pieces.empty() && m_pieces.front().due <= now) {
            m_wire += m_pieces.front().bytes;
            m_pieces.pop_front();
        }
        if (m_pieces.empty())
            m_replyTimer.disarm();
        else
            m_replyTimer.arm(m_pieces.front().due - now);
    }

    void flushWire() {
        while (!m_wire.empty() && !m_writeBlocked) {
            std::size_t allowed = m_wire.size();
            if (m_options.paced) {
                if (!m_pacing) {
                    // 10 bits a character at 19200 baud; the first byte goes at once.
                    const auto byteTime = std::chrono::nanoseconds(1000000000LL * 10 / 19200);
                    m_paceTimer.arm(byteTime, byteTime);
                    m_pacing = true;
                    m_paceCredit = 1;
                }
                allowed = std::min<std::size_t>(allowed, m_paceCredit);
                if (allowed == 0)
                    return;
            }
            const ssize_t n = ::write(m_master, m_wire.data(), allowed);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                if (errno == EAGAIN) {
                    m_writeBlocked = true;
                    return;
                }
                dieErrno("write to the pseudo-terminal");
            }
            m_log.chunk("out", m_wire.data(), std::size_t(n));
            m_wire.erase(0, std::size_t(n));
            if (m_options.paced)
                m_paceCredit -= std::uint64_t(n);
        }
        if (m_wire.empty() && m_pacing) {
            m_paceTimer.disarm();
            m_pacing = false;
            m_paceCredit = 0;
        }
    }

    struct Piece {
        Clock::time_point due;
        std::string bytes;
    };

    const vphone::Options& m_options;
    ByteLog& m_log;
    int m_master;
    vphone::Phone m_phone;
    Timer m_replyTimer;
    Timer m_paceTimer;
    Timer m_urcTimer;
    Timer m_simTimer; // the SIM loads after its PIN

    std::string m_input;
    std::deque<Piece> m_pieces;
    std::string m_wire;
    bool m_writeBlocked = false;
    bool m_pacing = false;
    std::uint64_t m_paceCredit = 0;
    bool m_urcDue = false;
};

// The slave stays open in this process as well: when the tool closes the port, the master would
// otherwise see a hang-up that poll() reports for ever, and the line settings would be lost.
int openSlave(const char* path) {
    const int slave = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0)
        dieErrno(path);
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        // Raw from the start, so a client that does not set the line up itself gets no line editing.
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        ::cfsetispeed(&tio, B19200);
        ::cfsetospeed(&tio, B19200);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    return slave;
}

void makeLink(const std::string& link, const std::string& device) {
    std::error_code error;
    const std::filesystem::path path(link);
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), error);
    struct stat info {};
    if (::lstat(link.c_str(), &info) == 0) {
        // A stale link from an earlier run is replaced; anything else is the user's and stays.
        if (!S_ISLNK(info.st_mode))
            die(link + " exists and is not a symbolic link");
        if (::unlink(link.c_str()) != 0)
            dieErrno(link);
    }
    if (::symlink(device.c_str(), link.c_str()) != 0)
        dieErrno(link);
}

void removeLink(const std::string& link, const std::string& device) {
    char target[4096];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, std::size_t(n)) == device)
        ::unlink(link.c_str());
}

} // namespace

int main(int argc, char** argv) {
    const vphone::Options options = vphone::parseOptions(argc, argv);
    const auto start = Clock::now();

    vphone::Sim sim;
    sim.phonebook.size = options.phonebookSize;
    sim.phonebook.nameLength = options.nameLength;
    sim.phonebook.nameBytes = options.nameBytes;
    sim.messages.size = options.smsSize;
    if (!options.state.empty()) {
        try {
            sim = vphone::loadState(options.state, std::move(sim));
        } catch (const std::exception& error) {
            die(error.what());
        }
    }

    const int signalFd = endingSignalsDescriptor();
    if (signalFd < 0)
        dieErrno("signalfd");
    std::signal(SIGPIPE, SIG_IGN);

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        dieErrno("posix_openpt");
    char name[256];
    if (::ptsname_r(master, name, sizeof name) != 0)
        dieErrno("ptsname");
    const std::string device = name;
    const int slave = openSlave(name);

    if (!options.link.empty())
        makeLink(options.link, device);

    ByteLog log(options.log, start);
    log.note("alarmgsm-phone on " + device);

    std::printf("%s\n", device.c_str());
    std::fflush(stdout);

    VirtualPhone phone(options, sim, log, master);
    phone.run(signalFd);

    if (!options.link.empty())
        removeLink(options.link, device);
    ::close(slave);
    ::close(master);
    ::close(signalFd);
    return 0;
}
