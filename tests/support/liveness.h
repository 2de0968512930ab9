#pragma once
// Whether the window is alive. How long the GUI thread leaves a posted event unserved: another thread posts a
// stamped event every few milliseconds, and the longest wait between posting and handling is kept. A window
// that waits this long answers the window manager, a repaint or a screen reader no sooner.
#include <atomic>
#include <chrono>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <thread>

class PostedEventLatency final : public QObject {
public:
    PostedEventLatency() = default;
    ~PostedEventLatency() override { stop(); }

    void start() {
        m_longestMs = 0;
        m_running = true;
        m_poster = std::thread([this] {
            while (m_running) {
                QCoreApplication::postEvent(this, new Stamped(Clock::now()));
                std::this_thread::sleep_for(std::chrono::milliseconds(kEveryMs));
            }
        });
    }
    // The longest wait since start(), the events still queued included.
    double stop() {
        if (!m_poster.joinable())
            return m_longestMs;
        m_running = false;
        m_poster.join();
        QCoreApplication::sendPostedEvents(this, kStamped);
        return m_longestMs;
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() != kStamped)
            return QObject::event(event);
        const auto waited = Clock::now() - static_cast<Stamped*>(event)->posted;
        m_longestMs = std::max(m_longestMs, std::chrono::duration<double, std::milli>(waited).count());
        return true;
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr int kEveryMs = 5;
    static inline const QEvent::Type kStamped = QEvent::Type(QEvent::registerEventType());
    struct Stamped final : QEvent {
        explicit Stamped(Clock::time_point at) : QEvent(kStamped), posted(at) {}
        Clock::time_point posted;
    };

    std::atomic<bool> m_running{false};
    std::thread m_poster;
    double m_longestMs = 0;
};

// Counts the paint events a widget gets, to see that the window still repaints.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};
