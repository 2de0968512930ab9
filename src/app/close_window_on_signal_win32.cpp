#include "app/close_window_on_signal.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QWidget>

struct CloseWindowOnSignal::Watch {
    QMetaObject::Connection sessionEnd;
};

// Windows asks a window program to end with the session (WM_QUERYENDSESSION), which Qt passes on
// as its commit-data request; closing the window there saves what closing it by hand saves.
CloseWindowOnSignal::CloseWindowOnSignal(QWidget& window) : m_watch(std::make_unique<Watch>()) {
    m_watch->sessionEnd = QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &window,
                                           [&window](QSessionManager&) { window.close(); });
}

CloseWindowOnSignal::~CloseWindowOnSignal() {
    QObject::disconnect(m_watch->sessionEnd);
}
