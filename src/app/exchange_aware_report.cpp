#include "app/exchange_aware_report.h"

#include "app/error_report.h"
#include "exchange/exchange_lock.h"

#include <utility>

ExchangeAwareReport::ExchangeAwareReport(ExchangeLock& exchanges, ErrorReport& errors, QObject* parent)
    : QObject(parent), m_exchanges(exchanges), m_errors(errors) {
    // Queued: the lock is released inside the page's own code, which must finish first.
    connect(&m_exchanges, &ExchangeLock::busyChanged, this, &ExchangeAwareReport::showPending,
            Qt::QueuedConnection);
}

void ExchangeAwareReport::report(const std::string& text) {
    m_pending = text;
    showPending();
}

void ExchangeAwareReport::showPending() {
    if (!m_pending || m_exchanges.busy())
        return;
    const std::string text = *std::exchange(m_pending, std::nullopt);
    m_errors.report(text);
}
