#include "platform/text_file.h"

#include <algorithm>

namespace platform {
namespace {

constexpr char kCtrlZ = 26;

std::string joinLines(const std::vector<std::string>& lines) {
    std::string content;
    for (const auto& line : lines)
        content += line + "\r\n";
    return content;
}

} // namespace

IoError::IoError(int systemError)
    : std::runtime_error(ioErrorText(systemError)), m_systemError(systemError) {}

std::vector<std::string> splitTextLines(const std::string& content, std::size_t maxLines) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    const std::size_t end = std::min(content.find(kCtrlZ), content.size());
    while (lines.size() < maxLines && pos < end) {
        const std::size_t cr = std::min(content.find('\r', pos), end);
        lines.push_back(content.substr(pos, cr - pos));
        pos = cr + 1;
        if (pos < end && content[pos] == '\n')
            ++pos;
    }
    return lines;
}

std::vector<std::string> readTextLines(const std::string& path, std::size_t maxLines) {
    return splitTextLines(readFileContent(path), maxLines);
}

void writeTextLines(const std::string& path, const std::vector<std::string>& lines) {
    replaceFileContent(path, joinLines(lines));
}

} // namespace platform
