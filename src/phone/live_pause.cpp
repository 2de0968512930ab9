#include "phone/live_pause.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// A box that opened during the pause (an error report) must still be answerable.
bool insideModalBox(QObject* watched) {
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    if (const auto* widget = qobject_cast<QWidget*>(watched))
        return widget->window() == modal;
    if (const auto* window = qobject_cast<QWindow*>(watched))
        return window == modal->windowHandle();
    return false;
}

} // namespace

// The application may be a core one (the command line): qApp would claim it is a widget one.
LivePause::LivePause() {
    QCoreApplication::instance()->installEventFilter(this);
}

LivePause::~LivePause() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

void LivePause::wait(int milliseconds) {
    runLoop(nullptr, milliseconds);
}

bool LivePause::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    return done() || runLoop(&done, timeoutMs);
}

// done() is looked at after every turn of the loop, so an answer ends the wait as soon as it is in.
bool LivePause::runLoop(const std::function<bool()>* done, int timeoutMs) {
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

void LivePause::dropHeldInput() {
    ++m_depth;
    QCoreApplication::processEvents();
    --m_depth;
}

bool LivePause::eventFilter(QObject* watched, QEvent* event) {
    return m_depth > 0 && isUserInput(event->type()) && !insideModalBox(watched);
}
