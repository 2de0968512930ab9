#include "cli/phone_session.h"

#include "platform/com_names.h"
#include "platform/device_paths.h"
#include "sim/prompts.h"

PhoneSession::PhoneSession(const std::string& settingsDirectory, const std::string& smscNumber,
                           sim::Prompts& prompts)
    : m_line(
          m_delivery,
          [settingsDirectory](int portNumber) {
              return platform::comDevicePath(settingsDirectory, portNumber);
          },
          m_shared, m_exchanges),
      m_prompts(prompts), m_access(m_line, m_shared, m_pause, prompts), m_context{m_access, m_shared, prompts,
                                                                                  m_pause, m_exchanges},
      m_runner(m_context, this, [] {}) {
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
    m_prompts.warn("Port " + name + " byl odpojen.");
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

TransferOutcome PhoneSession::exchange(const AlarmSet& set, const ExchangeRunner::Steps& steps) {
    const auto how = set.probes() ? ExchangeRunner::Start::WithProbe : ExchangeRunner::Start::WithoutProbe;
    return m_runner
        .run(
            how, [] {}, steps)
        .value_or(TransferOutcome::PhoneUnusable);
}
