#include "app/alarm1.h"
#include "app/AlarmApplication.h"
#include "app/error_report.h"
#include "phone/live_pause.h"
#include "platform/settings_location.h"
#include "serial/AfSafeSync.h"
#include "widgets/user_dialogs.h"

int main(int argc, char* argv[]) {
    AlarmApplication application(argc, argv);
    QtUserDialogs dialogs;
    ErrorReport errors(dialogs);
    application.setErrorReport(&errors);
    LivePause pause;
    TAfSafeSync delivery;
    TForm1 window({platform::settingsDirectory(), dialogs, errors, pause, delivery});
    dialogs.setParent(&window);
    window.show();
    return AlarmApplication::exec();
}
