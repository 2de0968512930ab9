#include "serial/AfSafeSync.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

namespace {

const QEvent::Type kDeliveryEvent = QEvent::Type(QEvent::registerEventType());

class DeliveryEvent final : public QEvent {
public:
    explicit DeliveryEvent(std::uint64_t token) : QEvent(kDeliveryEvent), token(token) {}
    const std::uint64_t token;
};

} // namespace

// Lives on the GUI thread; a posted event runs wherever that thread spins an event loop.
class TAfSafeSync::Receiver final : public QObject {
public:
    explicit Receiver(TAfSafeSync& owner) : m_owner(owner) {}

    // An exception of the callback leaves through here on purpose: the application's notify
    // reports it.
    bool event(QEvent* event) override {
        if (event->type() != kDeliveryEvent)
            return QObject::event(event);
        m_owner.deliver(static_cast<DeliveryEvent*>(event)->token);
        return true;
    }

private:
    TAfSafeSync& m_owner;
};

TAfSafeSync::TAfSafeSync() : m_receiver(std::make_unique<Receiver>(*this)) {}

TAfSafeSync::~TAfSafeSync() = default;

bool TAfSafeSync::onReceiverThread() const {
    return QThread::currentThread() == m_receiver->thread();
}

void TAfSafeSync::handOver(std::uint64_t token) {
    QCoreApplication::postEvent(m_receiver.get(), new DeliveryEvent(token));
}
