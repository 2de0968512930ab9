#pragma once
// The command line of the virtual card: where its reader listens, what the card holds and how it
// misbehaves on request. Wrong options end the program with the usage and exit code 2.
#include <string>

namespace vcard {

struct Options {
    // Where the card is served and what it keeps.
    std::string host = "127.0.0.1";
    int port = 35963; // vpcd's first slot: "Virtual PCD 00 00"
    std::string state;
    std::string log;
    // What it holds.
    int adnRecords = 100;
    int nameBytes = 14;
    int smsRecords = 20;
    std::string pin; // empty: CHV1 disabled
    int pinTries = 3;
    std::string puk = "12345678";
    int pukTries = 10;
    // How it misbehaves.
    bool usimOnly = false;
    int pullAfter = 0; // 0: never
    int apduDelayMs = 0;
};

Options parseOptions(int argc, char** argv);

} // namespace vcard
