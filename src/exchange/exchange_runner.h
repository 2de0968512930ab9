#pragma once
// What every exchange with the SIM has in common, for the three pages and the command line: the
// check that the way to the SIM is there (with its box), the exchange lock, the probe, the busy
// view, the steps on the SIM's session, and the end, however it ends. A page's exchange begins
// with a click and goes on at its timer's tick; the command line's runs in one go.
#include "sim/transfer.h"

#include <functional>
#include <optional>

class QTimer;
struct ExchangeContext;
namespace sim {
class Session;
}

class ExchangeRunner {
public:
    using Steps = std::function<TransferOutcome(sim::Session&)>;

    // atEnd brings the owner's view back to idle; the runner then frees the SIM for others.
    ExchangeRunner(ExchangeContext& context, const void* owner, std::function<void()> atEnd);
    ExchangeRunner(const ExchangeRunner&) = delete;
    ExchangeRunner& operator=(const ExchangeRunner&) = delete;

    // The click: false when nothing may start. Otherwise ReplyBuffer is blanked, the probe sent
    // where the way in sends one and `tick` armed; the exchange goes on at the tick, or ends here
    // when the probe could not be sent.
    bool start(QTimer& tick);
    // The tick: the steps run once the probe was answered, after `busy`; the exchange ends here.
    TransferOutcome atTick(const std::function<void()>& busy, const Steps& steps);

    enum class Start { WithProbe, WithoutProbe, WithoutProbeQuietly };
    // A whole exchange in one go; nothing when none could start (the box said why, unless quietly).
    std::optional<TransferOutcome> run(Start how, const std::function<void()>& busy, const Steps& steps);

private:
    bool begin(bool quiet);
    TransferOutcome proceed(bool probeSent, const std::function<void()>& busy, const Steps& steps);
    void end();

    ExchangeContext& m_context;
    const void* m_owner;
    std::function<void()> m_atEnd;
};
