#include "app/close_window_on_signal.h"

#include "app/close_on_signal.h"

#include <QWidget>

struct CloseWindowOnSignal::Watch {
    explicit Watch(QWidget& window) : onSignal(window, [&window] { window.close(); }) {}
    CloseOnSignal onSignal;
};

CloseWindowOnSignal::CloseWindowOnSignal(QWidget& window) : m_watch(std::make_unique<Watch>(window)) {}

CloseWindowOnSignal::~CloseWindowOnSignal() = default;
