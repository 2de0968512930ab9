#include "app/close_on_signal.h"

#include <array>
#include <fcntl.h>
#include <QSocketNotifier>
#include <signal.h>
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

struct CloseOnSignal::Watch {
    Watch(QObject& context, std::function<void()> close);
    ~Watch();

    std::array<int, 2> m_pipe{-1, -1};
    std::array<struct sigaction, 3> m_previous{};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

CloseOnSignal::CloseOnSignal(QObject& context, std::function<void()> close)
    : m_watch(std::make_unique<Watch>(context, std::move(close))) {}

CloseOnSignal::~CloseOnSignal() = default;

CloseOnSignal::Watch::Watch(QObject& context, std::function<void()> close) {
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

CloseOnSignal::Watch::~Watch() {
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    g_wakeFd = -1;
    m_notifier.reset();
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}
