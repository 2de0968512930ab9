#pragma once
// The application's report of an error that escaped a handler: the error's text with "." appended
// when its last character sorts after "." in byte order, the application title as caption.
#include "app/full_stop.h"

#include <exception>
#include <functional>
#include <QObject>
#include <string>

class UserDialogs;

inline constexpr const char* kApplicationTitle = "Pomůcka pro nastavení konfigurace ALARMU GSM - Korvex";

class ErrorReport {
public:
    explicit ErrorReport(UserDialogs& dialogs) : m_dialogs(dialogs) {}
    void report(const std::exception& error);
    void report(const std::string& text);
    // Runs the action; an error it raises is reported here and goes no further.
    void guard(const std::function<void()>& action);

private:
    UserDialogs& m_dialogs;
};

// Connects a handler whose errors are reported in its slot. Qt Gui and Widgets are built without
// exception support: an error leaving a click's or a timer's slot on its way to the application's
// report would skip their clean-ups (a button's guard is never released).
template <typename Sender, typename Signal, typename Receiver>
void connectReported(Sender* sender, Signal signal, Receiver* receiver, void (Receiver::*handler)(),
                     ErrorReport& errors) {
    QObject::connect(sender, signal, receiver,
                     [receiver, handler, &errors] { errors.guard([&] { (receiver->*handler)(); }); });
}
