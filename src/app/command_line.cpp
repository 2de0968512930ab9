#include "app/command_line.h"

#include "app/run_settings.h"
#include "platform/console.h"
#include "platform/settings_location.h"

#include <cstdio>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

// Options that QApplication takes itself, such as the -session a session manager restarts the tool
// with: accepted and left for it.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"display", true},         {"geometry", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"session", true},
    {"style", true},           {"stylesheet", true},
    {"reverse", false},        {"widgetcount", false},
};

void acceptQtOptions(QCommandLineParser& parser) {
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

CommandLine ending(CommandLine::Outcome outcome, const QString& text) {
    CommandLine commandLine;
    commandLine.outcome = outcome;
    commandLine.text = text;
    return commandLine;
}

CommandLine refusal(const QString& text) {
    return ending(CommandLine::Outcome::Refuse,
                  text + QStringLiteral("\nalarmgsm --help vypíše možnosti.\n"));
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{"h", "help"}, QStringLiteral("Vypíše tuto nápovědu."));
    const QCommandLineOption version(QStringList{"v", "version"}, QStringLiteral("Vypíše verzi programu."));
    const QCommandLineOption settings(
        "settings-dir", QStringLiteral("Nastavení (setting.ini, dosdevices) ve složce DIR."), "DIR");
    const QCommandLineOption demo("demo",
                                  QStringLiteral("Ukázka na virtuálním telefonu jako COM1, bez kabelu."));
    parser.setApplicationDescription(QStringLiteral(
        "Pomůcka pro nastavení konfigurace ALARMU GSM 2.generace\n\n"
        "Bez okna, z příkazové řádky nebo skriptu:\n"
        "  alarmgsm write [--port PORT] [--smsc NUMBER] [--verify] [--backup DIR] [--pin-stdin]\n"
        "                 [--config F.par] [--numbers F.num] [--sms F.sms]\n"
        "  alarmgsm read [--port PORT] [--force] [--pin-stdin] [--config F.par] [--numbers F.num] [--sms "
        "F.sms]\n"
        "Podrobnosti: alarmgsm write --help, alarmgsm read --help."));
    parser.addOptions({help, version, settings});
    if (offersDemo())
        parser.addOption(demo);
    // Qt's options are single-dash words; ours answer to either form.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    acceptQtOptions(parser);
    if (!parser.parse(arguments))
        return refusal(parser.errorText());
    if (parser.isSet(help)) // Qt names the program only once the application exists
        return ending(CommandLine::Outcome::Answer,
                      parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                QFileInfo(arguments.first()).fileName()));
    if (parser.isSet(version))
        return ending(CommandLine::Outcome::Answer, QStringLiteral("alarmgsm " ALARMGSM_VERSION "\n"));
    if (!parser.positionalArguments().isEmpty())
        return refusal(QStringLiteral("Neznámý argument: ") + parser.positionalArguments().first());
    const bool wantsDemo = offersDemo() && parser.isSet(demo);
    if (wantsDemo && parser.isSet(settings))
        return refusal(
            QStringLiteral("Ukázka má vlastní dočasnou složku nastavení; --settings-dir s ní nejde."));
    CommandLine start;
    start.demo = wantsDemo;
    start.settingsDirectory = parser.value(settings);
    return start;
}

QStringList argumentList(int argc, char* argv[]) {
    QStringList arguments;
    for (const std::string& argument : platform::programArguments(argc, argv))
        arguments << QString::fromStdString(argument);
    return arguments;
}

int answerCommandLine(const CommandLine& commandLine) {
    const bool answer = commandLine.outcome == CommandLine::Outcome::Answer;
    platform::writeText(answer ? stdout : stderr, commandLine.text.toStdString());
    return answer ? 0 : 2;
}

std::string settingsDirectoryOf(const CommandLine& commandLine) {
    if (commandLine.settingsDirectory.isEmpty())
        return platform::settingsDirectory();
    const QString directory = QDir(commandLine.settingsDirectory).absolutePath();
    QDir().mkpath(directory); // one that cannot be made shows up as a file error later
    return directory.toStdString();
}
