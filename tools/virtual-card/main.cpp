// alarmgsm-card: a 2G SIM in vpcd's virtual reader, for end-to-end tests of the card reader path.
// Prints one line once it has reached the reader, then serves until SIGTERM, SIGINT or SIGHUP.
#include "card.h"
#include "card_log.h"
#include "ending_signals.h"
#include "options.h"
#include "state_file.h"
#include "vpcd_link.h"

#include <csignal>
#include <cstdio>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

int failed(const std::string& what) {
    std::fprintf(stderr, "alarmgsm-card: %s\n", what.c_str());
    return 1;
}

vcard::CardSetup cardSetup(const vcard::Options& options) {
    return {.sizes = {options.adnRecords, options.nameBytes, options.smsRecords},
            .pin = options.pin,
            .pinTries = options.pinTries,
            .puk = options.puk,
            .pukTries = options.pukTries,
            .usimOnly = options.usimOnly};
}

// A record is changed only once it is saved; without a state file the card lives in memory.
bool save(const vcard::CardFiles& files, const std::string& path) {
    if (path.empty())
        return true;
    try {
        vcard::saveState(files, path);
        return true;
    } catch (const vcard::StateError& error) {
        std::fprintf(stderr, "alarmgsm-card: the record was not kept: %s\n", error.what());
        return false;
    }
}

void control(std::uint8_t code, vcard::Card& card, vcard::VpcdLink& link, vcard::CardLog& log) {
    switch (code) {
    case 0x00:
        log.control("off");
        card.reset();
        break;
    case 0x01:
        log.control("on");
        card.reset();
        break;
    case 0x02:
        log.control("reset");
        card.reset();
        break;
    case 0x04:
        link.send(vcard::Card::atr());
        log.control("atr " + vcard::CardLog::hex(vcard::Card::atr()));
        break;
    default:
        log.control("unknown " + vcard::CardLog::hex({code}));
    }
}

// Serves until a signal comes (exit 0), the card is pulled out (exit 0) or vpcd goes (exit 1).
int serve(const vcard::Options& options, vcard::Card& card, vcard::VpcdLink& link, vcard::CardLog& log) {
    std::vector<std::uint8_t> message;
    for (int apdus = 0;;) {
        const vcard::VpcdLink::Event event = link.receive(message);
        if (event == vcard::VpcdLink::Event::Stopped)
            return 0;
        if (event == vcard::VpcdLink::Event::Closed)
            return failed("vpcd closed the connection");
        if (message.size() == 1) {
            control(message[0], card, link, log);
            continue;
        }
        if (++apdus == options.pullAfter) {
            log.exchange(message, "pulled");
            link.drop();
            return 0;
        }
        if (!link.pause(options.apduDelayMs))
            return 0;
        const std::vector<std::uint8_t> answer = card.answer(message);
        link.send(answer);
        log.exchange(message, vcard::CardLog::hex(answer));
    }
}

int run(const vcard::Options& options, vcard::Card& card, int signals) {
    try {
        if (!options.state.empty())
            vcard::loadState(options.state, card.files());
        vcard::CardLog log(options.log, vcard::CardLog::Clock::now());
        const std::string address = options.host + ":" + std::to_string(options.port);
        vcard::VpcdLink link(options.host, options.port, signals);
        if (!link.connected())
            return 0;
        log.note("alarmgsm-card on " + address);
        std::printf("alarmgsm-card on %s\n", address.c_str());
        std::fflush(stdout);
        return serve(options, card, link, log);
    } catch (const std::exception& error) {
        return failed(error.what());
    }
}

} // namespace

int main(int argc, char** argv) {
    const vcard::Options options = vcard::parseOptions(argc, argv);
    vcard::Card card(cardSetup(options),
                     [&options](const vcard::CardFiles& files) { return save(files, options.state); });
    const int signals = endingSignalsDescriptor();
    if (signals < 0)
        return failed("signalfd failed");
    const int status = run(options, card, signals);
    ::close(signals);
    return status;
}
