#pragma once
// The engine's receive and write threads. What they wait on is the system's: on POSIX a poll on
// file descriptors, the device and eventfds standing for the signals (AfComPortThreads_posix.cpp);
// on Windows the comm events, overlapped writes and event objects (AfComPortThreads_win32.cpp).
#include "serial/AfComPortCore.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <mutex>
#include <span>
#include <thread>

class TAfComPortCore;
class TAfCircularBuffer;
namespace platform {
class SerialDevice;
}

// An auto-reset signal: an eventfd that Set() makes readable, or an auto-reset event object.
class TAfSignal {
public:
    TAfSignal();
    ~TAfSignal();
    TAfSignal(const TAfSignal&) = delete;
    TAfSignal& operator=(const TAfSignal&) = delete;
    std::intptr_t native() const { return m_native; } // the eventfd, or the event's handle
    void Set();
    bool Reset();             // whether it was set
    bool Wait(int timeoutMs); // consumes the signal when it comes in time

private:
    std::intptr_t m_native;
};

// The system's identifier of the calling thread, for applyThreadPriority.
long currentThreadId();
// Gives a thread the system's priority for `priority`; silently keeps the old one where not allowed.
void applyThreadPriority(long threadId, TThreadPriority priority);

class TAfComPortCoreThread {
public:
    TAfComPortCoreThread(TAfComPortCore& core, platform::SerialDevice& device);
    virtual ~TAfComPortCoreThread();
    TAfComPortCoreThread(const TAfComPortCoreThread&) = delete;
    TAfComPortCoreThread& operator=(const TAfComPortCoreThread&) = delete;

    // Starts the thread and waits up to 3000 ms until it runs; false when it did not.
    bool Start();
    void SetPriority(TThreadPriority priority);
    // Marks the thread terminated, sets its stop signal and waits until it has ended.
    virtual void Stop();

protected:
    // Runs on the new thread before Start() returns.
    virtual void Setup() {}
    virtual void Execute() = 0;
    virtual void HandleException(std::exception_ptr error);
    bool Terminated() const { return m_terminated.load(); }
    void MarkTerminated() { m_terminated = true; }

    TAfComPortCore& m_core;
    platform::SerialDevice& m_device;
    TAfSignal m_stop;

private:
    void run();

    std::atomic<bool> m_terminated{false};
    std::atomic<long> m_threadId{0};
    TAfSignal m_started;
    std::thread m_thread;
};

class TAfComPortEventThread final : public TAfComPortCoreThread {
public:
    TAfComPortEventThread(TAfComPortCore& core, platform::SerialDevice& device,
                          TAfCoreEventCallback callback);
    ~TAfComPortEventThread() override;

    // A read took bytes from the input: new arrivals are to be reported again.
    void Wake();
    void ClearCallback();
    void Stop() override;

protected:
    void Setup() override;
    void Execute() override;
    void HandleException(std::exception_ptr error) override;

private:
    void Raise(TAfCoreEventKind kind, std::uint32_t data);
    TAfCoreEventCallback callback();
    std::uint32_t modemLineEvents();

    std::mutex m_callbackLock;
    TAfCoreEventCallback m_callback;
    std::atomic<bool> m_readHappened{false};
    int m_lastLines = -1; // -1: the device has no modem lines
};

class TAfComPortWriteThread final : public TAfComPortCoreThread {
public:
    TAfComPortWriteThread(TAfComPortCore& core, platform::SerialDevice& device, TAfCircularBuffer& ring);
    ~TAfComPortWriteThread() override;

    void DataReady() { m_dataReady.Set(); }
    // Asks the thread to drop the write queue and the device's output; true when it did in time.
    bool Flush(int timeoutMs);
    void Stop() override;

protected:
    void Execute() override;

private:
    enum class Outcome { Continue, Stop };
    // The part of the write queue that lies in one piece; empty when nothing waits.
    std::span<const std::uint8_t> queuedPiece();
    // Removes the bytes of the piece the device took. True when the round is over: the queue is
    // sent, or the piece after the wrap comes next; false while the device still owes some of it.
    bool takeSent(std::int32_t written, std::int32_t pieceLength);
    Outcome sendQueue();
    void dropQueue();

    TAfCircularBuffer& m_ring;
    TAfSignal m_flushRequest;
    TAfSignal m_flushDone;
    TAfSignal m_dataReady;
};
