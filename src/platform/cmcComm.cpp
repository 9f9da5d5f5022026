#include "platform/cmcComm.h"

#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "link/cmcSerialSettings.h"
#include "platform/cmcPortDiagnosis.h"
#include "platform/cmcPortMap.h"

#include <QFileInfo>
#include <QSerialPort>

#include <sys/ioctl.h>
#include <termios.h>

namespace {
QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string Message(const char* key, const QString& a1, const QString& a2 = {})
{
    QString text = Q(MainText().GetMultiLineText(key));
    text = a2.isNull() ? text.arg(a1) : text.arg(a1, a2);
    return text.toStdString();
}
} // namespace

cmcComm::cmcComm(cmcSettingsStore* store) : store_(store), pump_(*this, cmcTransmitPump::Rules{0, true}) {}

cmcComm::~cmcComm()
{
    Close();
}

bool cmcComm::Open(int portNumber, const std::string& settings)
{
    if (IsOpen())
        return false;
    portNumber_ = portNumber;
    const std::string device = cmcPortMap(store_ ? *store_ : cmcSettings()).DeviceOf(portNumber);
    if (device.empty()) {
        pump_.Reset();
        failure_ = Message("GI_AppMess_Port_NoPort", QString::number(portNumber));
        return false;
    }
    return openDevice(device, settings, std::to_string(portNumber) + " (" + device + ")");
}

bool cmcComm::OpenDevice(const std::string& device, const std::string& settings)
{
    if (IsOpen())
        return false;
    portNumber_ = 0;
    return openDevice(device, settings, device);
}

bool cmcComm::openDevice(const std::string& device, const std::string& settingsText, const std::string& label)
{
    pump_.Reset();
    device_ = device;
    failure_.clear();
    const cmcSerialSettings settings = ParseSerialSettings(settingsText);
    // Termios has no 4 data bits; a port cannot run at 0 baud.
    if (!settings.Usable() || settings.dataBits < 5) {
        failure_ = Message("GI_AppMess_Port_Settings", Q(label), Q(settingsText));
        return false;
    }

    // A link under /dev/serial/by-id is opened as the device it names, so the lock file
    // is the one other programs use for that device.
    const QString canonical = QFileInfo(Q(device)).canonicalFilePath();
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(canonical.isEmpty() ? Q(device) : canonical);
    if (!port->open(QIODevice::ReadWrite)) {
        const bool refused = port->error() == QSerialPort::PermissionError;
        failure_ = DescribePortOpenFailure(device, label, refused, port->errorString().toStdString());
        return false;
    }
    // Linux has no one and a half stop bits; two are what a receiver expecting one and a
    // half accepts.
    const auto stopBits = settings.stopBits == cmcStopBits::One ? QSerialPort::OneStop : QSerialPort::TwoStop;
    const bool lineSet = port->setBaudRate(settings.baud) &&
                         port->setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) &&
                         port->setParity(QSerialPort::NoParity) && port->setStopBits(stopBits) &&
                         port->setFlowControl(QSerialPort::NoFlowControl);
    if (!lineSet) {
        failure_ = Message("GI_AppMess_Port_Settings", Q(label), Q(settingsText));
        port->close();
        return false;
    }
    // The cable draws its power from RTS; DTR stays off. A pseudo-terminal has neither
    // line and refuses both, which does no harm.
    port->setRequestToSend(true);
    port->setDataTerminalReady(false);
    port->clearError();
    port->clear(QSerialPort::AllDirections);
    port_ = std::move(port);
    return true;
}

bool cmcComm::IsOpen() const
{
    return port_ && port_->isOpen();
}

void cmcComm::Close()
{
    pump_.Reset();
    if (port_) {
        port_->close();
        port_.reset();
    }
}

int cmcComm::Write(const std::uint8_t* data, int count)
{
    if (!IsOpen())
        return 0;
    return pump_.Queue(data, count);
}

int cmcComm::Read(std::uint8_t* buffer, int capacity)
{
    const int n = std::min(InputCount(), capacity);
    if (n <= 0)
        return 0;
    const qint64 got = port_->read(reinterpret_cast<char*>(buffer), n);
    return got > 0 ? static_cast<int>(got) : 0;
}

int cmcComm::InputCount() const
{
    if (!IsOpen())
        return 0;
    return static_cast<int>(std::min<qint64>(port_->bytesAvailable(), INT32_MAX));
}

int cmcComm::QueuedBytes() const
{
    if (!IsOpen())
        return 0;
    // Bytes in the port's write buffer, and those the driver has not put on the wire yet.
    int driverQueue = 0;
    if (::ioctl(port_->handle(), TIOCOUTQ, &driverQueue) != 0)
        driverQueue = 0;
    return static_cast<int>(std::min<qint64>(port_->bytesToWrite(), INT32_MAX / 2)) +
           std::max(driverQueue, 0);
}

int cmcComm::Send(const std::uint8_t* data, int count)
{
    if (!IsOpen())
        return -1;
    const qint64 taken = port_->write(reinterpret_cast<const char*>(data), count);
    // Hands the bytes to the driver now rather than at the next turn of the event loop.
    port_->flush();
    return taken < 0 ? -1 : static_cast<int>(taken);
}
