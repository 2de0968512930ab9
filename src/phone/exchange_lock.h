#pragma once
// Only one phone exchange may run at a time: ReplyBuffer and StepState are shared, so two exchanges
// would corrupt each other. While one runs, the phone buttons of every page are greyed out, which
// tells the user plainly that the phone is busy; they come back when the exchange ends.
#include <QList>
#include <QObject>
#include <QPointer>

class QAbstractButton;

class ExchangeLock : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The buttons that start a phone exchange, on any page.
    void addPhoneButton(QAbstractButton* button);

    // False when another exchange is running. An owner may acquire again while it holds the lock.
    bool tryAcquire(const QObject* owner);
    void release(const QObject* owner);
    bool busy() const { return m_owner != nullptr; }

signals:
    void busyChanged(bool busy);

private:
    void setPhoneButtonsEnabled(bool enabled);

    const QObject* m_owner = nullptr;
    QList<QPointer<QAbstractButton>> m_phoneButtons;
};
