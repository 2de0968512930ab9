#pragma once
// The serial port component: the settings of one COM port as properties, Open/Close, the write
// queue, the bytes that have arrived, and the port's events raised on the GUI thread.
#include "serial/AfComPortCore.h"
#include "serial/AfDataDispatcher.h"
#include "serial/AfSafeSync.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

class EAfComPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TAfCustomSerialPort : public TAfDataDispConnComponent {
public:
    TAfCustomSerialPort(std::string name, TAfSafeSync& delivery, ComDeviceResolver resolveDevice);
    ~TAfCustomSerialPort() override;

    void Close() override;
    void Open() override; // throws EAfComPortCoreError / EAfComPortError
    bool IsOpen() const;
    void SendText(const std::string& text); // the bytes as given
    std::string ReadAllText();
    virtual void WriteData(const void* data, int count);
    const DCB& Dcb() const { return m_dcb; }
    TAfComPortCore& Core() { return *m_core; }
    // To be called once the owner has set the stored property values: opens when AutoOpen.
    void Loaded();

protected:
    virtual void OpenDevice() = 0;
    virtual void RaisePortError(const std::string& text);

    bool AutoOpen() const { return m_autoOpen; }
    void setAutoOpen(bool value) { m_autoOpen = value; }
    TAfBaudrate BaudRate() const { return m_baudRate; }
    void setBaudRate(TAfBaudrate value);
    TAfDatabits Databits() const { return m_databits; }
    void setDatabits(TAfDatabits value);
    bool DTR() const { return m_dtr; }
    void setDTR(bool value);
    TThreadPriority EventThreadPriority() const { return m_eventThreadPriority; }
    void setEventThreadPriority(TThreadPriority value) { m_eventThreadPriority = value; }
    TAfFlowControl FlowControl() const { return m_flowControl; }
    void setFlowControl(TAfFlowControl value);
    std::int32_t InBufSize() const { return m_inBufSize; }
    void setInBufSize(std::int32_t value);
    TAfComOptions Options() const { return m_options; }
    void setOptions(TAfComOptions value);
    std::int32_t OutBufSize() const { return m_outBufSize; }
    void setOutBufSize(std::int32_t value);
    TAfParity Parity() const { return m_parity; }
    void setParity(TAfParity value);
    bool RTS() const { return m_rts; }
    void setRTS(bool value);
    TAfStopbits Stopbits() const { return m_stopbits; }
    void setStopbits(TAfStopbits value);
    std::int32_t UserBaudRate() const { return m_userBaudRate; }
    void setUserBaudRate(std::int32_t value);
    TThreadPriority WriteThreadPriority() const { return m_writeThreadPriority; }
    void setWriteThreadPriority(TThreadPriority value) { m_writeThreadPriority = value; }
    char XOnChar() const { return m_xonChar; }
    void setXOnChar(char value);
    char XOffChar() const { return m_xoffChar; }
    void setXOffChar(char value);
    std::uint16_t XOnLim() const { return m_xonLim; }
    void setXOnLim(std::uint16_t value);
    std::uint16_t XOffLim() const { return m_xoffLim; }
    void setXOffLim(std::uint16_t value);

    // The events, raised by the class that publishes them.
    virtual void DoPortOpen() = 0;
    virtual void DoPortClose() = 0;
    virtual void DoOutBufFree() = 0;
    virtual void DoDataRecived(std::int32_t count) = 0;
    virtual void DoLineError(std::uint32_t errors) = 0;
    virtual void DoCTSChanged() = 0;
    virtual void DoDSRChanged() = 0;
    virtual void DoRINGDetected() = 0;
    virtual void DoRLSDChanged() = 0;
    virtual void DoDeviceLost() = 0;
    virtual void DoSyncEvent(int kind, std::uint32_t data) = 0;
    // Runs on the receive thread; false when no such handler is set.
    virtual bool DoNonSyncEvent(int kind, std::uint32_t data) = 0;

    // Stops delivery and the engine; the publishing class calls it first in its destructor, so
    // that no event reaches a handler that is being destroyed.
    void Shutdown();

private:
    void RebuildDcb();
    void RecomputeFlowLimits();
    void Route(TAfCoreEventKind kind, std::uint32_t data, const std::exception_ptr& error);
    void Dispatch();

    TAfSafeSync& m_delivery;
    std::unique_ptr<TAfComPortCore> m_core;
    std::uint32_t m_syncId = 0;
    std::atomic<bool> m_closing{false};
    std::atomic<bool> m_destroying{false};
    // The event being handed to the GUI thread; the router writes it only while no hand-over of
    // an earlier one can still run.
    std::mutex m_routeLock;
    std::atomic<int> m_eventKind{0};
    std::atomic<std::uint32_t> m_eventData{0};
    std::exception_ptr m_eventError; // guarded by m_routeLock on the receive side, see Route()

    DCB m_dcb{};
    bool m_autoOpen = false;
    TAfBaudrate m_baudRate = br115200;
    TAfDatabits m_databits = db8;
    bool m_dtr = true;
    TThreadPriority m_eventThreadPriority = tpNormal;
    TAfFlowControl m_flowControl = fwNone;
    std::int32_t m_inBufSize = 4096;
    TAfComOptions m_options;
    std::int32_t m_outBufSize = 2048;
    TAfParity m_parity = paNone;
    bool m_rts = true;
    TAfStopbits m_stopbits = sbOne;
    std::int32_t m_userBaudRate = 0;
    TThreadPriority m_writeThreadPriority = tpHighest;
    char m_xonChar = 17;
    char m_xoffChar = 19;
    std::uint16_t m_xonLim = 0;
    std::uint16_t m_xoffLim = 0;
};

class TAfCustomComPort : public TAfCustomSerialPort {
public:
    using TAfCustomSerialPort::TAfCustomSerialPort;

    // Called with true before the device opens and with false after, also when it fails: a
    // window shows its hourglass meanwhile.
    std::function<void(bool waiting)> OnOpenWait;

protected:
    void OpenDevice() override;
    std::uint16_t ComNumber() const { return m_comNumber; }
    void setComNumber(std::uint16_t value);
    // A device path, when set, is opened instead of the COM number.
    const std::string& DevicePath() const { return m_devicePath; }
    void setDevicePath(const std::string& value);

private:
    void reopenAfter(const std::function<void()>& change);

    std::uint16_t m_comNumber = 0;
    std::string m_devicePath;
};

class TAfComPort : public TAfCustomComPort {
public:
    TAfComPort(std::string name, TAfSafeSync& delivery, ComDeviceResolver resolveDevice);
    ~TAfComPort() override;

    using TAfCustomComPort::ComNumber;
    using TAfCustomComPort::DevicePath;
    using TAfCustomComPort::setComNumber;
    using TAfCustomComPort::setDevicePath;
    using TAfCustomSerialPort::AutoOpen;
    using TAfCustomSerialPort::BaudRate;
    using TAfCustomSerialPort::Databits;
    using TAfCustomSerialPort::DTR;
    using TAfCustomSerialPort::EventThreadPriority;
    using TAfCustomSerialPort::FlowControl;
    using TAfCustomSerialPort::InBufSize;
    using TAfCustomSerialPort::Options;
    using TAfCustomSerialPort::OutBufSize;
    using TAfCustomSerialPort::Parity;
    using TAfCustomSerialPort::RTS;
    using TAfCustomSerialPort::setAutoOpen;
    using TAfCustomSerialPort::setBaudRate;
    using TAfCustomSerialPort::setDatabits;
    using TAfCustomSerialPort::setDTR;
    using TAfCustomSerialPort::setEventThreadPriority;
    using TAfCustomSerialPort::setFlowControl;
    using TAfCustomSerialPort::setInBufSize;
    using TAfCustomSerialPort::setOptions;
    using TAfCustomSerialPort::setOutBufSize;
    using TAfCustomSerialPort::setParity;
    using TAfCustomSerialPort::setRTS;
    using TAfCustomSerialPort::setStopbits;
    using TAfCustomSerialPort::setUserBaudRate;
    using TAfCustomSerialPort::setWriteThreadPriority;
    using TAfCustomSerialPort::setXOffChar;
    using TAfCustomSerialPort::setXOffLim;
    using TAfCustomSerialPort::setXOnChar;
    using TAfCustomSerialPort::setXOnLim;
    using TAfCustomSerialPort::Stopbits;
    using TAfCustomSerialPort::UserBaudRate;
    using TAfCustomSerialPort::WriteThreadPriority;
    using TAfCustomSerialPort::XOffChar;
    using TAfCustomSerialPort::XOffLim;
    using TAfCustomSerialPort::XOnChar;
    using TAfCustomSerialPort::XOnLim;

    std::function<void(TAfComPort& sender, std::int32_t count)> OnDataRecived;
    std::function<void(TAfComPort&sender)> OnPortOpen, OnPortClose, OnOutBufFree, OnCTSChanged, OnDSRChanged,
        OnRINGDetected, OnRLSDChanged, OnDeviceLost;
    std::function<void(TAfComPort& sender, std::uint32_t errors)> OnLineError;
    std::function<void(TAfComPort&sender, int kind, std::uint32_t data)> OnSyncEvent, OnNonSyncEvent;

protected:
    void DoPortOpen() override;
    void DoPortClose() override;
    void DoOutBufFree() override;
    void DoDataRecived(std::int32_t count) override;
    void DoLineError(std::uint32_t errors) override;
    void DoCTSChanged() override;
    void DoDSRChanged() override;
    void DoRINGDetected() override;
    void DoRLSDChanged() override;
    void DoDeviceLost() override;
    void DoSyncEvent(int kind, std::uint32_t data) override;
    bool DoNonSyncEvent(int kind, std::uint32_t data) override;
};
