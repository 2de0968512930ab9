#include "app/run_settings.h"

std::unique_ptr<RunSettings> runSettingsFor(const CommandLine& commandLine) {
    return usualRunSettings(commandLine);
}

bool offersDemo() {
    return false;
}
