#include "radiosim/RadioSimPtyPort.h"

#include "base/cmcTimerService.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

RadioSimPtyPort::~RadioSimPtyPort()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool RadioSimPtyPort::Open(std::string& error)
{
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
        error = std::string("cannot make a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    path_ = name;
    return true;
}

bool RadioSimPtyPort::dead()
{
    if (hungUp_ && cmcTimers().NowMs() - deadSince_ >= DeadMs)
        hungUp_ = false;
    return hungUp_;
}

int RadioSimPtyPort::Read(std::uint8_t* buffer, int capacity)
{
    const ssize_t n = ::read(master_, buffer, static_cast<std::size_t>(capacity));
    if (n <= 0)
        return 0;
    if (dead())
        return 0; // nothing arrives on a dead line
    return static_cast<int>(n);
}

int RadioSimPtyPort::Write(const std::uint8_t* data, int count)
{
    if (dead())
        return count;
    const ssize_t n = ::write(master_, data, static_cast<std::size_t>(count));
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : count;
    return static_cast<int>(n);
}

void RadioSimPtyPort::Hangup()
{
    ::tcflush(master_, TCIOFLUSH);
    hungUp_ = true;
    deadSince_ = cmcTimers().NowMs();
}

int RadioSimPtyPort::ProgramBaud() const
{
    // The master reports the terminal settings the program made on the slave.
    termios t{};
    if (::tcgetattr(master_, &t) != 0)
        return 0;
    switch (cfgetospeed(&t)) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0; // a speed the radio has no notion of: not checked
    }
}
