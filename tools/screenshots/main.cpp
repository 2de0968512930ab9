// Renders the tool's windows to PNG files for the README: the three pages and the About window,
// from the real widgets with a fresh settings directory and no port.
#include "app/alarm1.h"
#include "app/AlarmApplication.h"
#include "app/error_report.h"
#include "app/Unit2.h"
#include "platform/pause.h"
#include "serial/AfSafeSync.h"
#include "widgets/user_dialogs.h"

#include <cstdio>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char* argv[]) {
    AlarmApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir settings;
    QtUserDialogs dialogs;
    ErrorReport errors(dialogs);
    platform::SleepingPause pause;
    TAfSafeSync delivery;
    TForm1 window({settings.path().toStdString(), dialogs, errors, pause, delivery});
    window.show();
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    const char* names[] = {"configuration.png", "numbers.png", "sms.png"};
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        window.grab().save(output.filePath(QString::fromLatin1(names[tab])));
    }
    window.aboutWindow().showCentred();
    // Let the credit line scroll into view before the picture is taken.
    QTimer::singleShot(1500, [&] {
        window.aboutWindow().grab().save(output.filePath(QStringLiteral("about.png")));
        QCoreApplication::quit();
    });
    return AlarmApplication::exec();
}
