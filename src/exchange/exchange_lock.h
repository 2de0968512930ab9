#pragma once
// Only one exchange with the SIM may run at a time: ReplyBuffer and StepState are shared, so two
// exchanges would corrupt each other. Whoever shows the phone buttons greys them while one runs
// (busyChanged), which tells the user plainly that the SIM is busy.
#include <QObject>

class ExchangeLock : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // False when another exchange is running. An owner may acquire again while it holds the lock.
    bool tryAcquire(const void* owner);
    void release(const void* owner);
    bool busy() const { return m_owner != nullptr; }

signals:
    void busyChanged(bool busy);

private:
    const void* m_owner = nullptr;
};
