#include "app/run_settings.h"

#include "app/command_line.h"

namespace {

class UsualRun final : public RunSettings {
public:
    explicit UsualRun(std::string directory) : m_directory(std::move(directory)) {}
    std::string directory() const override { return m_directory; }

private:
    std::string m_directory;
};

} // namespace

std::unique_ptr<RunSettings> usualRunSettings(const CommandLine& commandLine) {
    return std::make_unique<UsualRun>(settingsDirectoryOf(commandLine));
}
