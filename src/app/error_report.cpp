#include "app/error_report.h"

#include "widgets/user_dialogs.h"

std::string withFullStop(std::string text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

void ErrorReport::report(const std::exception& error) {
    report(std::string(error.what()));
}

void ErrorReport::report(const std::string& text) {
    m_dialogs.reportFailure(QString::fromUtf8(kApplicationTitle), QString::fromUtf8(withFullStop(text)));
}
