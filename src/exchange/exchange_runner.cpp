#include "exchange/exchange_runner.h"

#include "exchange/exchange_context.h"
#include "exchange/exchange_lock.h"
#include "phone/shared_state.h"
#include "platform/pause.h"
#include "sim/session.h"
#include "sim/sim_access.h"

#include <QTimer>
#include <utility>

namespace {

// Runs an action when the scope ends, however it ends: the exchange comes back to idle also when a
// send raises the line's error.
template <typename Action> class OnExit {
public:
    explicit OnExit(Action action) : m_action(std::move(action)) {}
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;
    ~OnExit() { m_action(); }

private:
    Action m_action;
};

} // namespace

ExchangeRunner::ExchangeRunner(ExchangeContext& context, const void* owner, std::function<void()> atEnd)
    : m_context(context), m_owner(owner), m_atEnd(std::move(atEnd)) {}

bool ExchangeRunner::begin(bool quiet) {
    if (!m_context.access.ready(quiet) || !m_context.exchanges.tryAcquire(m_owner))
        return false;
    // What the device says is gathered afresh from here.
    m_context.shared.Transcript.clear();
    m_context.shared.ReplyBuffer.assign(1, ' ');
    return true;
}

// A probe that cannot be sent arms no tick, and only a tick would end the exchange.
bool ExchangeRunner::start(QTimer& tick) {
    if (!begin(false))
        return false;
    const OnExit endUnlessTicking([&] {
        if (!tick.isActive())
            end();
    });
    if (m_context.access.probes())
        m_context.access.sendProbe();
    tick.start();
    return true;
}

TransferOutcome ExchangeRunner::atTick(const std::function<void()>& busy, const Steps& steps) {
    const OnExit ending([this] { end(); });
    return proceed(m_context.access.probes(), busy, steps);
}

std::optional<TransferOutcome> ExchangeRunner::run(Start how, const std::function<void()>& busy,
                                                   const Steps& steps) {
    if (!begin(how == Start::WithoutProbeQuietly))
        return std::nullopt;
    const OnExit ending([this] { end(); });
    const bool probing = how == Start::WithProbe && m_context.access.probes();
    if (probing)
        m_context.access.sendProbe();
    return proceed(probing, busy, steps);
}

// An error on its way out is told as it is and ends the exchange there: nothing more goes to the
// device, so neither does what would put its settings back.
TransferOutcome ExchangeRunner::proceed(bool probeSent, const std::function<void()>& busy,
                                        const Steps& steps) {
    const auto session = m_context.access.connect(probeSent);
    if (!session)
        return TransferOutcome::PhoneUnusable;
    busy();
    const TransferOutcome outcome = steps(*session);
    session->close();
    return outcome;
}

// What the user did meanwhile is dropped, and the SIM is free for others.
void ExchangeRunner::end() {
    m_atEnd();
    m_context.pause.dropHeldInput();
    m_context.exchanges.release(m_owner);
}
