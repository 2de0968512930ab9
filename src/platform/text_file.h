#pragma once
// The tool's small text files (settings, .par, .num, .sms): lines end with CR LF when written; when
// read, a line ends at CR and one LF right after it is skipped, a lone LF does not end a line, and
// Ctrl-Z or the end of the file ends the data. Lines of any length are read whole.
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// An I/O failure with the runtime's standard text: "File not found", "File access denied",
// "Disk full" or "I/O error %d" with the system's error number (errno, or GetLastError() on
// Windows).
class IoError : public std::runtime_error {
public:
    explicit IoError(int systemError);
    int systemError() const { return m_systemError; }

private:
    int m_systemError;
};

std::string ioErrorText(int systemError);

// Splits file content by the rules above; at most maxLines lines, fewer when the data ends first.
std::vector<std::string> splitTextLines(const std::string& content, std::size_t maxLines);

// Reads at most maxLines lines; a line the file does not have is simply not returned.
std::vector<std::string> readTextLines(const std::string& path, std::size_t maxLines);

// Writes the lines, each followed by CR LF. The old file is replaced only once the new content is
// complete on disk (temporary file in the same directory, then rename), so a failure never leaves
// a truncated file. A device or other non-regular target is written in place.
void writeTextLines(const std::string& path, const std::vector<std::string>& lines);

// The file's whole content. Raises IoError.
std::string readFileContent(const std::string& path);

// Replaces the file's content; the old file is replaced only once the new content is complete on
// disk. A device or other non-regular target is written in place. Raises IoError.
void replaceFileContent(const std::string& path, const std::string& content);

bool fileExists(const std::string& path);

// Creates an empty file, or leaves an existing one as it is.
void createEmptyFile(const std::string& path);

} // namespace platform
