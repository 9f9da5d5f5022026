#include "radiosim/RadioSimTcpPort.h"

#include "radiosim/RadioSim.h"

#include <QHostAddress>

bool RadioSimTcpPort::Listen(const std::string& host, int port, std::string& error)
{
    const QHostAddress address(QString::fromStdString(host));
    if (address.isNull()) {
        error = "'" + host + "' is not an IP address";
        return false;
    }
    if (!server_.listen(address, static_cast<quint16>(port))) {
        error = server_.errorString().toStdString();
        return false;
    }
    return true;
}

std::string RadioSimTcpPort::Address() const
{
    return server_.serverAddress().toString().toStdString() + ":" + std::to_string(server_.serverPort());
}

void RadioSimTcpPort::Attach(RadioSim& sim)
{
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this, &sim] {
        while (QTcpSocket* next = server_.nextPendingConnection()) {
            if (socket_) {
                socket_->abort();
                socket_->deleteLater();
            }
            socket_ = next;
            sim.NewSession();
        }
    });
}

int RadioSimTcpPort::Read(std::uint8_t* buffer, int capacity)
{
    if (!socket_)
        return 0;
    const qint64 n = socket_->read(reinterpret_cast<char*>(buffer), capacity);
    return n > 0 ? static_cast<int>(n) : 0;
}

int RadioSimTcpPort::Write(const std::uint8_t* data, int count)
{
    if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState)
        return count; // nobody listens: lost
    if (socket_->bytesToWrite() > MaxQueued)
        return 0;
    const qint64 n = socket_->write(reinterpret_cast<const char*>(data), count);
    return n > 0 ? static_cast<int>(n) : count;
}

void RadioSimTcpPort::Hangup()
{
    if (!socket_)
        return;
    socket_->abort();
    socket_->deleteLater();
    socket_ = nullptr;
}
