#include "app/error_report.h"

#include "widgets/user_dialogs.h"

#include <algorithm>

std::string withFullStop(std::string text) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (end > 0 && static_cast<unsigned char>(text[end - 1]) > static_cast<unsigned char>('.'))
        text.insert(end, 1, '.');
    return text;
}

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
