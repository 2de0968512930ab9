#include "app/error_report.h"

#include "widgets/user_dialogs.h"

void ErrorReport::report(const std::exception& error) {
    report(std::string(error.what()));
}

void ErrorReport::report(const std::string& text) {
    m_dialogs.reportFailure(QString::fromUtf8(kApplicationTitle), QString::fromUtf8(withFullStop(text)));
}

void ErrorReport::guard(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        report(error);
    }
}
