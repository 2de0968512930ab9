#include "app/close_on_signal.h"

#include <fcntl.h>
#include <QSocketNotifier>
#include <QWidget>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

// A signal handler can reach nothing but a global; it only wakes the event loop through the pipe.
int g_wakeFd = -1;

void wake(int) {
    const char byte = 1;
    [[maybe_unused]] const auto ignored = ::write(g_wakeFd, &byte, 1);
}

} // namespace

CloseOnSignal::CloseOnSignal(QWidget& window) : CloseOnSignal(window, [&window] { window.close(); }) {}

CloseOnSignal::CloseOnSignal(QObject& context, std::function<void()> close) {
    if (::pipe2(m_pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        return; // a signal then ends the tool at once, as it would without this
    g_wakeFd = m_pipe[1];
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, &context,
                     [this, close = std::move(close)] {
                         char byte;
                         while (::read(m_pipe[0], &byte, 1) > 0) {
                         }
                         close();
                     });
    struct sigaction action {};
    action.sa_handler = wake;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &m_previous[i]);
}

CloseOnSignal::~CloseOnSignal() {
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    g_wakeFd = -1;
    m_notifier.reset();
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}
