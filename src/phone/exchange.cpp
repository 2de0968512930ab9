#include "phone/exchange.h"

#include "phone/exchange_lock.h"
#include "phone/page_context.h"
#include "phone/phone_messages.h"
#include "phone/port_link.h"
#include "phone/shared_state.h"
#include "platform/pause.h"
#include "widgets/user_dialogs.h"

bool beginExchange(PageContext& context, const QObject* owner) {
    if (!context.port.IsOpen()) {
        context.dialogs.error(QString::fromUtf8(phone_messages::kPortNotOpen));
        return false;
    }
    if (!context.exchanges.tryAcquire(owner))
        return false;
    context.shared.Transcript.clear();
    return true;
}

void finishExchange(PageContext& context, const QObject* owner) {
    context.pause.dropHeldInput();
    context.exchanges.release(owner);
}
