#include "app/alarm1.h"
#include "platform/pause.h"
#include "platform/settings_location.h"
#include "widgets/user_dialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QString());
    QtUserDialogs dialogs;
    platform::SleepingPause pause;
    TForm1 window({platform::settingsDirectory(), dialogs, pause});
    dialogs.setParent(&window);
    window.show();
    return QApplication::exec();
}
