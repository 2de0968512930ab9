#include "app/live_pause.h"

#include <QApplication>
#include <QEvent>
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

LivePause::LivePause() {
    QCoreApplication::instance()->installEventFilter(this);
}

LivePause::~LivePause() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool LivePause::eventFilter(QObject* watched, QEvent* event) {
    return depth() > 0 && isUserInput(event->type()) && !insideModalBox(watched);
}
