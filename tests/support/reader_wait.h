#pragma once
// Waits until pcscd reports the virtual reader "Virtual PCD 00 00" in a state (a card present, the
// reader empty), within 10 s: pcscd polls vpcd about every 400 ms. For the tests' virtual card and
// the benchmarks' alike.
#include <QElapsedTimer>
#include <QThread>
#include <winscard.h>

inline constexpr const char* kVirtualReader = "Virtual PCD 00 00";

inline bool waitForVirtualReader(DWORD wanted) {
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return false;
    SCARD_READERSTATE state{};
    state.szReader = kVirtualReader;
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    QElapsedTimer clock;
    clock.start();
    bool reached = false;
    while (!reached && clock.elapsed() < 10000) {
        const LONG result = SCardGetStatusChange(context, 500, &state, 1);
        reached = result == SCARD_S_SUCCESS && (state.dwEventState & wanted);
        state.dwCurrentState = state.dwEventState & ~SCARD_STATE_CHANGED;
        // A reader pcscd has not loaded yet is answered at once.
        if (result != SCARD_S_SUCCESS && result != SCARD_E_TIMEOUT)
            QThread::msleep(100);
    }
    SCardReleaseContext(context);
    return reached;
}
