// Any bytes as the content of a .par, .num, .sms or settings file: the line split, the same split
// through a real file, and the write-then-read round trip of whatever lines came out.
#include "fuzz_check.h"
#include "platform/text_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string scratchPath() {
    static const std::string path = "/tmp/alarmgsm-fuzz-text-" + std::to_string(::getpid());
    return path;
}

void writeRaw(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file);
    FUZZ_CHECK(std::fwrite(content.data(), 1, content.size(), file) == content.size());
    FUZZ_CHECK(std::fclose(file) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t maxLines = data[0] & 0x0F;
    const bool throughWrite = (data[0] & 0xF0) == 0xF0; // writes fsync: only now and then
    const std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::vector<std::string> lines = platform::splitTextLines(content, maxLines);
    FUZZ_CHECK(lines.size() <= maxLines);
    std::size_t total = 0;
    for (const std::string& line : lines) {
        FUZZ_CHECK(line.find('\r') == std::string::npos);
        FUZZ_CHECK(line.find(char(26)) == std::string::npos);
        total += line.size();
    }
    FUZZ_CHECK(total <= content.size());

    std::string joined;
    for (const std::string& line : lines)
        joined += line + "\r\n";
    FUZZ_CHECK(platform::splitTextLines(joined, maxLines) == lines);

    writeRaw(scratchPath(), content);
    FUZZ_CHECK(platform::readTextLines(scratchPath(), maxLines) == lines);
    if (throughWrite) {
        platform::writeTextLines(scratchPath(), lines);
        FUZZ_CHECK(platform::readTextLines(scratchPath(), maxLines) == lines);
    }
    ::unlink(scratchPath().c_str());
    return 0;
}
