#include "app/settings_file.h"

#include "platform/text_file.h"

SettingsFile::SettingsFile(const std::string& directory) : m_path(directory + "/setting.ini") {}

StoredSettings SettingsFile::read() const {
    if (!platform::fileExists(m_path)) {
        platform::createEmptyFile(m_path);
        return {0, kDefaultSmscNumber};
    }
    auto lines = platform::readTextLines(m_path, 2);
    lines.resize(2);
    StoredSettings settings{portNumberOfLine(lines[0]), lines[1]};
    if (settings.smscNumber.empty())
        settings.smscNumber = kDefaultSmscNumber;
    return settings;
}

void SettingsFile::write(int portNumber, const std::string& smscNumber) const {
    platform::writeTextLines(m_path, {portLineOf(portNumber), smscNumber});
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
