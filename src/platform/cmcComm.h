#pragma once
// The serial link on a QSerialPort. A port number is looked up in the port map; a device
// path may also be opened directly (a pseudo-terminal, a path the user typed). Reads take
// what has arrived and never wait; writes go through the transmit pump, which hands the
// port a piece of at most 1024 bytes only once the port has sent the previous one. The
// line runs raw, without flow control, with RTS on and DTR off.
#include "base/cmcSettingsStore.h"
#include "link/cmcLink.h"
#include "link/cmcTransmitPump.h"

#include <memory>
#include <string>

class QSerialPort;

class cmcComm final : public cmcSerialLink, private cmcTransmitPump::Device {
public:
    // store holds the port map; the program's settings store when none is given.
    explicit cmcComm(cmcSettingsStore* store = nullptr);
    ~cmcComm() override;
    cmcComm(const cmcComm&) = delete;
    cmcComm& operator=(const cmcComm&) = delete;

    // Opens the device of portNumber with a settings string such as "9600,n,8,1". Fails
    // when already open (nothing changes then), when the number has no device, when the
    // settings are incomplete or not possible on the port, or when the device cannot be
    // opened; OpenFailureReason() then says why.
    bool Open(int portNumber, const std::string& settings) override;
    // The same for a device path.
    bool OpenDevice(const std::string& device, const std::string& settings);

    [[nodiscard]] bool IsOpen() const override;
    void Close() override;
    // Queues the bytes (when open) and runs one pump step at once; answers count, or 0.
    int Write(const std::uint8_t* data, int count) override;
    // Up to capacity of the bytes that have arrived; 0 when none, when closed or on error.
    int Read(std::uint8_t* buffer, int capacity) override;
    // Bytes received and not read yet; 0 when closed.
    [[nodiscard]] int InputCount() const;
    // Transmit buffer, the port's write buffer and the driver's output queue.
    [[nodiscard]] int OutputPending() const override { return pump_.Pending(); }
    [[nodiscard]] bool WriteError() const override { return pump_.WriteError(); }
    void DropOutput() override { pump_.DropBuffered(); }
    [[nodiscard]] std::string OpenFailureReason() const override { return failure_; }

    [[nodiscard]] int PortNumber() const { return portNumber_; }
    [[nodiscard]] const std::string& Device() const { return device_; }

private:
    [[nodiscard]] int QueuedBytes() const override;
    int Send(const std::uint8_t* data, int count) override;
    bool openDevice(const std::string& device, const std::string& settings, const std::string& label);

    cmcSettingsStore* store_;
    std::unique_ptr<QSerialPort> port_;
    cmcTransmitPump pump_;
    int portNumber_ = 0;
    std::string device_;
    std::string failure_;
};
