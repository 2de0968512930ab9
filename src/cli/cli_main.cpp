// The console twin of the window's executable on Windows: cmd and PowerShell show what it prints
// and wait for its exit status, which a window program's output and status never reach.
#include "app/command_line.h"
#include "cli/provisioning.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    if (isProvisioningCommand(argc, argv))
        return runProvisioning(argc, argv);
    const CommandLine commandLine = parseCommandLine(argumentList(argc, argv));
    if (commandLine.outcome != CommandLine::Outcome::Start)
        return answerCommandLine(commandLine);
    // The window is alarmgsm.exe; this one only transfers.
    std::fputs("alarmgsm-cli write …, alarmgsm-cli read …; alarmgsm-cli --help vypíše možnosti.\n", stderr);
    return 1;
}
