#include "exchange/event_loop_pause.h"

#include <algorithm>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void EventLoopPause::wait(int milliseconds) {
    runLoop(nullptr, milliseconds);
}

bool EventLoopPause::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    return done() || runLoop(&done, timeoutMs);
}

// done() is looked at after every turn of the loop, so an answer ends the wait as soon as it is in.
bool EventLoopPause::runLoop(const std::function<bool()>* done, int timeoutMs) {
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    bool expired = false;
    // The loop must come back from its wait for the flag to be looked at: under Wine a timer can
    // fire inside the blocking wait, which then goes on waiting for the next message.
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&expired] {
        expired = true;
        QAbstractEventDispatcher::instance()->wakeUp();
    });
    ++m_depth;
    deadline.start(std::max(timeoutMs, 0));
    while (!expired && !(done && (*done)()))
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    --m_depth;
    return done && (*done)();
}

void EventLoopPause::dropHeldInput() {
    ++m_depth;
    QCoreApplication::processEvents();
    --m_depth;
}
