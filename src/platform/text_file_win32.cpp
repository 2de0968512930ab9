#include "platform/text_file.h"

#include "platform/wide_text.h"

#include <windows.h>

namespace platform {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
    }
    HANDLE get() const { return m_handle; }
    void close() {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        if (!::CloseHandle(handle))
            throw IoError(int(::GetLastError()));
    }

private:
    HANDLE m_handle;
};

HANDLE openOrThrow(const std::wstring& path, DWORD access, DWORD disposition, DWORD flags = 0) {
    const HANDLE handle = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                        FILE_ATTRIBUTE_NORMAL | flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw IoError(int(::GetLastError()));
    return handle;
}

void writeAll(HANDLE file, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD written = 0;
        if (!::WriteFile(file, data.data() + done, DWORD(data.size() - done), &written, nullptr))
            throw IoError(int(::GetLastError()));
        if (written == 0)
            throw IoError(ERROR_DISK_FULL);
        done += written;
    }
}

bool isRegularFileOrMissing(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
}

// A device name (NUL, COM1) is no file to replace.
bool namesADevice(const std::wstring& path) {
    return path.rfind(L"\\\\.\\", 0) == 0 || !isRegularFileOrMissing(path);
}

void writeInPlace(const std::wstring& path, const std::string& content) {
    FileHandle file(openOrThrow(path, GENERIC_WRITE, OPEN_EXISTING));
    writeAll(file.get(), content);
    file.close();
}

void replaceAtomically(const std::wstring& target, const std::string& content) {
    const std::wstring temporary = target + L".new";
    try {
        FileHandle file(openOrThrow(temporary, GENERIC_WRITE, CREATE_ALWAYS));
        writeAll(file.get(), content);
        if (!::FlushFileBuffers(file.get()))
            throw IoError(int(::GetLastError()));
        file.close();
        if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw IoError(int(::GetLastError()));
    } catch (...) {
        ::DeleteFileW(temporary.c_str());
        throw;
    }
}

} // namespace

// The codes are the system's own, as the runtime reports them.
std::string ioErrorText(int systemError) {
    switch (systemError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "File not found";
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return "File access denied";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(systemError);
    }
}

std::string readFileContent(const std::string& path) {
    FileHandle file(openOrThrow(wideFromUtf8(path), GENERIC_READ, OPEN_EXISTING));
    std::string content;
    char buffer[4096];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr))
            throw IoError(int(::GetLastError()));
        if (n == 0)
            break;
        content.append(buffer, n);
    }
    file.close();
    return content;
}

void replaceFileContent(const std::string& path, const std::string& content) {
    const std::wstring target = wideFromUtf8(path);
    if (namesADevice(target))
        writeInPlace(target, content);
    else
        replaceAtomically(target, content);
}

bool fileExists(const std::string& path) {
    return ::GetFileAttributesW(wideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void createEmptyFile(const std::string& path) {
    FileHandle file(openOrThrow(wideFromUtf8(path), GENERIC_WRITE, OPEN_ALWAYS));
    file.close();
}

} // namespace platform
