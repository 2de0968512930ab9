#include "app/close_on_signal.h"

#include <atomic>
#include <QMetaObject>
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
    std::unique_ptr<ConsoleClose> m_console;
};

// Ctrl-C, Ctrl-Break or a closed console window.
CloseOnSignal::CloseOnSignal(QObject& context, std::function<void()> close)
    : m_watch(std::make_unique<Watch>()) {
    m_watch->m_console = std::make_unique<ConsoleClose>(ConsoleClose{&context, std::move(close)});
    g_consoleClose = m_watch->m_console.get();
    ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

CloseOnSignal::~CloseOnSignal() {
    ::SetConsoleCtrlHandler(onConsoleControl, FALSE);
    g_consoleClose = nullptr;
}
