#include "phone/exchange_lock.h"

#include <QAbstractButton>

void ExchangeLock::addPhoneButton(QAbstractButton* button) {
    m_phoneButtons.append(button);
    button->setEnabled(button->isEnabled() && !busy());
}

bool ExchangeLock::tryAcquire(const QObject* owner) {
    if (m_owner != nullptr && m_owner != owner)
        return false;
    if (m_owner == nullptr) {
        m_owner = owner;
        setPhoneButtonsEnabled(false);
        emit busyChanged(true);
    }
    return true;
}

void ExchangeLock::release(const QObject* owner) {
    if (m_owner != owner)
        return;
    m_owner = nullptr;
    setPhoneButtonsEnabled(true);
    emit busyChanged(false);
}

void ExchangeLock::setPhoneButtonsEnabled(bool enabled) {
    for (const auto& button : m_phoneButtons)
        if (button)
            button->setEnabled(enabled);
}
