#include "serial/AfComPort.h"

#include <cstdio>

namespace {

// How long the receive thread waits for the GUI thread to take up an event.
constexpr int kDeliveryTimeoutMs = 2000;

constexpr std::uint32_t kBaudRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                        19200, 38400, 56000, 57600, 115200, 128000, 256000};

std::string format(const char* pattern, int first, int second) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, first, second);
    return text;
}

// Tells the owner that the open is under way, however it ends.
class OpenWait {
public:
    explicit OpenWait(const std::function<void(bool)>& hook) : m_hook(hook) {
        if (m_hook)
            m_hook(true);
    }
    ~OpenWait() {
        if (m_hook)
            m_hook(false);
    }
    OpenWait(const OpenWait&) = delete;
    OpenWait& operator=(const OpenWait&) = delete;

private:
    const std::function<void(bool)>& m_hook;
};

} // namespace

TAfCustomSerialPort::TAfCustomSerialPort(std::string name, TAfSafeSync& delivery,
                                         ComDeviceResolver resolveDevice)
    : TAfDataDispConnComponent(std::move(name)), m_delivery(delivery) {
    m_syncId = m_delivery.SyncRegister([this](int) { Dispatch(); });
    m_core = std::make_unique<TAfComPortCore>(std::move(resolveDevice));
    m_core->SetEventCallback([this](TAfComPortCore&, TAfCoreEventKind kind, std::uint32_t data,
                                    const std::exception_ptr& error) { Route(kind, data, error); });
    RebuildDcb();
}

TAfCustomSerialPort::~TAfCustomSerialPort() {
    Shutdown();
}

void TAfCustomSerialPort::Shutdown() {
    if (m_destroying.exchange(true))
        return;
    // Unregistering releases a receive thread that waits for the GUI thread, so the engine's
    // close does not wait for the delivery's time limit.
    m_delivery.SyncUnregister(m_syncId);
    m_core.reset();
}

void TAfCustomSerialPort::Loaded() {
    if (m_autoOpen)
        Open();
    else
        RebuildDcb();
}

bool TAfCustomSerialPort::IsOpen() const {
    return m_core && m_core->IsOpen();
}

void TAfCustomSerialPort::Open() {
    if (!m_core->IsOpen()) {
        m_delivery.SyncEnable(m_syncId, true);
        m_core->ApplyDcb(m_dcb);
        m_core->SetInQueueSize(m_inBufSize);
        m_core->SetOutQueueSize(m_outBufSize);
        m_core->SetEventThreadPriority(m_eventThreadPriority);
        m_core->SetWriteThreadPriority(m_writeThreadPriority);
        m_closing = false;
        OpenDevice();
        DoPortOpen();
    }
    TAfDataDispConnComponent::Open();
}

void TAfCustomSerialPort::Close() {
    m_closing = true;
    struct ClearClosing {
        std::atomic<bool>& flag;
        ~ClearClosing() { flag = false; }
    } clearClosing{m_closing};
    TAfDataDispConnComponent::Close();
    // Also releases a receive thread that waits inside SyncCall, so the close below does not wait
    // for the delivery's time limit; the event is dropped.
    m_delivery.SyncEnable(m_syncId, false);
    m_core->ClosePort();
    DoPortClose();
}

void TAfCustomSerialPort::SendText(const std::string& text) {
    if (!text.empty())
        WriteData(text.data(), int(text.size()));
}

std::string TAfCustomSerialPort::ReadAllText() {
    if (m_closing)
        return {};
    std::string text(m_core->GetStatus().InQueue, '\0');
    const std::int32_t got = m_core->ReadBytes(text.data(), std::int32_t(text.size()));
    text.resize(got > 0 ? std::size_t(got) : 0);
    return text;
}

void TAfCustomSerialPort::WriteData(const void* data, int count) {
    if (m_closing)
        return;
    if (!m_core->WriteBytes(data, count))
        RaisePortError(format("Write data error [requested: %d, free: %d]", count, m_core->OutputFree()));
}

void TAfCustomSerialPort::RaisePortError(const std::string& text) {
    throw EAfComPortError(text + " - " + Name() + " ");
}

void TAfCustomSerialPort::setBaudRate(TAfBaudrate value) {
    if (value == m_baudRate)
        return;
    m_baudRate = value;
    if (value != brUser)
        m_userBaudRate = 0;
    RebuildDcb();
}

void TAfCustomSerialPort::setDatabits(TAfDatabits value) {
    if (value == m_databits)
        return;
    m_databits = value;
    RebuildDcb();
}

void TAfCustomSerialPort::setDTR(bool value) {
    if (value == m_dtr)
        return;
    if (m_core)
        m_core->EscapeLine(value ? SETDTR : CLRDTR);
    m_dtr = value;
}

void TAfCustomSerialPort::setFlowControl(TAfFlowControl value) {
    if (value == m_flowControl)
        return;
    m_flowControl = value;
    RecomputeFlowLimits();
    RebuildDcb();
}

void TAfCustomSerialPort::setInBufSize(std::int32_t value) {
    if (value == m_inBufSize)
        return;
    if (IsOpen())
        RaisePortError("Port is not closed");
    m_inBufSize = value;
    RecomputeFlowLimits();
}

void TAfCustomSerialPort::setOptions(TAfComOptions value) {
    if (value == m_options)
        return;
    m_options = value;
    RebuildDcb();
}

void TAfCustomSerialPort::setOutBufSize(std::int32_t value) {
    if (value == m_outBufSize)
        return;
    if (IsOpen())
        RaisePortError("Port is not closed");
    m_outBufSize = value;
}

void TAfCustomSerialPort::setParity(TAfParity value) {
    if (value == m_parity)
        return;
    m_parity = value;
    RebuildDcb();
}

void TAfCustomSerialPort::setRTS(bool value) {
    if (value == m_rts)
        return;
    if (m_core)
        m_core->EscapeLine(value ? SETRTS : CLRRTS);
    m_rts = value;
}

void TAfCustomSerialPort::setStopbits(TAfStopbits value) {
    if (value == m_stopbits)
        return;
    m_stopbits = value;
    RebuildDcb();
}

void TAfCustomSerialPort::setUserBaudRate(std::int32_t value) {
    if (value == m_userBaudRate)
        return;
    m_userBaudRate = value;
    m_baudRate = brUser;
    RebuildDcb();
}

void TAfCustomSerialPort::setXOnChar(char value) {
    if (value == m_xonChar)
        return;
    m_xonChar = value;
    RebuildDcb();
}

void TAfCustomSerialPort::setXOffChar(char value) {
    if (value == m_xoffChar)
        return;
    m_xoffChar = value;
    RebuildDcb();
}

void TAfCustomSerialPort::setXOnLim(std::uint16_t value) {
    if (value == m_xonLim)
        return;
    m_xonLim = value;
    m_xoffLim = std::uint16_t(std::uint16_t(m_inBufSize) - value);
}

void TAfCustomSerialPort::setXOffLim(std::uint16_t value) {
    if (value == m_xoffLim)
        return;
    m_xoffLim = value;
    m_xonLim = std::uint16_t(std::uint16_t(m_inBufSize) - value);
}

void TAfCustomSerialPort::RecomputeFlowLimits() {
    if (m_flowControl == fwNone) {
        m_xonLim = 0;
        m_xoffLim = 0;
    } else {
        m_xonLim = std::uint16_t(m_inBufSize / 4);
        m_xoffLim = std::uint16_t(m_inBufSize - m_inBufSize / 4);
    }
}

void TAfCustomSerialPort::RebuildDcb() {
    DCB block{};
    block.DCBlength = sizeof(DCB);
    block.BaudRate = m_baudRate == brUser ? std::uint32_t(m_userBaudRate) : kBaudRates[m_baudRate];
    block.ByteSize = std::uint8_t(4 + m_databits);
    block.Parity = std::uint8_t(m_parity);
    block.StopBits = std::uint8_t(m_stopbits);
    block.XonChar = m_xonChar;
    block.XoffChar = m_xoffChar;
    block.XonLim = m_xonLim;
    block.XoffLim = m_xoffLim;
    block.Flags = dcb::fBinary;
    switch (m_flowControl) {
    case fwNone:
        break;
    case fwXOnXOff:
        block.Flags |= dcb::fOutX | dcb::fInX;
        break;
    case fwRtsCts:
        block.Flags |= dcb::fOutxCtsFlow | dcb::fRtsControlHandshake;
        break;
    case fwDtrDsr:
        block.Flags |= dcb::fOutxDsrFlow | dcb::fDtrControlHandshake;
        break;
    }
    if (m_options.contains(coParityCheck))
        block.Flags |= dcb::fParity;
    if (m_options.contains(coDsrSensitivity))
        block.Flags |= dcb::fDsrSensitivity;
    if (m_options.contains(coIgnoreXOff))
        block.Flags |= dcb::fTXContinueOnXoff;
    if (m_options.contains(coErrorChar))
        block.Flags |= dcb::fErrorChar;
    if (m_options.contains(coStripNull))
        block.Flags |= dcb::fNull;
    if (m_dtr && m_flowControl != fwDtrDsr)
        block.Flags |= dcb::fDtrControlEnable;
    if (m_rts && m_flowControl != fwRtsCts)
        block.Flags |= dcb::fRtsControlEnable;
    m_dcb = block;
    if (IsOpen()) {
        try {
            m_core->ApplyDcb(m_dcb);
        } catch (const EAfComPortCoreError&) {
            m_dcb = m_core->Dcb(); // what the port really has
            throw;
        }
    }
}

// On the receive thread. The stored event is written only here and, under m_routeLock, one at a
// time; the GUI side reads it while this thread waits inside SyncCall (which never leaves a
// hand-over behind that could still run), so the two never overlap.
void TAfCustomSerialPort::Route(TAfCoreEventKind kind, std::uint32_t data, const std::exception_ptr& error) {
    if (m_closing || m_destroying)
        return;
    if (kind != ckThreadError && DoNonSyncEvent(kind, data))
        return;
    std::unique_lock lock(m_routeLock);
    if (m_closing || m_destroying)
        return;
    m_eventKind = kind;
    m_eventData = kind == ckThreadError ? 0 : data;
    m_eventError = error;
    try {
        // A disabled or vanished slot makes this return false: the event is dropped.
        m_delivery.SyncCall(m_syncId, kDeliveryTimeoutMs);
    } catch (...) {
        m_eventError = nullptr;
        lock.unlock(); // the error comes back here as ckThreadError
        throw;
    }
    m_eventError = nullptr;
}

// On the GUI thread, inside the delivery.
void TAfCustomSerialPort::Dispatch() {
    if (m_closing || m_destroying)
        return;
    const int kind = m_eventKind;
    const std::uint32_t data = m_eventData;
    const std::exception_ptr error = m_eventError;
    DoSyncEvent(kind, data);
    switch (kind) {
    case ckOutputEmpty:
        DoOutBufFree();
        break;
    case ckCommEvents:
        if (data & EV_RXCHAR)
            DoDataRecived(std::int32_t(m_core->GetStatus().InQueue));
        {
            const std::uint32_t errors = m_core->TakeLineErrors();
            if (data & EV_ERR)
                DoLineError(errors);
        }
        if (data & EV_CTS)
            DoCTSChanged();
        if (data & EV_DSR)
            DoDSRChanged();
        if (data & EV_RING)
            DoRINGDetected();
        if (data & EV_RLSD)
            DoRLSDChanged();
        break;
    case ckDataWaiting:
        DoDataRecived(std::int32_t(data));
        break;
    case ckDeviceLost:
        DoDeviceLost();
        break;
    case ckThreadError:
        if (error)
            std::rethrow_exception(error);
        break;
    }
}

void TAfCustomComPort::OpenDevice() {
    const OpenWait waiting(OnOpenWait);
    if (m_devicePath.empty())
        Core().OpenPort(m_comNumber);
    else
        Core().OpenPath(m_devicePath);
}

void TAfCustomComPort::setComNumber(std::uint16_t value) {
    if (value != m_comNumber)
        reopenAfter([&] { m_comNumber = value; });
}

void TAfCustomComPort::setDevicePath(const std::string& value) {
    if (value != m_devicePath)
        reopenAfter([&] { m_devicePath = value; });
}

// A port that is open while its device changes is closed first and opened on the new one.
void TAfCustomComPort::reopenAfter(const std::function<void()>& change) {
    const bool wasOpen = IsOpen();
    if (wasOpen)
        Close();
    change();
    if (wasOpen)
        Open();
}

TAfComPort::TAfComPort(std::string name, TAfSafeSync& delivery, ComDeviceResolver resolveDevice)
    : TAfCustomComPort(std::move(name), delivery, std::move(resolveDevice)) {}

TAfComPort::~TAfComPort() {
    Shutdown();
}

void TAfComPort::DoPortOpen() {
    if (OnPortOpen)
        OnPortOpen(*this);
}
void TAfComPort::DoPortClose() {
    if (OnPortClose)
        OnPortClose(*this);
}
void TAfComPort::DoOutBufFree() {
    if (OnOutBufFree)
        OnOutBufFree(*this);
}
void TAfComPort::DoDataRecived(std::int32_t count) {
    if (OnDataRecived)
        OnDataRecived(*this, count);
}
void TAfComPort::DoLineError(std::uint32_t errors) {
    if (OnLineError)
        OnLineError(*this, errors);
}
void TAfComPort::DoCTSChanged() {
    if (OnCTSChanged)
        OnCTSChanged(*this);
}
void TAfComPort::DoDSRChanged() {
    if (OnDSRChanged)
        OnDSRChanged(*this);
}
void TAfComPort::DoRINGDetected() {
    if (OnRINGDetected)
        OnRINGDetected(*this);
}
void TAfComPort::DoRLSDChanged() {
    if (OnRLSDChanged)
        OnRLSDChanged(*this);
}
void TAfComPort::DoDeviceLost() {
    if (OnDeviceLost)
        OnDeviceLost(*this);
}
void TAfComPort::DoSyncEvent(int kind, std::uint32_t data) {
    if (OnSyncEvent)
        OnSyncEvent(*this, kind, data);
}
bool TAfComPort::DoNonSyncEvent(int kind, std::uint32_t data) {
    if (!OnNonSyncEvent)
        return false;
    OnNonSyncEvent(*this, kind, data);
    return true;
}
