#pragma once
// The network link to the radio's network adaptor, on a QTcpSocket. Open takes a dotted
// IPv4 address (no name lookup) and starts the connection without waiting for it; the
// link is open while it connects, and IsConnected() tells when the connection is made.
// Writes go through the transmit pump (at most 32000 bytes waiting, pieces of 1024);
// reads take what has arrived.
#include "link/cmcLink.h"
#include "link/cmcTransmitPump.h"

#include <memory>
#include <string>

class QTcpSocket;

class cmcTcpClient final : public cmcTcpLink, private cmcTransmitPump::Device {
public:
    static constexpr int BufferLimit = 32000;

    cmcTcpClient();
    ~cmcTcpClient() override;
    cmcTcpClient(const cmcTcpClient&) = delete;
    cmcTcpClient& operator=(const cmcTcpClient&) = delete;

    // Closes whatever was open, then starts connecting to address:port. False, with
    // OpenFailureReason() saying why, for an address that is not dotted IPv4, a port
    // outside 1 to 65535, or a connection refused at once.
    bool Open(int port, const std::string& address) override;
    // Address and socket both there (connecting or connected).
    [[nodiscard]] bool IsOpen() const override;
    // Shuts the connection down, stops the pump, empties the transmit buffer.
    void Close() override;
    // Queues count bytes when open and count < 32000 minus what is waiting; answers the
    // bytes queued (0 otherwise).
    int Write(const std::uint8_t* data, int count) override;
    // What has arrived, up to capacity; 0 at once when nothing has, and on any error.
    int Read(std::uint8_t* buffer, int capacity) override;
    // The transmit buffer and the socket's unsent bytes (until DropOutput).
    [[nodiscard]] int OutputPending() const override { return pump_.Pending(); }
    // Send errors are not reported on the network link: the answer then does not come.
    [[nodiscard]] bool WriteError() const override { return false; }
    [[nodiscard]] bool IsConnected() const override { return IsOpen() && connected_; }
    // Forgets the bytes not sent yet, the socket's own included: they no longer count as
    // pending and go with the socket when it closes.
    void DropOutput() override;
    // Why the last Open failed, or why its connection could not be made.
    [[nodiscard]] std::string OpenFailureReason() const override { return failure_; }

private:
    [[nodiscard]] int QueuedBytes() const override;
    int Send(const std::uint8_t* data, int count) override;

    std::unique_ptr<QTcpSocket> socket_;
    cmcTransmitPump pump_;
    bool connected_ = false;
    bool socketQueueDropped_ = false;
    std::string address_;
    int port_ = 0;
    std::string failure_;
};
