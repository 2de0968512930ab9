// smart_card_probe --list | READER APDU-HEX...: the tool's PC/SC layer in a process of its own, for
// what one test process cannot show by itself: a second program at the same card, a pcscd that is
// not there. Prints each reader, or each response in hex, a line each; or "fault <kind> <code>"
// and the user's sentence, and ends with 1.
#include "platform/smart_card.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int fault(const platform::SmartCardError& error, const std::string& reader) {
    std::printf("fault %d %lX\n%s\n", int(error.fault), error.code & 0xFFFFFFFFl,
                platform::smartCardFaultText(error, reader).c_str());
    return 1;
}

std::vector<std::uint8_t> bytes(const std::string& hex) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(std::uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--list") {
        const platform::ReaderList list = platform::listSmartCardReaders();
        for (const std::string& name : list.names)
            std::printf("%s\n", name.c_str());
        return list.error.fault == platform::SmartCardFault::None ? 0 : fault(list.error, {});
    }
    if (argc < 2)
        return 2;
    platform::SmartCardError error;
    const auto session = platform::SmartCardSession::open(argv[1], error);
    if (!session)
        return fault(error, argv[1]);
    for (int i = 2; i < argc; ++i) {
        const auto response = session->transmit(bytes(argv[i]));
        if (!response)
            return fault(session->lastError(), argv[1]);
        for (std::uint8_t b : *response)
            std::printf("%02X", b);
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
