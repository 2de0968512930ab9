// Only the kernel's own termios here: glibc's <termios.h> defines the same names differently.
#include <asm/termbits.h>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <sys/ioctl.h>

namespace platform::arbitrary_speed {

namespace {
int ioctlRetrying(int fd, unsigned long request, struct termios2* attributes) {
    int result;
    do
        result = ::ioctl(fd, request, attributes);
    while (result < 0 && errno == EINTR);
    return result;
}
} // namespace

bool setSpeed(int fd, std::uint32_t baudRate) {
    struct termios2 attributes {};
    if (ioctlRetrying(fd, TCGETS2, &attributes) < 0)
        return false;
    attributes.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    attributes.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    attributes.c_ospeed = baudRate;
    attributes.c_ispeed = baudRate;
    return ioctlRetrying(fd, TCSETS2, &attributes) == 0;
}

std::optional<std::uint32_t> speed(int fd) {
    struct termios2 attributes {};
    if (ioctlRetrying(fd, TCGETS2, &attributes) < 0)
        return std::nullopt;
    return attributes.c_ospeed;
}

} // namespace platform::arbitrary_speed
