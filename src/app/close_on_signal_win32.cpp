#include "app/close_on_signal.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QWidget>

// Windows asks a window program to end with the session (WM_QUERYENDSESSION), which Qt passes on
// as its commit-data request; closing the window there saves what closing it by hand saves.
struct CloseOnSignal::Watch {
    QMetaObject::Connection m_sessionEnd;
};

CloseOnSignal::CloseOnSignal(QWidget& window) : m_watch(std::make_unique<Watch>()) {
    m_watch->m_sessionEnd = QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &window,
                                             [&window](QSessionManager&) { window.close(); });
}

CloseOnSignal::~CloseOnSignal() {
    QObject::disconnect(m_watch->m_sessionEnd);
}
