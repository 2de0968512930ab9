#include "app/close_on_signal.h"

#include <atomic>
#include <QGuiApplication>
#include <QMetaObject>
#include <QWidget>
#include <windows.h>

namespace {

struct ConsoleClose {
    QObject* context;
    std::function<void()> close;
};

// A console control handler runs on a thread of the system's and can reach nothing but a global;
// it only hands the close to the event loop.
std::atomic<ConsoleClose*> g_consoleClose{nullptr};

BOOL WINAPI onConsoleControl(DWORD) {
    ConsoleClose* target = g_consoleClose.load();
    if (!target)
        return FALSE;
    QMetaObject::invokeMethod(target->context, target->close, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

struct CloseOnSignal::Watch {
    QMetaObject::Connection m_sessionEnd;
    std::unique_ptr<ConsoleClose> m_console;
};

// Windows asks a window program to end with the session (WM_QUERYENDSESSION), which Qt passes on
// as its commit-data request; closing the window there saves what closing it by hand saves.
CloseOnSignal::CloseOnSignal(QWidget& window) : m_watch(std::make_unique<Watch>()) {
    m_watch->m_sessionEnd = QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &window,
                                             [&window](QSessionManager&) { window.close(); });
}

// Ctrl-C, Ctrl-Break or a closed console window.
CloseOnSignal::CloseOnSignal(QObject& context, std::function<void()> close)
    : m_watch(std::make_unique<Watch>()) {
    m_watch->m_console = std::make_unique<ConsoleClose>(ConsoleClose{&context, std::move(close)});
    g_consoleClose = m_watch->m_console.get();
    ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

CloseOnSignal::~CloseOnSignal() {
    QObject::disconnect(m_watch->m_sessionEnd);
    if (m_watch->m_console) {
        ::SetConsoleCtrlHandler(onConsoleControl, FALSE);
        g_consoleClose = nullptr;
    }
}
