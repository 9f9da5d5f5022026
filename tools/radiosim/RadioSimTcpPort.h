#pragma once
// The simulated radio behind a TCP server, as the network adaptor serves it: one
// connection at a time (a new one replaces the old one and begins a new session).
#include "radiosim/RadioSimPort.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <string>

class RadioSim;

class RadioSimTcpPort final : public RadioSimPort {
public:
    // Output is held back while this many bytes wait in the socket.
    static constexpr int MaxQueued = 65536;

    // Listens on host:port (port 0: any free port); false with error on failure.
    bool Listen(const std::string& host, int port, std::string& error);
    // "HOST:PORT" actually listened on.
    [[nodiscard]] std::string Address() const;
    void Attach(RadioSim& sim);

    int Read(std::uint8_t* buffer, int capacity) override;
    int Write(const std::uint8_t* data, int count) override;
    void Hangup() override;
    [[nodiscard]] int ProgramBaud() const override { return 0; }

private:
    QTcpServer server_;
    QPointer<QTcpSocket> socket_;
};
