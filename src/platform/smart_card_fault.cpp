#include "platform/smart_card.h"

#include PLATFORM_SMART_CARD_API

#include <cstdio>

namespace platform {

SmartCardFault smartCardFaultOf(long code) {
    switch (LONG(code)) {
    case SCARD_S_SUCCESS:
        return SmartCardFault::None;
    case SCARD_E_NO_SERVICE:
    case SCARD_E_SERVICE_STOPPED:
        return SmartCardFault::NoService;
    case SCARD_E_NO_READERS_AVAILABLE:
        return SmartCardFault::NoReaders;
    case SCARD_E_READER_UNAVAILABLE:
    case SCARD_E_UNKNOWN_READER:
        return SmartCardFault::ReaderGone;
    case SCARD_E_NO_SMARTCARD:
        return SmartCardFault::NoCard;
    // A reset by someone else loses the verification as surely as a card taken out; pcsc-lite
    // answers a transfer cut short by a card that left as not transacted.
    case SCARD_W_REMOVED_CARD:
    case SCARD_W_RESET_CARD:
    case SCARD_E_NOT_TRANSACTED:
        return SmartCardFault::CardRemoved;
    case SCARD_E_SHARING_VIOLATION:
        return SmartCardFault::InUse;
    case SCARD_W_UNRESPONSIVE_CARD:
    case SCARD_W_UNPOWERED_CARD:
    case SCARD_W_UNSUPPORTED_CARD:
    case SCARD_E_PROTO_MISMATCH:
        return SmartCardFault::Unresponsive;
    default:
        return SmartCardFault::Other;
    }
}

namespace {

std::string hexCode(long code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code) & 0xFFFFFFFFul);
    return text;
}

} // namespace

std::string smartCardFaultText(const SmartCardError& error, const std::string& reader) {
    switch (error.fault) {
    case SmartCardFault::None:
        return {};
    case SmartCardFault::NoService:
        return pcsc::serviceMissing;
    case SmartCardFault::NoReaders:
        return "Není připojena žádná čtečka čipových karet: připojte ji.";
    case SmartCardFault::ReaderGone:
        return "Čtečka " + reader + " není připojena: připojte ji a zvolte ji znovu.";
    case SmartCardFault::NoCard:
        return "Ve čtečce " + reader + " není karta: vložte do ní SIM.";
    case SmartCardFault::CardRemoved:
        return "Karta byla ze čtečky " + reader + " vyjmuta nebo restartována: vložte ji a začněte znovu.";
    case SmartCardFault::InUse:
        return "Kartu ve čtečce " + reader + " používá jiný program: ukončete ho.";
    case SmartCardFault::Unresponsive:
        return "Karta ve čtečce " + reader + " neodpovídá: vložte ji znovu, čipem správně.";
    case SmartCardFault::Other:
        break;
    }
    const std::string text = pcsc::systemText(LONG(error.code));
    if (text.empty())
        return "Čipovou kartu nelze použít (chyba " + hexCode(error.code) + ").";
    return "Čipovou kartu nelze použít: " + text + " (" + hexCode(error.code) + ").";
}

} // namespace platform
