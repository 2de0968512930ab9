#include "platform/serial_device.h"
#include "platform/serial_termios.h"

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

// The block's parity and stop-bit values are in the order of the settings' enumerations.
SerialSettings settingsFromBlock(const ControlBlock& block) {
    SerialSettings settings;
    settings.baudRate = block.BaudRate;
    settings.dataBits = block.ByteSize;
    settings.parity = block.Parity <= dcb::SPACEPARITY ? SerialParity(block.Parity) : SerialParity::None;
    settings.parityCheck = (block.Flags & dcb::fParity) != 0;
    settings.stopBits =
        block.StopBits <= dcb::TWOSTOPBITS ? SerialStopBits(block.StopBits) : SerialStopBits::One;
    if (block.Flags & (dcb::fOutxDsrFlow | dcb::fDtrControlHandshake))
        settings.flow = SerialFlow::DtrDsr;
    else if (block.Flags & (dcb::fOutxCtsFlow | dcb::fRtsControlHandshake))
        settings.flow = SerialFlow::RtsCts;
    else if (block.Flags & (dcb::fOutX | dcb::fInX))
        settings.flow = SerialFlow::XonXoff;
    settings.xonChar = block.XonChar;
    settings.xoffChar = block.XoffChar;
    return settings;
}

// The fields that a termios line has no counterpart for keep their values.
void settingsIntoBlock(const SerialSettings& settings, ControlBlock& block) {
    block.BaudRate = settings.baudRate;
    block.ByteSize = std::uint8_t(settings.dataBits);
    block.Parity = std::uint8_t(settings.parity);
    block.StopBits = settings.stopBits == SerialStopBits::Two ? dcb::TWOSTOPBITS : dcb::ONESTOPBIT;
    block.Flags &= ~(dcb::fParity | dcb::fOutX | dcb::fInX | dcb::fOutxCtsFlow | dcb::fRtsControlHandshake |
                     dcb::fOutxDsrFlow | dcb::fDtrControlHandshake);
    if (settings.parityCheck)
        block.Flags |= dcb::fParity;
    if (settings.flow == SerialFlow::XonXoff)
        block.Flags |= dcb::fOutX | dcb::fInX;
    if (settings.flow == SerialFlow::RtsCts)
        block.Flags |= dcb::fOutxCtsFlow | dcb::fRtsControlHandshake;
    block.XonChar = settings.xonChar;
    block.XoffChar = settings.xoffChar;
}

struct LineCounters {
    std::uint32_t frame = 0, overrun = 0, parity = 0, brk = 0, bufferOverrun = 0;
};

std::optional<LineCounters> lineCounters(int fd) {
    serial_icounter_struct counts{};
    if (::ioctl(fd, TIOCGICOUNT, &counts) < 0)
        return std::nullopt;
    return LineCounters{std::uint32_t(counts.frame), std::uint32_t(counts.overrun),
                        std::uint32_t(counts.parity), std::uint32_t(counts.brk),
                        std::uint32_t(counts.buf_overrun)};
}

std::uint32_t lineErrorFlags(const LineCounters& before, const LineCounters& now) {
    std::uint32_t flags = 0;
    if (now.frame != before.frame)
        flags |= kErrorFrame;
    if (now.overrun != before.overrun)
        flags |= kErrorOverrun;
    if (now.parity != before.parity)
        flags |= kErrorParity;
    if (now.brk != before.brk)
        flags |= kErrorBreak;
    if (now.bufferOverrun != before.bufferOverrun)
        flags |= kErrorRxOver;
    return flags;
}

int ioctlCount(int fd, unsigned long request) {
    int count = 0;
    if (::ioctl(fd, request, &count) < 0)
        return 0;
    return count;
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

namespace {

SerialSettings currentSettings(int fd) {
    termios attributes{};
    if (::tcgetattr(fd, &attributes) < 0)
        return {};
    SerialSettings settings = settingsFromTermios(attributes);
    if (const auto rate = arbitrary_speed::speed(fd)) {
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

// Applies the settings and reads back what the device took; false unless it took them all.
bool applySettings(int fd, const SerialSettings& settings) {
    termios attributes{};
    if (::tcgetattr(fd, &attributes) < 0)
        return false;
    bool complete = settingsToTermios(settings, attributes);
    const std::optional<speed_t> code = standardSpeedCode(settings.baudRate);
    if (code) {
        ::cfsetispeed(&attributes, *code);
        ::cfsetospeed(&attributes, *code);
    }
    if (retryingEintr([&] { return ::tcsetattr(fd, TCSANOW, &attributes); }) < 0)
        return false;
    if (!code && !arbitrary_speed::setSpeed(fd, settings.baudRate))
        complete = false;
    // tcsetattr succeeds when any part was taken (a pty keeps 8 bits and no parity): compare.
    return complete && currentSettings(fd) == settings;
}

} // namespace

struct SerialDevice::State {
    int fd = -1;
    termios saved{};
    std::optional<LineCounters> counters; // last seen; none where unsupported
};

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
    auto state = std::make_unique<State>();
    if (::tcgetattr(fd, &state->saved) < 0)
        return fail(errno);
    termios raw = state->saved;
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
    state->fd = fd;
    state->counters = lineCounters(fd);
    m_state = std::move(state);
    return 0;
}

void SerialDevice::close() {
    if (!m_state)
        return;
    const int fd = m_state->fd;
    ::tcsetattr(fd, TCSANOW, &m_state->saved);
    // The exclusive flag outlives this descriptor while the other side keeps the terminal open
    // (a pseudo-terminal), and would then refuse the next open by an ordinary user.
    ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
    ::close(fd);
    m_state.reset();
}

bool SerialDevice::isOpen() const {
    return m_state != nullptr;
}

std::intptr_t SerialDevice::native() const {
    return m_state ? m_state->fd : -1;
}

// Reads never block (VMIN = VTIME = 0, set at open) and the receive thread watches every line
// event, so there are no timeouts or event mask to set. The kernel's tty queues are fixed; the
// output queue size is the size of the engine's write ring.
PrepareFailure SerialDevice::prepare(std::int32_t inQueueSize, std::int32_t outQueueSize) {
    return inQueueSize < 1 || outQueueSize < 1 ? PrepareFailure::Buffers : PrepareFailure::None;
}

bool SerialDevice::apply(const ControlBlock& block) {
    if (!m_state || !applySettings(m_state->fd, settingsFromBlock(block)))
        return false;
    // DTR and RTS as the block asks, where no handshake drives them. A pty has neither line.
    if (!(block.Flags & dcb::fDtrControlHandshake))
        setDtr((block.Flags & dcb::fDtrControlEnable) != 0);
    if (!(block.Flags & dcb::fRtsControlHandshake))
        setRts((block.Flags & dcb::fRtsControlEnable) != 0);
    return true;
}

void SerialDevice::readBack(ControlBlock& block) const {
    if (m_state)
        settingsIntoBlock(currentSettings(m_state->fd), block);
}

LineStatus SerialDevice::status() {
    if (!m_state)
        return {};
    LineStatus status;
    const int fd = m_state->fd;
    if (m_state->counters) {
        if (const std::optional<LineCounters> now = lineCounters(fd)) {
            status.errors = lineErrorFlags(*m_state->counters, *now);
            m_state->counters = now;
        }
    }
    status.inQueue = std::uint32_t(ioctlCount(fd, FIONREAD));
    status.outQueue = std::uint32_t(ioctlCount(fd, TIOCOUTQ));
    return status;
}

std::optional<int> SerialDevice::modemLines() const {
    int status = 0;
    if (!m_state || ::ioctl(m_state->fd, TIOCMGET, &status) < 0)
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

bool SerialDevice::setDtr(bool on) {
    return m_state && setModemLine(m_state->fd, TIOCM_DTR, on);
}

bool SerialDevice::setRts(bool on) {
    return m_state && setModemLine(m_state->fd, TIOCM_RTS, on);
}

void SerialDevice::flushInput() {
    if (m_state)
        ::tcflush(m_state->fd, TCIFLUSH);
}

void SerialDevice::flushOutput() {
    if (m_state)
        ::tcflush(m_state->fd, TCOFLUSH);
}

long SerialDevice::read(void* buffer, std::size_t count) {
    if (!m_state)
        return -1;
    const long result = retryingEintr([&] { return long(::read(m_state->fd, buffer, count)); });
    if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return 0;
    return result;
}

} // namespace platform
