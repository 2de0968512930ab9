#pragma once
// The settings directory a run of the tool uses, and whatever must live as long as it does: on
// Linux the demo's virtual phone and its throw-away directory. The virtual phone is a Linux
// program, so the Windows build offers no demo.
#include <memory>
#include <string>

struct CommandLine;

class RunSettings {
public:
    virtual ~RunSettings() = default;
    virtual std::string directory() const = 0;
};

// Throws std::runtime_error, with a text for the user, when the demo's phone does not start.
std::unique_ptr<RunSettings> runSettingsFor(const CommandLine& commandLine);

// The directory the command line names, or the usual one.
std::unique_ptr<RunSettings> usualRunSettings(const CommandLine& commandLine);

// Whether this build offers --demo.
bool offersDemo();
