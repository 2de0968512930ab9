#pragma once
// pcsc-lite's PC/SC API for smart_card.cpp and smart_card_fault.cpp: its plain function names, its
// own texts, and the sentence for a pcscd that is not running.
#include <string>
#include <winscard.h>

namespace platform::pcsc {

inline LONG listReaders(SCARDCONTEXT context, char* names, DWORD* size) {
    return SCardListReaders(context, nullptr, names, size);
}

inline LONG connect(SCARDCONTEXT context, const char* reader, DWORD protocols, SCARDHANDLE* card,
                    DWORD* active) {
    return SCardConnect(context, reader, SCARD_SHARE_SHARED, protocols, card, active);
}

inline std::string systemText(LONG code) {
    return pcsc_stringify_error(code);
}

// Without systemd nothing starts pcscd on demand.
inline const char* const serviceMissing = "Služba čipových karet neběží: spusťte pcscd.";

} // namespace platform::pcsc
