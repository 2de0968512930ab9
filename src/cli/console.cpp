#include "cli/console.h"

#include "platform/console.h"

#include <utility>

Console::Console(std::FILE* results, std::FILE* messages)
    : m_results(results), m_messages(messages), m_showsProgress(platform::isTerminal(messages)) {}

void Console::result(const QString& text) {
    endProgress();
    platform::writeText(m_results, (text + '\n').toStdString());
    std::fflush(m_results);
}

void Console::message(const QString& text) {
    endProgress();
    QString line = text;
    line.replace('\n', ' ');
    platform::writeText(m_messages, (line + '\n').toStdString());
    std::fflush(m_messages);
}

void Console::progress(const QString& what, int percent) {
    if (!m_showsProgress)
        return;
    // Blanks at the end wipe a longer line shown before.
    platform::writeText(m_messages, QStringLiteral("\r%1: %2 %   ").arg(what).arg(percent).toStdString());
    std::fflush(m_messages);
    m_progressShown = true;
}

void Console::endProgress() {
    if (!std::exchange(m_progressShown, false))
        return;
    std::fputc('\n', m_messages);
    std::fflush(m_messages);
}
