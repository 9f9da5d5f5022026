#include "link/cmcMemoryLink.h"

#include "base/cmcTimerService.h"
#include "link/cmcIpv4Address.h"
#include "link/cmcTransmitPump.h"

#include <algorithm>
#include <deque>

namespace {
constexpr std::uint64_t NsPerMs = 1'000'000;
// Ten bits a byte (start, eight data, stop), in nanoseconds times the baud rate.
constexpr std::uint64_t ByteNsTimesBaud = 10ULL * 1'000'000'000ULL;
// The arrival time of bytes sent on a connection that is never made.
constexpr std::uint64_t Never = UINT64_MAX;

struct TimedByte {
    std::uint8_t value;
    std::uint64_t arrivalNs;
};

// One direction of the line: bytes in the order sent, each readable from its arrival.
struct Direction {
    std::deque<TimedByte> bytes;
    std::uint64_t wireFreeNs = 0; // when the last byte sent has left the wire

    [[nodiscard]] int Arrived(std::uint64_t nowNs) const
    {
        const auto end = std::partition_point(bytes.begin(), bytes.end(),
                                              [nowNs](const TimedByte& b) { return b.arrivalNs <= nowNs; });
        return static_cast<int>(end - bytes.begin());
    }
    // Bytes start no earlier than startNs and after the bytes before them; with a baud
    // rate above 0 each byte takes its wire time.
    void Send(const std::uint8_t* data, int count, std::uint64_t startNs, int baud)
    {
        const std::uint64_t start = std::max(startNs, wireFreeNs);
        std::uint64_t arrival = start;
        for (int i = 0; i < count; ++i) {
            if (baud > 0 && start != Never) {
                const std::uint64_t k = static_cast<std::uint64_t>(i) + 1;
                arrival = start + (k * ByteNsTimesBaud + static_cast<std::uint64_t>(baud) - 1) /
                                      static_cast<std::uint64_t>(baud);
            }
            bytes.push_back({data[i], arrival});
        }
        wireFreeNs = arrival;
    }
    int Take(std::uint8_t* buffer, int capacity, std::uint64_t nowNs)
    {
        const int n = std::min(capacity, Arrived(nowNs));
        for (int i = 0; i < n; ++i) {
            buffer[i] = bytes.front().value;
            bytes.pop_front();
        }
        return n;
    }
    void Clear()
    {
        bytes.clear();
        wireFreeNs = 0;
    }
};
} // namespace

struct cmcMemoryLink::Line {
    // Configuration.
    std::function<bool(const OpenRequest&)> openFilter;
    std::string openFailureReason;
    int connectDelayMs = 0;
    bool pacing = false;
    int tcpBaud = 38400;
    long long writeAllowance = -1; // bytes the devices still take; negative: any number

    // State.
    const void* holder = nullptr; // the program end that has the line open
    Kind kind = Kind::None;
    bool dropped = false;
    std::uint64_t connectAtNs = 0; // a TCP end is connected from here (Never: never)
    cmcSerialSettings settings;
    std::string settingsText;
    std::vector<std::string> serialHistory;
    int port = 0;
    std::string address;
    int attempts = 0;
    int opens = 0;
    Direction toRadio;
    Direction toProgram;
    std::function<void(LineEvent)> listener;

    // The clock as 64 bits: the service's 32-bit counter may wrap.
    std::uint32_t lastMs = cmcTimers().NowMs();
    std::uint64_t nowMs = lastMs;

    std::uint64_t NowNs()
    {
        const std::uint32_t ms = cmcTimers().NowMs();
        nowMs += static_cast<std::uint32_t>(ms - lastMs);
        lastMs = ms;
        return nowMs * NsPerMs;
    }
    [[nodiscard]] int Baud() const
    {
        if (!pacing)
            return 0;
        return kind == Kind::Tcp ? tcpBaud : settings.baud;
    }
    [[nodiscard]] bool Connected(std::uint64_t nowNs) const
    {
        return holder != nullptr && (kind != Kind::Tcp || nowNs >= connectAtNs);
    }
    void Tell(LineEvent event)
    {
        if (listener)
            listener(event);
    }
};

namespace {
using Line = cmcMemoryLink::Line;
using Kind = cmcMemoryLink::Kind;

// The program's end: the real links' behaviour over the shared line.
template <class Base> class MemoryEnd final : public Base, private cmcTransmitPump::Device {
public:
    MemoryEnd(std::shared_ptr<Line> line, Kind kind)
        : line_(std::move(line)), kind_(kind),
          pump_(*this, kind == Kind::Tcp ? cmcTransmitPump::Rules{cmcMemoryLink::TcpBufferLimit, false}
                                         : cmcTransmitPump::Rules{0, true})
    {
    }
    ~MemoryEnd() override { Close(); }
    MemoryEnd(const MemoryEnd&) = delete;
    MemoryEnd& operator=(const MemoryEnd&) = delete;

    // Serial: port number and settings string. TCP: port and dotted IPv4 address.
    bool Open(int port, const std::string& text) override
    {
        // An open serial end refuses and stays as it is; a TCP end drops its connection
        // and makes a new one, as the socket link does.
        if (holding() && kind_ == Kind::Serial)
            return false;
        Close();
        Line& line = *line_;
        failure_.clear();
        const cmcMemoryLink::OpenRequest request{kind_, port, text, line.attempts++};
        const cmcSerialSettings settings = ParseSerialSettings(text);
        if (kind_ == Kind::Serial ? !settings.Usable()
                                  : (!ParseDottedIpv4(text) || port < 1 || port > 65535)) {
            failure_ = kind_ == Kind::Serial ? "unusable line settings" : "not a dotted IPv4 address or port";
            return false;
        }
        if (line.holder != nullptr) {
            failure_ = "the in-memory line is held by another end";
            return false;
        }
        if (line.openFilter && !line.openFilter(request)) {
            failure_ = line.openFailureReason;
            return false;
        }
        const std::uint64_t now = line.NowNs();
        line.holder = this;
        line.kind = kind_;
        line.dropped = false;
        line.port = port;
        line.toProgram.Clear();
        if (kind_ == Kind::Serial) {
            line.settings = settings;
            line.settingsText = text;
            line.serialHistory.push_back(text);
            line.address.clear();
            line.connectAtNs = now;
        } else {
            line.address = text;
            line.connectAtNs = line.connectDelayMs < 0
                                   ? Never
                                   : now + static_cast<std::uint64_t>(line.connectDelayMs) * NsPerMs;
        }
        ++line.opens;
        line.Tell(cmcMemoryLink::LineEvent::Opened);
        return true;
    }

    [[nodiscard]] bool IsOpen() const override { return holding(); }

    void Close() override
    {
        pump_.Reset();
        if (!holding())
            return;
        // Bytes already on the wire still reach the radio; what it sent back is lost.
        line_->holder = nullptr;
        line_->kind = Kind::None;
        line_->toProgram.Clear();
        line_->Tell(cmcMemoryLink::LineEvent::Closed);
    }

    int Write(const std::uint8_t* data, int count) override
    {
        if (!holding())
            return 0;
        return pump_.Queue(data, count);
    }

    int Read(std::uint8_t* buffer, int capacity) override
    {
        if (!holding() || line_->dropped || capacity <= 0)
            return 0;
        return line_->toProgram.Take(buffer, capacity, line_->NowNs());
    }

    [[nodiscard]] int OutputPending() const override { return pump_.Pending(); }
    [[nodiscard]] bool WriteError() const override { return pump_.WriteError(); }
    [[nodiscard]] bool IsConnected() const override { return holding() && line_->Connected(line_->NowNs()); }
    void DropOutput() override { pump_.DropBuffered(); }
    [[nodiscard]] std::string OpenFailureReason() const override { return failure_; }

private:
    [[nodiscard]] bool holding() const { return line_->holder == this; }

    // Bytes on the wire toward the radio that have not arrived yet.
    [[nodiscard]] int QueuedBytes() const override
    {
        if (!holding())
            return 0;
        const Direction& d = line_->toRadio;
        return static_cast<int>(d.bytes.size()) - d.Arrived(line_->NowNs());
    }

    int Send(const std::uint8_t* data, int count) override
    {
        if (!holding())
            return -1;
        Line& line = *line_;
        int taken = count;
        if (line.writeAllowance >= 0) {
            taken = static_cast<int>(std::min<long long>(count, line.writeAllowance));
            line.writeAllowance -= taken;
        }
        // A TCP end's bytes wait for the connection to be made.
        if (!line.dropped)
            line.toRadio.Send(data, taken, std::max(line.NowNs(), line.connectAtNs), line.Baud());
        return taken;
    }

    std::shared_ptr<Line> line_;
    Kind kind_;
    cmcTransmitPump pump_;
    std::string failure_;
};
} // namespace

class cmcMemoryLink::EndFactory final : public cmcLinkFactory {
public:
    explicit EndFactory(cmcMemoryLink& pair) : pair_(pair) {}
    std::unique_ptr<cmcSerialLink> CreateSerial() override { return pair_.CreateSerial(); }
    std::unique_ptr<cmcTcpLink> CreateTcp() override { return pair_.CreateTcp(); }

private:
    cmcMemoryLink& pair_;
};

cmcMemoryLink::cmcMemoryLink()
    : line_(std::make_shared<Line>()), factory_(std::make_unique<EndFactory>(*this))
{
}

// Ends may outlive the pair: they must not call back into what the pair's owner set up.
cmcMemoryLink::~cmcMemoryLink()
{
    line_->listener = nullptr;
    line_->openFilter = nullptr;
}

std::unique_ptr<cmcSerialLink> cmcMemoryLink::CreateSerial()
{
    return std::make_unique<MemoryEnd<cmcSerialLink>>(line_, Kind::Serial);
}

std::unique_ptr<cmcTcpLink> cmcMemoryLink::CreateTcp()
{
    return std::make_unique<MemoryEnd<cmcTcpLink>>(line_, Kind::Tcp);
}

cmcLinkFactory& cmcMemoryLink::Factory()
{
    return *factory_;
}

void cmcMemoryLink::SetOpenFilter(std::function<bool(const OpenRequest&)> filter, std::string reason)
{
    line_->openFilter = std::move(filter);
    line_->openFailureReason = std::move(reason);
}

void cmcMemoryLink::FailOpens(bool fail, std::string reason)
{
    if (fail)
        SetOpenFilter([](const OpenRequest&) { return false; }, std::move(reason));
    else
        SetOpenFilter(nullptr);
}

void cmcMemoryLink::SetConnectDelay(int ms)
{
    line_->connectDelayMs = ms;
}

void cmcMemoryLink::SetPacing(bool on, int tcpBaud)
{
    line_->pacing = on;
    line_->tcpBaud = tcpBaud;
}

void cmcMemoryLink::FailWritesAfter(int bytes)
{
    line_->writeAllowance = bytes;
}

int cmcMemoryLink::RadioRead(std::uint8_t* buffer, int capacity)
{
    if (capacity <= 0)
        return 0;
    return line_->toRadio.Take(buffer, capacity, line_->NowNs());
}

std::vector<std::uint8_t> cmcMemoryLink::RadioReadAll()
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(RadioAvailable()));
    bytes.resize(static_cast<std::size_t>(RadioRead(bytes.data(), static_cast<int>(bytes.size()))));
    return bytes;
}

int cmcMemoryLink::RadioAvailable() const
{
    return line_->toRadio.Arrived(line_->NowNs());
}

int cmcMemoryLink::RadioWrite(const std::uint8_t* data, int count)
{
    Line& line = *line_;
    if (count <= 0 || line.dropped || line.holder == nullptr)
        return 0;
    const std::uint64_t now = line.NowNs();
    if (!line.Connected(now))
        return 0;
    line.toProgram.Send(data, count, now, line.Baud());
    return count;
}

int cmcMemoryLink::RadioWrite(const std::vector<std::uint8_t>& bytes)
{
    return RadioWrite(bytes.data(), static_cast<int>(bytes.size()));
}

int cmcMemoryLink::RadioPending() const
{
    const Direction& d = line_->toProgram;
    return static_cast<int>(d.bytes.size()) - d.Arrived(line_->NowNs());
}

void cmcMemoryLink::Drop()
{
    Line& line = *line_;
    line.dropped = true;
    line.toRadio.Clear();
    line.toProgram.Clear();
    line.Tell(LineEvent::Dropped);
}

bool cmcMemoryLink::IsLineUp() const
{
    return !line_->dropped && line_->Connected(line_->NowNs());
}

cmcMemoryLink::Kind cmcMemoryLink::LineKind() const
{
    return line_->kind;
}

const cmcSerialSettings& cmcMemoryLink::LineSettings() const
{
    return line_->settings;
}

const std::string& cmcMemoryLink::LineSettingsText() const
{
    return line_->settingsText;
}

int cmcMemoryLink::LinePort() const
{
    return line_->port;
}

const std::string& cmcMemoryLink::LineAddress() const
{
    return line_->address;
}

const std::vector<std::string>& cmcMemoryLink::SerialOpenHistory() const
{
    return line_->serialHistory;
}

int cmcMemoryLink::Opens() const
{
    return line_->opens;
}

void cmcMemoryLink::SetLineListener(std::function<void(LineEvent)> listener)
{
    line_->listener = std::move(listener);
}
