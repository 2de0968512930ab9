#include "platform/text_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closing can report a late write error (NFS, full disk), so it is checked.
    void close() {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            throw IoError(errno);
    }

private:
    int m_fd;
};

int openOrThrow(const std::string& path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw IoError(errno);
    return fd;
}

void writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw IoError(n < 0 ? errno : ENOSPC);
        done += std::size_t(n);
    }
}

// Follows a link to the file it names, so that saving replaces the file and keeps the link.
std::string resolvedTarget(const std::string& path) {
    std::error_code error;
    const auto canonical = std::filesystem::canonical(path, error);
    return error ? path : canonical.string();
}

mode_t newFileMode(const struct stat* existing) {
    if (existing)
        return existing->st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void writeInPlace(const std::string& path, const std::string& content) {
    FileDescriptor file(openOrThrow(path, O_WRONLY | O_TRUNC));
    writeAll(file.get(), content);
    file.close();
}

void replaceAtomically(const std::string& target, const std::string& content, const struct stat* existing) {
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw IoError(errno);
    FileDescriptor file(fd);
    try {
        if (::fchmod(file.get(), newFileMode(existing)) != 0)
            throw IoError(errno);
        writeAll(file.get(), content);
        if (::fsync(file.get()) != 0)
            throw IoError(errno);
        file.close();
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            throw IoError(errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

} // namespace

std::string ioErrorText(int systemError) {
    switch (systemError) {
    case ENOENT:
    case ENOTDIR:
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(systemError);
    }
}

std::string readFileContent(const std::string& path) {
    FileDescriptor file(openOrThrow(path, O_RDONLY));
    std::string content;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw IoError(errno);
        if (n == 0)
            break;
        content.append(buffer, std::size_t(n));
    }
    file.close();
    return content;
}

void replaceFileContent(const std::string& path, const std::string& content) {
    const std::string target = resolvedTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        writeInPlace(target, content);
    else
        replaceAtomically(target, content, exists ? &existing : nullptr);
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

void createEmptyFile(const std::string& path) {
    FileDescriptor file(openOrThrow(path, O_WRONLY | O_CREAT, 0666));
    file.close();
}

} // namespace platform
