#pragma once
// The application's report of an error that escaped a handler: the error's text with "." appended
// when its last character sorts after "." in byte order, the application title as caption.
#include <exception>
#include <string>

class UserDialogs;

inline constexpr const char* kApplicationTitle = "Pomůcka pro nastavení konfigurace ALARMU GSM - Korvex";

// "Nemohu otevřít port COM1" gets its full stop; "Chybné číslo portu (COM1)" does not. In a text
// of several lines the rule applies to the first, the headline; the lines below are sentences.
std::string withFullStop(std::string text);

class ErrorReport {
public:
    explicit ErrorReport(UserDialogs& dialogs) : m_dialogs(dialogs) {}
    void report(const std::exception& error);
    void report(const std::string& text);

private:
    UserDialogs& m_dialogs;
};
