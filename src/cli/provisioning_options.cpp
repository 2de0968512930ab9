#include "cli/provisioning_options.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

const QString kWrite = QStringLiteral("write");
const QString kRead = QStringLiteral("read");

struct Options {
    QCommandLineOption help{QStringList{"h", "help"}, QStringLiteral("Vypíše tuto nápovědu.")};
    QCommandLineOption port{"port",
                            QStringLiteral("Port telefonu: COM1 až COM6 jako v okně programu, nebo cesta k "
                                           "zařízení (/dev/ttyUSB0). Bez ní port zvolený v setting.ini."),
                            "PORT"};
    QCommandLineOption reader{"reader",
                              QStringLiteral("SIM ve čtečce karet místo v telefonu: jméno čtečky, jak ji "
                                             "nabízí nabídka Port (\"Virtual PCD 00 00\")."),
                              "NAME"};
    QCommandLineOption lastTry{"last-try",
                               QStringLiteral("SIM ve čtečce, které zbývá jediný pokus o PIN: PIN se přesto "
                                              "pošle (po chybném se karta zablokuje).")};
    QCommandLineOption smsc{"smsc",
                            QStringLiteral("Číslo střediska SMS, jako na stránce Úprava SMS (+420603052000). "
                                           "Bez něj číslo ze setting.ini."),
                            "NUMBER"};
    QCommandLineOption verify{"verify",
                              QStringLiteral("Po zápisu zapsané pozice přečte a porovná se soubory; "
                                             "pozice, které se liší, vypíše.")};
    QCommandLineOption backup{"backup",
                              QStringLiteral("Před zápisem přečte pozice, které zápis změní, a uloží je do "
                                             "složky DIR (sim-RRRRMMDD-HHMMSS.par, .num, .sms). Když čtení "
                                             "selže, nic se nezapíše."),
                              "DIR"};
    QCommandLineOption force{"force", QStringLiteral("Přepíše soubory, které už existují.")};
    QCommandLineOption pinStdin{"pin-stdin",
                                QStringLiteral("PIN karty SIM jako jeden řádek ze standardního vstupu (pro "
                                               "skripty). Bez něj se na PIN zeptá terminál, bez zobrazení.")};
    QCommandLineOption config{"config", QStringLiteral("Konfigurace (pozice 5 a 6) v souboru F.par."),
                              "F.par"};
    QCommandLineOption numbers{"numbers", QStringLiteral("Telefonní čísla (pozice 1 až 4) v souboru F.num."),
                               "F.num"};
    QCommandLineOption sms{"sms", QStringLiteral("Zprávy SMS (pozice SMS 1 až 4) v souboru F.sms."), "F.sms"};
    QCommandLineOption settings{"settings-dir",
                                QStringLiteral("Nastavení (setting.ini, dosdevices) ve složce DIR."), "DIR"};
};

const char* kWriteDescription =
    "Zapíše sady ze souborů do SIM v telefonu nebo ve čtečce karet, bez okna: konfiguraci, telefonní "
    "čísla a SMS, v tomto pořadí.\n"
    "Návratový kód: 0 vše potvrzeno (a ověřeno), 1 chybné použití nebo soubor (nic neodesláno), "
    "2 port, telefon nebo čtečka, 3 některé pozice nepotvrzeny, nepřečteny nebo jiné, než byly zapsány.";
const char* kReadDescription =
    "Přečte sady ze SIM v telefonu nebo ve čtečce karet do souborů, bez okna. Existující soubor přepíše "
    "jen s --force.\n"
    "Návratový kód: 0 vše přečteno, 1 chybné použití, 2 port, telefon nebo čtečka, 3 některé pozice "
    "nepřečteny.";

ProvisioningCommand ending(ProvisioningCommand::Outcome outcome, const QString& text) {
    ProvisioningCommand command;
    command.outcome = outcome;
    command.text = text;
    return command;
}

ProvisioningCommand refusal(const QString& action, const QString& text) {
    return ending(ProvisioningCommand::Outcome::Refuse,
                  text + QStringLiteral("\nalarmgsm %1 --help vypíše možnosti.").arg(action));
}

} // namespace

bool isProvisioningAction(const QString& argument) {
    return argument == kWrite || argument == kRead;
}

ProvisioningCommand parseProvisioningCommand(const QStringList& arguments) {
    const QString action = arguments.value(1);
    const bool writing = action == kWrite;
    const Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(writing ? kWriteDescription : kReadDescription));
    parser.addOptions(
        {o.help, o.port, o.reader, o.config, o.numbers, o.sms, o.pinStdin, o.lastTry, o.settings});
    parser.addOptions(writing ? QList{o.smsc, o.verify, o.backup} : QList{o.force});
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    QStringList rest = arguments;
    rest.removeAt(1);
    if (!parser.parse(rest))
        return refusal(action, parser.errorText());
    if (parser.isSet(o.help))
        return ending(ProvisioningCommand::Outcome::Answer,
                      parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                QFileInfo(arguments.first()).fileName() + ' ' + action));
    if (!parser.positionalArguments().isEmpty())
        return refusal(action, QStringLiteral("Neznámý argument: ") + parser.positionalArguments().first());
    if (parser.isSet(o.port) && parser.isSet(o.reader))
        return refusal(action, QStringLiteral("Zadejte buď --port, nebo --reader."));
    if (!parser.isSet(o.config) && !parser.isSet(o.numbers) && !parser.isSet(o.sms))
        return refusal(action, QStringLiteral("Zadejte aspoň jednu sadu: --config, --numbers nebo --sms."));
    ProvisioningCommand command;
    ProvisioningOptions& options = command.options;
    options.action = writing ? ProvisioningOptions::Action::Write : ProvisioningOptions::Action::Read;
    options.port = parser.value(o.port);
    options.cardReader = parser.value(o.reader);
    options.lastTry = parser.isSet(o.lastTry);
    options.pinFromStandardInput = parser.isSet(o.pinStdin);
    options.configurationFile = parser.value(o.config);
    options.numbersFile = parser.value(o.numbers);
    options.messagesFile = parser.value(o.sms);
    options.settingsDirectory = parser.value(o.settings);
    if (writing) {
        options.smscNumber = parser.value(o.smsc);
        options.verify = parser.isSet(o.verify);
        options.backupDirectory = parser.value(o.backup);
    } else {
        options.force = parser.isSet(o.force);
    }
    return command;
}
