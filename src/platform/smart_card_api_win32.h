#pragma once
// winscard's PC/SC API for smart_card.cpp and smart_card_fault.cpp: the 8-bit ("A") functions, the
// system's texts, and the sentence for the Smart Card service that is not running.
#include "platform/wide_text.h"

#include <string>
#include <windows.h>
#include <winscard.h>

namespace platform::pcsc {

inline LONG listReaders(SCARDCONTEXT context, char* names, DWORD* size) {
    return SCardListReadersA(context, nullptr, names, size);
}

inline LONG connect(SCARDCONTEXT context, const char* reader, DWORD protocols, SCARDHANDLE* card,
                    DWORD* active) {
    return SCardConnectA(context, reader, SCARD_SHARE_SHARED, protocols, card, active);
}

// PC/SC return values are system error codes there, with texts in the PC's language (none under Wine).
inline std::string systemText(LONG code) {
    return systemMessage(static_cast<unsigned long>(code));
}

// The service is named so in a Czech Windows; it stops when the last reader is unplugged.
inline const char* const serviceMissing =
    "Služba Čipová karta neběží: připojte čtečku nebo službu spusťte ve Službách systému Windows.";

} // namespace platform::pcsc
