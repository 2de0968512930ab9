#include "cli/provisioning.h"

#include "app/close_on_signal.h"
#include "app/command_line.h"
#include "cli/console.h"
#include "cli/console_prompts.h"
#include "cli/provisioning_options.h"
#include "cli/provisioning_run.h"
#include "platform/console.h"

#include <cstdio>
#include <QCoreApplication>

bool isProvisioningCommand(int argc, char* argv[]) {
    return argc > 1 && isProvisioningAction(QString::fromLocal8Bit(argv[1]));
}

int runProvisioning(int argc, char* argv[]) {
    const ProvisioningCommand command = parseProvisioningCommand(argumentList(argc, argv));
    if (command.outcome == ProvisioningCommand::Outcome::Answer) {
        platform::writeText(stdout, command.text.toStdString());
        return kExitDone;
    }
    if (command.outcome == ProvisioningCommand::Outcome::Refuse) {
        platform::writeText(stderr, (command.text + '\n').toStdString());
        return kExitBadUse;
    }
    QCoreApplication application(argc, argv);
    Console console(stdout, stderr);
    ConsolePrompts prompts(console,
                           command.options.pinFromStandardInput ? ConsolePrompts::PinSource::StandardInput
                                                                : ConsolePrompts::PinSource::Terminal,
                           stdin);
    ProvisioningRun run(command.options, console, prompts);
    const CloseOnSignal interruptOnSignal(application, [&run] { run.interrupt(); });
    return run.run();
}
