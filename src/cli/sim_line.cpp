#include "cli/sim_line.h"

#include "platform/com_names.h"
#include "platform/device_paths.h"
#include "sim/prompts.h"

SimLine::SimLine(const std::string& settingsDirectory, const std::string& smscNumber, sim::Prompts& prompts)
    : m_line(
          m_delivery,
          [settingsDirectory](int portNumber) {
              return platform::comDevicePath(settingsDirectory, portNumber);
          },
          m_shared, m_exchanges),
      m_prompts(prompts), m_phone(m_line, m_shared, m_pause, prompts), m_context{m_access, m_shared, prompts,
                                                                                 m_pause, m_exchanges},
      m_runner(m_context, this, [] {}) {
    m_shared.SmscNumber = smscNumber;
    m_line.port().OnDeviceLost = [this](TAfComPort&) { portLost(); };
}

void SimLine::portLost() {
    const TAfComPort& component = m_line.port();
    if (!component.IsOpen())
        return;
    const std::string name = component.DevicePath().empty() ? "COM" + std::to_string(component.ComNumber())
                                                            : platform::deviceName(component.DevicePath());
    m_line.Close();
    m_prompts.warn("Port " + name + " byl odpojen.");
}

SimLine::~SimLine() {
    m_line.Close();
}

void SimLine::openPort(const PortChoice& port) {
    TAfComPort& component = m_line.port();
    component.setDevicePath(port.devicePath);
    if (port.devicePath.empty())
        component.setComNumber(static_cast<std::uint16_t>(port.comNumber));
    component.Open();
}

void SimLine::useReader(const std::string& reader, bool mayUseLastTry) {
    m_card = std::make_unique<card::CardAccess>(reader, m_pause, m_prompts, card::CardAccess::Hold::WholeRun,
                                                mayUseLastTry);
    m_access.choose(*m_card);
}

TransferOutcome SimLine::exchange(const AlarmSet& set, const ExchangeRunner::Steps& steps) {
    const auto how = set.probes() ? ExchangeRunner::Start::WithProbe : ExchangeRunner::Start::WithoutProbe;
    return m_runner
        .run(
            how, [] {}, steps)
        .value_or(TransferOutcome::PhoneUnusable);
}
