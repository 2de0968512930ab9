#include "widgets/phone_buttons.h"

#include "exchange/exchange_lock.h"

#include <QAbstractButton>

void greyWhileExchanging(ExchangeLock& exchanges, QAbstractButton& button) {
    button.setEnabled(button.isEnabled() && !exchanges.busy());
    QObject::connect(&exchanges, &ExchangeLock::busyChanged, &button,
                     [&button](bool busy) { button.setEnabled(!busy); });
}
