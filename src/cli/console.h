#pragma once
// What the command line says: results on standard output, one line a set; messages on standard
// error, one line each; and, only when standard error is a terminal, a progress line that the next
// message replaces.
#include <cstdio>
#include <QString>

class Console {
public:
    Console(std::FILE* results, std::FILE* messages);

    void result(const QString& text);
    // A box's text on one line: its lines joined by a blank.
    void message(const QString& text);
    void progress(const QString& what, int percent);
    // Ends a progress line shown, so that what comes next starts a line of its own.
    void endProgress();

private:
    std::FILE* m_results;
    std::FILE* m_messages;
    bool m_showsProgress;
    bool m_progressShown = false;
};
