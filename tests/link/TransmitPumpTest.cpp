#include "base/cmcManualTimers.h"
#include "link/cmcTransmitPump.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {
// A device whose queue empties drainMs after each piece (0: at once), recording when it
// got which piece.
class FakeDevice final : public cmcTransmitPump::Device {
public:
    explicit FakeDevice(cmcManualTimers& timers) : timers_(timers) {}

    struct Piece {
        std::uint32_t atMs;
        int size;
        int queuedBefore;
    };

    [[nodiscard]] int QueuedBytes() const override
    {
        if (holdQueue)
            return queued_;
        return timers_.NowMs() >= emptyAtMs_ ? 0 : queued_;
    }
    int Send(const std::uint8_t* data, int count) override
    {
        pieces.push_back({timers_.NowMs(), count, QueuedBytes()});
        if (failAll)
            return -1;
        const int taken = takeAtMost >= 0 ? std::min(count, takeAtMost) : count;
        wire.insert(wire.end(), data, data + taken);
        queued_ = QueuedBytes() + taken;
        emptyAtMs_ = timers_.NowMs() + static_cast<std::uint32_t>(drainMs);
        return taken;
    }

    int drainMs = 0;
    int takeAtMost = -1;
    bool failAll = false;
    bool holdQueue = false; // the queue never empties
    std::vector<Piece> pieces;
    std::vector<std::uint8_t> wire;

private:
    cmcManualTimers& timers_;
    int queued_ = 0;
    std::uint32_t emptyAtMs_ = 0;
};

std::vector<std::uint8_t> Counting(int n)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
}

const cmcTransmitPump::Rules serialRules{0, true};
const cmcTransmitPump::Rules tcpRules{32000, false};
} // namespace

TEST(TransmitPumpTest, SerialPiecesWaitForTheDeviceQueueToEmpty)
{
    cmcManualTimers timers;
    FakeDevice device(timers);
    device.drainMs = 25; // a piece takes 25 ms on the wire
    cmcTransmitPump pump(device, serialRules);
    const auto bytes = Counting(3000);

    EXPECT_EQ(pump.Queue(bytes.data(), 3000), 3000);
    ASSERT_EQ(device.pieces.size(), 1u); // the first piece goes at once
    EXPECT_EQ(device.pieces[0].size, 1024);
    EXPECT_EQ(pump.Pending(), 3000);
    timers.Advance(200);

    ASSERT_EQ(device.pieces.size(), 3u);
    EXPECT_EQ(device.pieces[1].size, 1024);
    EXPECT_EQ(device.pieces[2].size, 952);
    for (std::size_t i = 1; i < device.pieces.size(); ++i) {
        EXPECT_EQ(device.pieces[i].queuedBefore, 0) << "piece " << i;
        // The first 10 ms tick after the queue emptied at previous + 25 ms.
        EXPECT_EQ(device.pieces[i].atMs, device.pieces[i - 1].atMs + 30) << "piece " << i;
    }
    EXPECT_EQ(device.wire, bytes);
    EXPECT_EQ(pump.Pending(), 0);
    EXPECT_FALSE(pump.IsRunning());
    EXPECT_FALSE(pump.WriteError());
}

TEST(TransmitPumpTest, SocketPiecesGoTenMillisecondsApartWhenEachSendTakesAll)
{
    cmcManualTimers timers;
    FakeDevice device(timers);
    cmcTransmitPump pump(device, tcpRules);
    const auto bytes = Counting(3000);
    EXPECT_EQ(pump.Queue(bytes.data(), 3000), 3000);
    timers.Advance(100);
    ASSERT_EQ(device.pieces.size(), 3u);
    EXPECT_EQ(device.pieces[0].atMs, 0u);
    EXPECT_EQ(device.pieces[1].atMs, 10u);
    EXPECT_EQ(device.pieces[2].atMs, 20u);
    EXPECT_EQ(device.pieces[2].size, 952);
    EXPECT_EQ(device.wire, bytes);
    EXPECT_FALSE(pump.IsRunning());
}

TEST(TransmitPumpTest, SocketLimitCountsEveryByteStillWaiting)
{
    cmcManualTimers timers;
    const auto bytes = Counting(32000);
    const auto hundred = Counting(100);
    for (const auto& [queued, accepted] : {std::pair{31950, false}, std::pair{31899, true}}) {
        SCOPED_TRACE(queued);
        FakeDevice device(timers);
        device.holdQueue = true; // the peer takes nothing: 1024 bytes sit in the device queue
        cmcTransmitPump pump(device, tcpRules);
        ASSERT_EQ(pump.Queue(bytes.data(), queued), queued);
        ASSERT_EQ(pump.Pending(), queued);
        EXPECT_EQ(pump.Queue(hundred.data(), 100), accepted ? 100 : 0);
        EXPECT_EQ(pump.Pending(), queued + (accepted ? 100 : 0));
    }
    FakeDevice device(timers);
    cmcTransmitPump pump(device, tcpRules);
    EXPECT_EQ(pump.Queue(bytes.data(), 32000), 0); // a single write at the limit is refused whole
    EXPECT_EQ(pump.Queue(bytes.data(), 0), 0);
    EXPECT_TRUE(device.pieces.empty());
}

TEST(TransmitPumpTest, PartialSocketSendSendsTheRestLaterAndNothingTwice)
{
    cmcManualTimers timers;
    FakeDevice device(timers);
    device.takeAtMost = 300;
    cmcTransmitPump pump(device, tcpRules);
    const auto bytes = Counting(1500);
    pump.Queue(bytes.data(), 1500);
    timers.Advance(100);
    EXPECT_EQ(device.wire, bytes);
    EXPECT_EQ(pump.Pending(), 0);
    EXPECT_FALSE(pump.WriteError()); // backpressure on a socket is no failure
}

TEST(TransmitPumpTest, FailedSocketSendStopsThePumpAndKeepsTheBytes)
{
    cmcManualTimers timers;
    FakeDevice device(timers);
    device.failAll = true;
    cmcTransmitPump pump(device, tcpRules);
    const auto bytes = Counting(2000);
    pump.Queue(bytes.data(), 2000);
    timers.Advance(100);
    EXPECT_EQ(device.pieces.size(), 1u);
    EXPECT_FALSE(pump.IsRunning());
    EXPECT_EQ(pump.Buffered(), 2000);
    EXPECT_FALSE(pump.WriteError());
    pump.DropBuffered();
    EXPECT_EQ(pump.Pending(), 0);
}

TEST(TransmitPumpTest, ShortSerialWriteIsAWriteErrorUntilReset)
{
    cmcManualTimers timers;
    FakeDevice device(timers);
    device.takeAtMost = 600;
    cmcTransmitPump pump(device, serialRules);
    const auto bytes = Counting(3000);
    pump.Queue(bytes.data(), 3000);
    timers.Advance(100);
    EXPECT_TRUE(pump.WriteError());
    EXPECT_FALSE(pump.IsRunning());
    EXPECT_EQ(device.pieces.size(), 1u);
    EXPECT_EQ(pump.Buffered(), 2400); // only what the device took has left
    pump.Queue(bytes.data(), 10);     // a failed port sends nothing more
    EXPECT_EQ(device.pieces.size(), 1u);

    pump.Reset();
    EXPECT_FALSE(pump.WriteError());
    EXPECT_EQ(pump.Pending(), 0);
    device.takeAtMost = -1;
    pump.Queue(bytes.data(), 10);
    EXPECT_EQ(device.wire.size(), 610u);
}
