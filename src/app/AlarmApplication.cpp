#include "app/AlarmApplication.h"

#include "app/error_report.h"
#include "widgets/accessible_factory.h"

#include <QAccessible>
#include <QIcon>

AlarmApplication::AlarmApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("alarmgsm"));
    setApplicationDisplayName(QString::fromUtf8(kApplicationTitle));
    QAccessible::installFactory(widgets::accessibleFactory);
    // The desktop file and the icon share this id; the desktop matches the window to both by it.
    setDesktopFileName(QStringLiteral("example.korvex.alarmgsm"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("example.korvex.alarmgsm")));
}

bool AlarmApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (!m_report)
            throw;
        m_report->report(error);
        return false;
    }
}
