#include "app/alarm1.h"
#include "app/AlarmApplication.h"
#include "app/close_window_on_signal.h"
#include "app/command_line.h"
#include "app/error_report.h"
#include "app/live_pause.h"
#include "app/run_settings.h"
#include "cli/provisioning.h"
#include "serial/AfSafeSync.h"
#include "widgets/user_dialogs.h"

#include <memory>

int main(int argc, char* argv[]) {
    if (isProvisioningCommand(argc, argv))
        return runProvisioning(argc, argv);
    const CommandLine commandLine = parseCommandLine(argumentList(argc, argv));
    if (commandLine.outcome != CommandLine::Outcome::Start)
        return answerCommandLine(commandLine);
    AlarmApplication application(argc, argv);
    QtUserDialogs dialogs;
    ErrorReport errors(dialogs);
    std::unique_ptr<RunSettings> run;
    try {
        run = runSettingsFor(commandLine);
    } catch (const std::exception& error) {
        errors.report(error);
        return 1;
    }
    const std::string settings = run->directory();
    application.setErrorReport(&errors);
    LivePause pause;
    TAfSafeSync delivery;
    TForm1 window({settings, dialogs, errors, pause, delivery});
    dialogs.setParent(&window);
    window.show();
    CloseWindowOnSignal closeOnSignal(window);
    return AlarmApplication::exec();
}
