// Any bytes as setting.ini: the port and centre number read from it stay in range, and writing
// them back then reading again gives the same settings.
#include "app/settings_file.h"
#include "fuzz_check.h"
#include "platform/text_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::string& scratchDirectory() {
    static const std::string directory = [] {
        char pattern[] = "/tmp/alarmgsm-fuzz-settings-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        FUZZ_CHECK(made);
        return std::string(made);
    }();
    return directory;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SettingsFile file(scratchDirectory());
    std::FILE* raw = std::fopen(file.path().c_str(), "wb");
    FUZZ_CHECK(raw);
    FUZZ_CHECK(std::fwrite(data, 1, size, raw) == size);
    FUZZ_CHECK(std::fclose(raw) == 0);

    const StoredSettings settings = file.read();
    FUZZ_CHECK(settings.portNumber >= 0 && settings.portNumber <= 6);
    FUZZ_CHECK(!settings.smscNumber.empty());
    const auto lines = platform::splitTextLines(std::string(reinterpret_cast<const char*>(data), size), 2);
    if (settings.portNumber != 0)
        FUZZ_CHECK(lines.at(0) == "COM" + std::to_string(settings.portNumber));
    if (lines.size() == 2 && !lines[1].empty())
        FUZZ_CHECK(settings.smscNumber == lines[1]);
    else
        FUZZ_CHECK(settings.smscNumber == kDefaultSmscNumber);

    if (!settings.devicePath.empty())
        FUZZ_CHECK(lines.at(0) == settings.devicePath && settings.portNumber == 0);

    file.write(settings);
    const StoredSettings again = file.read();
    FUZZ_CHECK(again.portNumber == settings.portNumber);
    FUZZ_CHECK(again.devicePath == settings.devicePath);
    FUZZ_CHECK(again.smscNumber == settings.smscNumber);
    return 0;
}
