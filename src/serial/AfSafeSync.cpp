#include "serial/AfSafeSync.h"

#include <chrono>

TAfSafeSync::Slot* TAfSafeSync::findSlot(std::uint32_t id) {
    if (id == 0)
        return nullptr;
    for (Slot& slot : m_slots)
        if (slot.id == id && slot.callback)
            return &slot;
    return nullptr;
}

bool TAfSafeSync::slotLive(std::uint32_t id) {
    const Slot* slot = findSlot(id);
    return slot && slot->enabled;
}

std::uint32_t TAfSafeSync::SyncRegister(Callback callback) {
    if (!callback)
        return 0;
    std::lock_guard lock(m_lock);
    for (Slot& slot : m_slots) {
        if (slot.callback)
            continue;
        if (++m_lastId == 0)
            ++m_lastId;
        slot = Slot{std::move(callback), m_lastId, false};
        return slot.id;
    }
    return 0;
}

bool TAfSafeSync::SyncEnable(std::uint32_t id, bool enabled) {
    std::lock_guard lock(m_lock);
    Slot* slot = findSlot(id);
    if (!slot)
        return false;
    slot->enabled = enabled;
    m_changed.notify_all();
    return true;
}

bool TAfSafeSync::SyncUnregister(std::uint32_t id) {
    std::lock_guard lock(m_lock);
    Slot* slot = findSlot(id);
    if (!slot)
        return false;
    *slot = Slot{};
    m_changed.notify_all();
    return true;
}

std::size_t TAfSafeSync::PendingCalls() {
    std::lock_guard lock(m_lock);
    std::size_t waiting = 0;
    for (const auto& [token, call] : m_calls)
        if (call.state == CallState::Posted || call.state == CallState::Running)
            ++waiting;
    return waiting;
}

bool TAfSafeSync::SyncCall(std::uint32_t id, int timeoutMs) {
    std::unique_lock lock(m_lock);
    Slot* slot = findSlot(id);
    if (!slot || !slot->enabled)
        return false;

    if (onReceiverThread()) {
        // Already on the GUI thread: posting and waiting would only wait for ourselves.
        const Callback callback = slot->callback;
        const int slotNumber = int(slot - m_slots) + 1;
        lock.unlock();
        callback(slotNumber);
        lock.lock();
        return slotLive(id);
    }

    const std::uint64_t token = ++m_lastToken;
    const auto call = m_calls.emplace(token, Call{id, CallState::Posted}).first;
    lock.unlock();
    handOver(token);
    lock.lock();

    // The time limit is for the GUI thread to take the call up; once the callback runs, its caller
    // waits for it to end, so that nothing it reads is overwritten under it. Disabling or
    // unregistering the slot releases the wait at once.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const CallState state = call->second.state;
        if (state == CallState::Ran || state == CallState::Skipped || !slotLive(id))
            break;
        if (state == CallState::Posted) {
            if (m_changed.wait_until(lock, deadline) == std::cv_status::timeout &&
                call->second.state == CallState::Posted)
                break;
        } else {
            m_changed.wait(lock);
        }
    }
    const bool ran = call->second.state == CallState::Ran;
    if (call->second.state == CallState::Running)
        call->second.state = CallState::Abandoned;
    else
        m_calls.erase(call); // a call still posted is thereby withdrawn
    return ran && slotLive(id);
}

void TAfSafeSync::deliver(std::uint64_t token) {
    std::unique_lock lock(m_lock);
    const auto call = m_calls.find(token);
    if (call == m_calls.end())
        return; // withdrawn
    Slot* slot = findSlot(call->second.id);
    if (!slot || !slot->enabled) {
        call->second.state = CallState::Skipped;
        m_changed.notify_all();
        return;
    }
    call->second.state = CallState::Running;
    const Callback callback = slot->callback;
    const int slotNumber = int(slot - m_slots) + 1;
    lock.unlock();

    struct Finish {
        TAfSafeSync& sync;
        std::uint64_t token;
        ~Finish() {
            std::lock_guard lock(sync.m_lock);
            const auto call = sync.m_calls.find(token);
            if (call == sync.m_calls.end())
                return;
            if (call->second.state == CallState::Abandoned)
                sync.m_calls.erase(call);
            else
                call->second.state = CallState::Ran;
            sync.m_changed.notify_all();
        }
    } finish{*this, token};
    callback(slotNumber);
}
