#include "platform/cmcTcpClient.h"

#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "link/cmcIpv4Address.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {
QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}
QString Text(const char* key)
{
    return Q(MainText().GetMultiLineText(key));
}
} // namespace

cmcTcpClient::cmcTcpClient() : pump_(*this, cmcTransmitPump::Rules{BufferLimit, false}) {}

cmcTcpClient::~cmcTcpClient()
{
    Close();
}

bool cmcTcpClient::Open(int port, const std::string& address)
{
    Close();
    failure_.clear();
    const auto ip = ParseDottedIpv4(address);
    if (!ip) {
        failure_ = Text("GI_AppMess_Tcp_Address").arg(Q(address)).toStdString();
        return false;
    }
    if (port < 1 || port > 65535) {
        failure_ = Text("GI_AppMess_Tcp_Port").arg(port).toStdString();
        return false;
    }
    address_ = address;
    port_ = port;
    socket_ = std::make_unique<QTcpSocket>();
    QTcpSocket* socket = socket_.get();
    QObject::connect(socket, &QTcpSocket::connected, socket, [this] { connected_ = true; });
    QObject::connect(
        socket, &QTcpSocket::errorOccurred, socket, [this, socket](QAbstractSocket::SocketError e) {
            // An error before the connection is made is why it was not made.
            if (connected_)
                return;
            failure_ = e == QAbstractSocket::ConnectionRefusedError
                           ? Text("GI_AppMess_Tcp_Refused").arg(Q(address_)).arg(port_).toStdString()
                           : Text("GI_AppMess_Tcp_Failed")
                                 .arg(Q(address_), QString::number(port_), socket->errorString())
                                 .toStdString();
        });
    // Frames are small and answered one by one: send each at once.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket->connectToHost(QHostAddress(*ip), static_cast<quint16>(port));
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        Close();
        if (failure_.empty())
            failure_ = Text("GI_AppMess_Tcp_Failed")
                           .arg(Q(address), QString::number(port), QStringLiteral("?"))
                           .toStdString();
        return false;
    }
    return true;
}

bool cmcTcpClient::IsOpen() const
{
    return socket_ != nullptr;
}

void cmcTcpClient::Close()
{
    connected_ = false;
    socketQueueDropped_ = false;
    pump_.Reset();
    if (!socket_)
        return;
    QObject::disconnect(socket_.get(), nullptr, socket_.get(), nullptr);
    if (socket_->state() == QAbstractSocket::ConnectedState) {
        socket_->flush();
        socket_->disconnectFromHost(); // shuts down both ways once written
    }
    socket_->abort();
    socket_.reset();
}

int cmcTcpClient::Write(const std::uint8_t* data, int count)
{
    if (!IsOpen())
        return 0;
    const int queued = pump_.Queue(data, count);
    if (queued > 0)
        socketQueueDropped_ = false;
    return queued;
}

int cmcTcpClient::Read(std::uint8_t* buffer, int capacity)
{
    if (!IsOpen() || capacity <= 0 || socket_->bytesAvailable() <= 0)
        return 0;
    const qint64 got = socket_->read(reinterpret_cast<char*>(buffer), capacity);
    return got > 0 ? static_cast<int>(got) : 0;
}

void cmcTcpClient::DropOutput()
{
    pump_.DropBuffered();
    socketQueueDropped_ = true;
}

int cmcTcpClient::QueuedBytes() const
{
    if (!socket_ || socketQueueDropped_)
        return 0;
    return static_cast<int>(std::min<qint64>(socket_->bytesToWrite(), INT32_MAX / 2));
}

int cmcTcpClient::Send(const std::uint8_t* data, int count)
{
    if (!socket_ || socket_->state() == QAbstractSocket::UnconnectedState)
        return -1;
    const qint64 taken = socket_->write(reinterpret_cast<const char*>(data), count);
    if (taken > 0)
        socket_->flush();
    return taken < 0 ? -1 : static_cast<int>(taken);
}
