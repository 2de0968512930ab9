#include "exchange/exchange_lock.h"

bool ExchangeLock::tryAcquire(const void* owner) {
    if (m_owner != nullptr && m_owner != owner)
        return false;
    if (m_owner == nullptr) {
        m_owner = owner;
        emit busyChanged(true);
    }
    return true;
}

void ExchangeLock::release(const void* owner) {
    if (m_owner != owner)
        return;
    m_owner = nullptr;
    emit busyChanged(false);
}
