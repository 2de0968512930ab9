#pragma once
// Main-thread delivery: another thread hands a registered callback to the GUI thread and waits,
// up to a time limit, until the GUI thread has run it. The GUI thread runs it from its event loop,
// so also inside modal message boxes and dialogs, never during a plain blocking pause.
// Create the object on the GUI thread; the application owns one and passes it by reference.
// What carries a hand-over to the GUI thread is the system's: a posted Qt event
// (AfSafeSync_qt.cpp), or on Windows a message sent to a hidden window (AfSafeSync_win32.cpp).
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

class TAfSafeSync {
public:
    static constexpr int SlotCount = 64;
    using Callback = std::function<void(int slotNumber)>;

    TAfSafeSync();
    ~TAfSafeSync();
    TAfSafeSync(const TAfSafeSync&) = delete;
    TAfSafeSync& operator=(const TAfSafeSync&) = delete;

    // The new slot's identifier, disabled; 0 when all slots are in use.
    std::uint32_t SyncRegister(Callback callback);
    // Disabling also releases every SyncCall that waits on the slot at once.
    bool SyncEnable(std::uint32_t id, bool enabled);
    // True when the callback has run on the GUI thread and the slot is still registered and
    // enabled. A call that times out before the GUI thread took it up is withdrawn: it never runs.
    bool SyncCall(std::uint32_t id, int timeoutMs);
    bool SyncUnregister(std::uint32_t id);
    // Hand-overs that another thread waits on right now.
    std::size_t PendingCalls();

private:
    // On the GUI thread: takes hand-overs there and calls deliver() with their tokens.
    class Receiver;
    // A hand-over in flight. Only the waiting SyncCall removes it, except one it has left while the
    // callback was running (Abandoned), which the GUI side removes when the callback returns.
    // A call that is no longer in the table was withdrawn and never runs.
    enum class CallState { Posted, Running, Ran, Skipped, Abandoned };
    struct Call {
        std::uint32_t id;
        CallState state;
    };
    struct Slot {
        Callback callback;
        std::uint32_t id = 0;
        bool enabled = false;
    };

    Slot* findSlot(std::uint32_t id);
    void deliver(std::uint64_t token); // on the GUI thread
    // The system's part (AfSafeSync_qt.cpp, AfSafeSync_win32.cpp), with the constructor and
    // destructor that make and end the receiver.
    bool onReceiverThread() const;
    void handOver(std::uint64_t token); // deliver(token) is to run on the GUI thread
    bool slotLive(std::uint32_t id);

    std::mutex m_lock;
    std::condition_variable m_changed;
    Slot m_slots[SlotCount];
    std::uint32_t m_lastId = 0;
    std::uint64_t m_lastToken = 0;
    std::map<std::uint64_t, Call> m_calls;
    std::unique_ptr<Receiver> m_receiver;
};
