#include "app/settings_file.h"

#include "platform/device_paths.h"
#include "platform/text_file.h"

namespace {

constexpr const char* kReaderPrefix = "reader:";

} // namespace

SettingsFile::SettingsFile(const std::string& directory) : m_path(directory + "/setting.ini") {}

StoredSettings SettingsFile::read() const {
    if (!platform::fileExists(m_path)) {
        platform::createEmptyFile(m_path);
        return {0, {}, kDefaultSmscNumber, {}};
    }
    return readExisting();
}

StoredSettings SettingsFile::readExisting() const {
    if (!platform::fileExists(m_path))
        return {0, {}, kDefaultSmscNumber, {}};
    auto lines = platform::readTextLines(m_path, 2);
    lines.resize(2);
    const int portNumber = portNumberOfLine(lines[0]);
    const bool isPath = portNumber == 0 && platform::isDevicePath(lines[0]);
    const bool isReader = lines[0].starts_with(kReaderPrefix);
    StoredSettings settings{portNumber, isPath ? lines[0] : std::string(), lines[1],
                            isReader ? lines[0].substr(std::string_view(kReaderPrefix).size()) : std::string()};
    if (settings.smscNumber.empty())
        settings.smscNumber = kDefaultSmscNumber;
    return settings;
}

void SettingsFile::write(const StoredSettings& settings) const {
    const std::string portLine = !settings.cardReader.empty() ? kReaderPrefix + settings.cardReader
                                 : settings.devicePath.empty() ? portLineOf(settings.portNumber)
                                                               : settings.devicePath;
    platform::writeTextLines(m_path, {portLine, settings.smscNumber});
}

int portNumberOfLine(const std::string& line) {
    for (int n = 6; n >= 1; --n)
        if (line == portLineOf(n))
            return n;
    return 0;
}

std::string portLineOf(int portNumber) {
    return portNumber >= 1 && portNumber <= 6 ? "COM" + std::to_string(portNumber) : " ";
}
