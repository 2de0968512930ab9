#pragma once
// The tool's command line. It is read before the application starts, so that --help and --version
// answer on a terminal without a display.
#include <QString>
#include <QStringList>
#include <string>

struct CommandLine {
    enum class Outcome { Start, Answer, Refuse };
    Outcome outcome = Outcome::Start;
    QString text; // the help or version text (Answer), or what was wrong (Refuse)
    bool demo = false;
    QString settingsDirectory; // empty: the usual place
};

CommandLine parseCommandLine(const QStringList& arguments);
QStringList argumentList(int argc, char* argv[]);

// Prints an answer to stdout or a refusal to stderr; the tool's exit code.
int answerCommandLine(const CommandLine& commandLine);

// The directory named on the command line, created, or the usual one.
std::string settingsDirectoryOf(const CommandLine& commandLine);
