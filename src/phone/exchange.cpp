#include "phone/exchange.h"

#include "phone/exchange_lock.h"
#include "phone/page_context.h"
#include "phone/phone_messages.h"
#include "phone/port_link.h"
#include "platform/pause.h"
#include "widgets/user_dialogs.h"

bool beginExchange(PageContext& context, const QObject* owner) {
    if (!context.port.IsOpen()) {
        context.dialogs.error(QString::fromUtf8(phone_messages::kPortNotOpen));
        return false;
    }
    return context.exchanges.tryAcquire(owner);
}

void finishExchange(PageContext& context, const QObject* owner) {
    context.pause.dropHeldInput();
    context.exchanges.release(owner);
}

void awaitSettledReply(PageContext& context) {
    constexpr int kLongestSettleMs = 1000;
    if (context.port.ReplySettling())
        context.pause.waitUntil([&] { return !context.port.ReplySettling(); }, kLongestSettleMs);
}
