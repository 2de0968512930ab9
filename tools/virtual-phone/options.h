#pragma once
// The command line of the virtual phone: how it is reached, how it behaves on the line and what its
// SIM holds. Wrong options end the program with the usage and exit code 2.
#include <string>
#include <vector>

namespace vphone {

struct Options {
    // Where the phone is found and what it keeps.
    std::string link;
    std::string state;
    std::string log;
    // How it talks on the line.
    bool off = false;
    bool echo = true;
    int delayMs = 0;
    int simDelayMs = 0;
    int splitMs = 0;
    std::string urc;
    int urcEveryMs = 1000;
    bool urcInside = false;
    bool paced = false;
    bool strict = false;
    // What it holds and how it answers.
    bool emptyError = false;
    int phonebookSize = 100;
    int nameLength = 14;
    bool cutNames = false;
    int nameBytes = 0; // 0: no room in bytes, the characters alone count
    int smsSize = 20;
    bool phoneMemory = false;
    bool textMode = false;
    int cmee = 0;
    std::string charset; // one of charsets: the first of them unless chosen
    std::vector<std::string> charsets{"IRA", "GSM", "UCS2"};
    std::string pin;
    int pinTries = 3;
    int pinBusyMs = 0;
};

Options parseOptions(int argc, char** argv);

} // namespace vphone
