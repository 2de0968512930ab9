#include "cli/phone_session.h"

#include "phone/exchange.h"
#include "phone/reply.h"
#include "phone/verified_sequence.h"
#include "platform/com_names.h"
#include "platform/device_paths.h"
#include "widgets/user_dialogs.h"

PhoneSession::PhoneSession(const std::string& settingsDirectory, const std::string& smscNumber,
                           UserDialogs& dialogs)
    : m_errors(dialogs), m_line(
                             m_delivery,
                             [settingsDirectory](int portNumber) {
                                 return platform::comDevicePath(settingsDirectory, portNumber);
                             },
                             m_shared, m_exchanges),
      m_context{m_line, m_shared, dialogs, m_errors, m_pause, m_exchanges} {
    m_shared.SmscNumber = smscNumber;
    m_line.port().OnDeviceLost = [this](TAfComPort&) { portLost(); };
}

void PhoneSession::portLost() {
    const TAfComPort& component = m_line.port();
    if (!component.IsOpen())
        return;
    const std::string name = component.DevicePath().empty() ? "COM" + std::to_string(component.ComNumber())
                                                            : platform::deviceName(component.DevicePath());
    m_line.Close();
    m_context.dialogs.warning(QString::fromStdString("Port " + name + " byl odpojen."));
}

PhoneSession::~PhoneSession() {
    m_line.Close();
}

void PhoneSession::open(const PortChoice& port) {
    TAfComPort& component = m_line.port();
    component.setDevicePath(port.devicePath);
    if (port.devicePath.empty())
        component.setComNumber(static_cast<std::uint16_t>(port.comNumber));
    component.Open();
}

TransferOutcome PhoneSession::exchange(const AlarmSet& set,
                                       const std::function<TransferOutcome(VerifiedSequence&)>& steps) {
    if (!beginExchange(m_context, &m_owner))
        return TransferOutcome::PhoneUnusable;
    const OnExit finish([this] { finishExchange(m_context, &m_owner); });
    m_shared.ReplyBuffer.assign(1, ' '); // as the pages set it before their probe
    if (set.probes())
        m_line.SendText(reply::kProbe);
    VerifiedSequence sequence(m_context);
    if (set.probes() && !sequence.probeAnswered())
        return TransferOutcome::PhoneUnusable;
    return steps(sequence);
}
