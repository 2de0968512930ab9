#include "platform/console.h"

#include "platform/wide_text.h"

#include <io.h>
#include <optional>
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

namespace platform {

namespace {

constexpr wchar_t kCancel = 3; // Ctrl-C

// The console itself, whatever standard input and output were redirected to.
class ConsoleHandle {
public:
    explicit ConsoleHandle(const wchar_t* name)
        : m_handle(::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~ConsoleHandle() {
        if (valid())
            ::CloseHandle(m_handle);
    }
    ConsoleHandle(const ConsoleHandle&) = delete;
    ConsoleHandle& operator=(const ConsoleHandle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

void writeConsole(HANDLE output, const std::wstring& text) {
    DWORD written = 0;
    ::WriteConsoleW(output, text.data(), DWORD(text.size()), &written, nullptr);
}

// Nothing when the input ended or the user cancelled.
std::optional<std::wstring> readLine(HANDLE input) {
    std::wstring line;
    for (;;) {
        wchar_t c = 0;
        DWORD read = 0;
        if (!::ReadConsoleW(input, &c, 1, &read, nullptr) || read == 0 || c == kCancel)
            return std::nullopt;
        if (c == L'\r' || c == L'\n')
            return line;
        line += c;
    }
}

} // namespace

namespace {

HANDLE handleOf(std::FILE* stream) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
}

} // namespace

std::vector<std::string> programArguments(int, char*[]) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i)
        arguments.push_back(utf8FromWide(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

bool isTerminal(std::FILE* stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(handleOf(stream), &mode) != 0;
}

void writeText(std::FILE* stream, const std::string& text) {
    if (!isTerminal(stream)) {
        std::fputs(text.c_str(), stream);
        return;
    }
    std::fflush(stream);
    writeConsole(handleOf(stream), wideFromUtf8(text));
}

HiddenAnswer askHidden(const std::string& prompt) {
    ConsoleHandle input(L"CONIN$");
    ConsoleHandle output(L"CONOUT$");
    DWORD saved = 0;
    if (!input.valid() || !output.valid() || !::GetConsoleMode(input.get(), &saved))
        return {};
    // Characters one by one without echo; Ctrl-C arrives as a character that cancels, instead of
    // ending the process with the echo still off.
    ::SetConsoleMode(input.get(),
                     saved & ~DWORD(ENABLE_ECHO_INPUT | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT));
    writeConsole(output.get(), wideFromUtf8(prompt));
    const auto line = readLine(input.get());
    ::SetConsoleMode(input.get(), saved);
    writeConsole(output.get(), L"\r\n");
    if (!line)
        return {HiddenAnswer::Kind::Cancelled, {}};
    return {HiddenAnswer::Kind::Typed, utf8FromWide(*line)};
}

} // namespace platform
