#pragma once
// What the virtual phone itself spent on a run of commands, read from its byte log (--log).
#include <QByteArray>

struct PhoneTime {
    // Summed over the commands: from the phone having a command's last byte (its CR, or the Ctrl-Z
    // of a message) to its sending the last byte of the final answer, or of the "> " prompt.
    double answeringMs = 0;
    int commands = 0;
    int answered = 0;
    // Commands sent after a final result code: a terminal leaves the phone a gap before each. A
    // message follows its prompt at once.
    int gaps = 0;
};

// From log lines "<ms> in|out <escaped bytes>"; the notes ("#") are skipped.
PhoneTime phoneTime(const QByteArray& log);
