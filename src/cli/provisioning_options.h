#pragma once
// The command line of "alarmgsm write" and "alarmgsm read".
#include <QString>
#include <QStringList>

struct ProvisioningOptions {
    enum class Action { Write, Read };
    Action action = Action::Write;
    QString port;         // empty: the one chosen in setting.ini
    QString cardReader;   // a card reader instead of a port
    bool lastTry = false; // the SIM's last PIN try may be spent
    QString smscNumber;   // empty: the one in setting.ini
    bool verify = false;
    QString backupDirectory; // empty: no backup
    bool force = false;
    bool pinFromStandardInput = false;
    QString configurationFile; // empty: not this set
    QString numbersFile;
    QString messagesFile;
    QString settingsDirectory; // empty: the usual place
};

struct ProvisioningCommand {
    enum class Outcome { Run, Answer, Refuse };
    Outcome outcome = Outcome::Run;
    QString text; // the help (Answer) or what was wrong (Refuse)
    ProvisioningOptions options;
};

// The first argument after the program's name names the action.
bool isProvisioningAction(const QString& argument);

ProvisioningCommand parseProvisioningCommand(const QStringList& arguments);
