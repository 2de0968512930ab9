#include "app/run_settings.h"

#include "app/command_line.h"
#include "app/demo_session.h"

namespace {

class DemoRun final : public RunSettings {
public:
    DemoRun() : m_session(phoneBesideTool()) {}
    std::string directory() const override { return m_session.settingsDirectory(); }

private:
    DemoSession m_session;
};

} // namespace

std::unique_ptr<RunSettings> runSettingsFor(const CommandLine& commandLine) {
    if (commandLine.demo)
        return std::make_unique<DemoRun>();
    return usualRunSettings(commandLine);
}

bool offersDemo() {
    return true;
}
