#include "platform/serial_device.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

template <typename Call> auto retryingEintr(Call call) {
    decltype(call()) result;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

struct StandardSpeed {
    std::uint32_t rate;
    speed_t code;
};
constexpr StandardSpeed kStandardSpeeds[] = {
    {50, B50},         {75, B75},         {110, B110},         {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000},
};

std::optional<speed_t> standardSpeedCode(std::uint32_t rate) {
    for (const StandardSpeed& speed : kStandardSpeeds)
        if (speed.rate == rate)
            return speed.code;
    return std::nullopt;
}

bool setDataBits(termios& attributes, int dataBits) {
    tcflag_t size;
    switch (dataBits) {
    case 5:
        size = CS5;
        break;
    case 6:
        size = CS6;
        break;
    case 7:
        size = CS7;
        break;
    case 8:
        size = CS8;
        break;
    default:
        return false;
    }
    attributes.c_cflag = (attributes.c_cflag & ~CSIZE) | size;
    return true;
}

void setParity(termios& attributes, SerialParity parity, bool check) {
    attributes.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (parity) {
    case SerialParity::None:
        break;
    case SerialParity::Odd:
        attributes.c_cflag |= PARENB | PARODD;
        break;
    case SerialParity::Even:
        attributes.c_cflag |= PARENB;
        break;
    // CMSPAR turns the odd/even choice into a fixed parity bit: PARODD gives mark, none space.
    case SerialParity::Mark:
        attributes.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case SerialParity::Space:
        attributes.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (check)
        attributes.c_iflag |= INPCK;
    else
        attributes.c_iflag &= ~INPCK;
}

bool setStopBits(termios& attributes, SerialStopBits stopBits) {
    switch (stopBits) {
    case SerialStopBits::One:
        attributes.c_cflag &= ~CSTOPB;
        return true;
    case SerialStopBits::Two:
        attributes.c_cflag |= CSTOPB;
        return true;
    case SerialStopBits::OneAndHalf:
        return false;
    }
    return false;
}

bool setFlowControl(termios& attributes, SerialFlow flow, char xonChar, char xoffChar) {
    attributes.c_cflag &= ~CRTSCTS;
    attributes.c_iflag &= ~(IXON | IXOFF | IXANY);
    attributes.c_cc[VSTART] = cc_t(xonChar);
    attributes.c_cc[VSTOP] = cc_t(xoffChar);
    switch (flow) {
    case SerialFlow::None:
        return true;
    case SerialFlow::XonXoff:
        attributes.c_iflag |= IXON | IXOFF;
        return true;
    case SerialFlow::RtsCts:
        attributes.c_cflag |= CRTSCTS;
        return true;
    case SerialFlow::DtrDsr:
        return false; // no termios counterpart
    }
    return false;
}

bool setModemLine(int fd, int line, bool on) {
    return retryingEintr([&] { return ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line); }) == 0;
}

} // namespace

bool settingsToTermios(const SerialSettings& settings, termios& attributes) {
    if (!setDataBits(attributes, settings.dataBits))
        return false;
    setParity(attributes, settings.parity, settings.parityCheck);
    if (!setStopBits(attributes, settings.stopBits))
        return false;
    return setFlowControl(attributes, settings.flow, settings.xonChar, settings.xoffChar);
}

SerialSettings settingsFromTermios(const termios& attributes) {
    SerialSettings settings;
    switch (attributes.c_cflag & CSIZE) {
    case CS5:
        settings.dataBits = 5;
        break;
    case CS6:
        settings.dataBits = 6;
        break;
    case CS7:
        settings.dataBits = 7;
        break;
    default:
        settings.dataBits = 8;
        break;
    }
    const tcflag_t c = attributes.c_cflag;
    if (!(c & PARENB))
        settings.parity = SerialParity::None;
    else if (c & CMSPAR)
        settings.parity = (c & PARODD) ? SerialParity::Mark : SerialParity::Space;
    else
        settings.parity = (c & PARODD) ? SerialParity::Odd : SerialParity::Even;
    settings.parityCheck = (attributes.c_iflag & INPCK) != 0;
    settings.stopBits = (c & CSTOPB) ? SerialStopBits::Two : SerialStopBits::One;
    if (c & CRTSCTS)
        settings.flow = SerialFlow::RtsCts;
    else if ((attributes.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF))
        settings.flow = SerialFlow::XonXoff;
    else
        settings.flow = SerialFlow::None;
    settings.xonChar = char(attributes.c_cc[VSTART]);
    settings.xoffChar = char(attributes.c_cc[VSTOP]);
    return settings;
}

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice() {
    close();
}

int SerialDevice::open(const std::string& path) {
    close();
    const int fd =
        retryingEintr([&] { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0)
        return errno;
    const auto fail = [fd](int error) {
        ::close(fd);
        return error;
    };
    // Pseudo-terminals and some adapters refuse TIOCEXCL; the advisory lock alone keeps other
    // openers of this program out there.
    if (::ioctl(fd, TIOCEXCL) < 0 && errno != ENOTTY && errno != EINVAL)
        return fail(errno);
    if (retryingEintr([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) < 0)
        return fail(errno);
    auto saved = std::make_unique<termios>();
    if (::tcgetattr(fd, saved.get()) < 0)
        return fail(errno);
    termios raw = *saved;
    ::cfmakeraw(&raw);
    raw.c_cflag |= CLOCAL | CREAD;
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    if (retryingEintr([&] { return ::tcsetattr(fd, TCSANOW, &raw); }) < 0)
        return fail(errno);
    // Phones and their data cables take their power or their "PC present" signal from DTR and
    // only talk while RTS is up, even without hardware flow control. A pty has no such lines.
    setModemLine(fd, TIOCM_DTR, true);
    setModemLine(fd, TIOCM_RTS, true);
    m_fd = fd;
    m_saved = std::move(saved);
    return 0;
}

void SerialDevice::close() {
    if (m_fd < 0)
        return;
    if (m_saved)
        ::tcsetattr(m_fd, TCSANOW, m_saved.get());
    // The exclusive flag outlives this descriptor while the other side keeps the terminal open
    // (a pseudo-terminal), and would then refuse the next open by an ordinary user.
    ::ioctl(m_fd, TIOCNXCL);
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
    m_saved.reset();
}

bool SerialDevice::apply(const SerialSettings& settings) {
    termios attributes{};
    if (m_fd < 0 || ::tcgetattr(m_fd, &attributes) < 0)
        return false;
    bool complete = settingsToTermios(settings, attributes);
    const std::optional<speed_t> code = standardSpeedCode(settings.baudRate);
    if (code) {
        ::cfsetispeed(&attributes, *code);
        ::cfsetospeed(&attributes, *code);
    }
    if (retryingEintr([&] { return ::tcsetattr(m_fd, TCSANOW, &attributes); }) < 0)
        return false;
    if (!code && !arbitrary_speed::setSpeed(m_fd, settings.baudRate))
        complete = false;
    // tcsetattr succeeds when any part was taken (a pty keeps 8 bits and no parity): compare.
    return complete && current() == settings;
}

SerialSettings SerialDevice::current() const {
    termios attributes{};
    if (m_fd < 0 || ::tcgetattr(m_fd, &attributes) < 0)
        return {};
    SerialSettings settings = settingsFromTermios(attributes);
    if (const auto rate = arbitrary_speed::speed(m_fd)) {
        settings.baudRate = *rate;
    } else {
        const speed_t code = ::cfgetospeed(&attributes);
        settings.baudRate = 0;
        for (const StandardSpeed& speed : kStandardSpeeds)
            if (speed.code == code)
                settings.baudRate = speed.rate;
    }
    return settings;
}

int SerialDevice::bytesWaiting() const {
    int count = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &count) < 0)
        return 0;
    return count;
}

int SerialDevice::bytesQueuedOut() const {
    int count = 0;
    if (m_fd < 0 || ::ioctl(m_fd, TIOCOUTQ, &count) < 0)
        return 0;
    return count;
}

std::optional<int> SerialDevice::modemLines() const {
    int status = 0;
    if (m_fd < 0 || ::ioctl(m_fd, TIOCMGET, &status) < 0)
        return std::nullopt;
    int lines = 0;
    if (status & TIOCM_CTS)
        lines |= kLineCts;
    if (status & TIOCM_DSR)
        lines |= kLineDsr;
    if (status & TIOCM_CAR)
        lines |= kLineRlsd;
    if (status & TIOCM_RNG)
        lines |= kLineRing;
    return lines;
}

std::optional<LineCounters> SerialDevice::lineCounters() const {
    serial_icounter_struct counts{};
    if (m_fd < 0 || ::ioctl(m_fd, TIOCGICOUNT, &counts) < 0)
        return std::nullopt;
    return LineCounters{std::uint32_t(counts.frame), std::uint32_t(counts.overrun),
                        std::uint32_t(counts.parity), std::uint32_t(counts.brk),
                        std::uint32_t(counts.buf_overrun)};
}

bool SerialDevice::setDtr(bool on) {
    return m_fd >= 0 && setModemLine(m_fd, TIOCM_DTR, on);
}

bool SerialDevice::setRts(bool on) {
    return m_fd >= 0 && setModemLine(m_fd, TIOCM_RTS, on);
}

void SerialDevice::flushInput() {
    if (m_fd >= 0)
        ::tcflush(m_fd, TCIFLUSH);
}

void SerialDevice::flushOutput() {
    if (m_fd >= 0)
        ::tcflush(m_fd, TCOFLUSH);
}

long SerialDevice::read(void* buffer, std::size_t count) {
    const long result = retryingEintr([&] { return long(::read(m_fd, buffer, count)); });
    if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return 0;
    return result;
}

long SerialDevice::write(const void* bytes, std::size_t count) {
    const long result = retryingEintr([&] { return long(::write(m_fd, bytes, count)); });
    if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return 0;
    return result;
}

} // namespace platform
