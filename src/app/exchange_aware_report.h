#pragma once
// A message about the port that must not open in the middle of a page's exchange: shown at once
// when none runs, otherwise once the running exchange has ended.
#include <optional>
#include <QObject>
#include <string>

class ErrorReport;
class ExchangeLock;

class ExchangeAwareReport : public QObject {
    Q_OBJECT
public:
    ExchangeAwareReport(ExchangeLock& exchanges, ErrorReport& errors, QObject* parent = nullptr);
    void report(const std::string& text);

private:
    void showPending();

    ExchangeLock& m_exchanges;
    ErrorReport& m_errors;
    std::optional<std::string> m_pending; // one message, however often it was asked for
};
