#include "base/cmcManualTimers.h"
#include "link/cmcMemoryLink.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes Range(int n)
{
    Bytes b(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return b;
}

int WriteAll(cmcLink& link, const Bytes& b)
{
    return link.Write(b.data(), static_cast<int>(b.size()));
}

Bytes ReadUpTo(cmcLink& link, int capacity)
{
    Bytes b(static_cast<std::size_t>(capacity));
    b.resize(static_cast<std::size_t>(link.Read(b.data(), capacity)));
    return b;
}

class MemoryLinkTest : public testing::Test {
protected:
    cmcManualTimers timers;
    cmcMemoryLink pair;
};
} // namespace

TEST_F(MemoryLinkTest, BytesTravelBothWaysAndReadsNeverWait)
{
    auto serial = pair.Factory().CreateSerial();
    EXPECT_EQ(ReadUpTo(*serial, 4).size(), 0u); // closed
    EXPECT_EQ(WriteAll(*serial, Range(3)), 0);
    ASSERT_TRUE(serial->Open(3, "9600,n,8,1"));
    EXPECT_TRUE(serial->IsConnected());
    EXPECT_EQ(pair.LineKind(), cmcMemoryLink::Kind::Serial);
    EXPECT_EQ(pair.LinePort(), 3);

    EXPECT_EQ(ReadUpTo(*serial, 4).size(), 0u); // nothing waiting: 0 at once
    EXPECT_EQ(WriteAll(*serial, Range(5)), 5);
    EXPECT_EQ(pair.RadioReadAll(), Range(5));
    EXPECT_EQ(pair.RadioWrite(Range(10)), 10);
    EXPECT_EQ(ReadUpTo(*serial, 4), Range(4));
    Bytes rest = ReadUpTo(*serial, 100);
    EXPECT_EQ(rest.size(), 6u);
    EXPECT_EQ(rest.front(), 4);
}

TEST_F(MemoryLinkTest, OpenRulesOfTheRealLinks)
{
    auto serial = pair.CreateSerial();
    auto tcp = pair.CreateTcp();
    EXPECT_FALSE(serial->Open(1, "9600,n,8")); // incomplete settings
    EXPECT_FALSE(tcp->Open(41000, "radio.local"));
    EXPECT_FALSE(tcp->Open(0, "192.168.0.11"));
    ASSERT_TRUE(serial->Open(1, "9600,n,8,1"));
    EXPECT_FALSE(serial->Open(2, "38400,n,8,1")); // already open: fails and stays as it was
    EXPECT_TRUE(serial->IsOpen());
    EXPECT_EQ(pair.LineSettings().baud, 9600);
    EXPECT_FALSE(tcp->Open(41000, "192.168.0.11")); // the line is held
    EXPECT_FALSE(tcp->OpenFailureReason().empty());
    serial->Close();
    serial->Close(); // any state
    EXPECT_TRUE(tcp->Open(41000, "192.168.0.11"));
    EXPECT_EQ(pair.LineAddress(), "192.168.0.11");

    tcp->Close();
    int attempts = 0;
    pair.SetOpenFilter(
        [&](const cmcMemoryLink::OpenRequest& r) {
            attempts = r.attempt + 1;
            return r.text != "38400,n,8,1";
        },
        "port busy");
    EXPECT_TRUE(serial->Open(1, "9600,n,8,1"));
    serial->Close();
    EXPECT_FALSE(serial->Open(1, "38400,n,8,1")); // the reopen of a speed switch fails
    EXPECT_EQ(attempts, 8);                       // refused ones count, an open of an open end does not
    EXPECT_EQ(serial->OpenFailureReason(), "port busy");
    EXPECT_FALSE(serial->IsOpen());
    pair.FailOpens(false);
    EXPECT_TRUE(serial->Open(1, "38400,n,8,1"));
    EXPECT_EQ(serial->OpenFailureReason(), "");
}

TEST_F(MemoryLinkTest, TcpEndConnectsAfterTheConfiguredDelay)
{
    pair.SetConnectDelay(30);
    auto tcp = pair.CreateTcp();
    ASSERT_TRUE(tcp->Open(41000, "127.0.0.1"));
    EXPECT_TRUE(tcp->IsOpen());
    EXPECT_FALSE(tcp->IsConnected());
    EXPECT_EQ(WriteAll(*tcp, Range(8)), 8); // waits for the connection
    EXPECT_EQ(pair.RadioAvailable(), 0);
    EXPECT_EQ(tcp->OutputPending(), 8);
    timers.Advance(29);
    EXPECT_FALSE(tcp->IsConnected());
    timers.Advance(1);
    EXPECT_TRUE(tcp->IsConnected());
    EXPECT_EQ(pair.RadioReadAll(), Range(8));
    EXPECT_EQ(tcp->OutputPending(), 0);

    ASSERT_TRUE(tcp->Open(41001, "127.0.0.1")); // an open TCP end makes a new connection
    EXPECT_EQ(pair.LinePort(), 41001);
    EXPECT_FALSE(tcp->IsConnected());
    EXPECT_EQ(pair.Opens(), 2);

    tcp->Close();
    pair.SetConnectDelay(-1); // a connection that is never made
    ASSERT_TRUE(tcp->Open(41000, "127.0.0.1"));
    timers.Advance(10000);
    EXPECT_FALSE(tcp->IsConnected());
    EXPECT_EQ(pair.RadioWrite(Range(3)), 0);
}

TEST_F(MemoryLinkTest, TcpEndKeepsTheBufferLimit)
{
    pair.SetConnectDelay(-1); // nothing leaves, so everything written stays pending
    auto tcp = pair.CreateTcp();
    ASSERT_TRUE(tcp->Open(41000, "127.0.0.1"));
    Bytes block(31950, 0x41);
    EXPECT_EQ(WriteAll(*tcp, block), 31950);
    EXPECT_EQ(WriteAll(*tcp, Range(100)), 0);
    tcp->DropOutput(); // the transmit buffer goes; the piece handed over stays
    EXPECT_EQ(tcp->OutputPending(), 1024);
    EXPECT_EQ(WriteAll(*tcp, Bytes(30875, 0x42)), 30875); // 1024 + 30875 = 31899
    EXPECT_EQ(WriteAll(*tcp, Range(100)), 100);
    EXPECT_FALSE(tcp->WriteError()); // a network link reports no write errors
}

TEST_F(MemoryLinkTest, PacingDeliversBytesAtTheirWireTime)
{
    pair.SetPacing(true);
    auto serial = pair.CreateSerial();
    ASSERT_TRUE(serial->Open(1, "9600,n,8,1"));
    // 10 bits a byte at 9600 baud: byte k arrives at k x 1.0417 ms.
    WriteAll(*serial, Range(10));
    EXPECT_EQ(serial->OutputPending(), 10);
    timers.Advance(9);
    EXPECT_EQ(pair.RadioAvailable(), 8);
    timers.Advance(1);
    EXPECT_EQ(pair.RadioAvailable(), 9);
    EXPECT_EQ(serial->OutputPending(), 1);
    timers.Advance(1);
    EXPECT_EQ(pair.RadioReadAll(), Range(10));
    EXPECT_EQ(serial->OutputPending(), 0);

    // The other way, and after the speed switch at 38400 baud: 96 bytes take 25 ms.
    pair.RadioWrite(Range(96));
    EXPECT_EQ(pair.RadioPending(), 96);
    timers.Advance(100);
    EXPECT_EQ(ReadUpTo(*serial, 200).size(), 96u);
    serial->Close();
    ASSERT_TRUE(serial->Open(1, "38400,n,8,1"));
    pair.RadioWrite(Range(96));
    timers.Advance(24); // byte k arrives at k x 0.2604 ms
    EXPECT_EQ(ReadUpTo(*serial, 200).size(), 92u);
    timers.Advance(1);
    EXPECT_EQ(ReadUpTo(*serial, 200).size(), 4u);

    // A long write is paced by the pump too: 3000 bytes at 38400 baud are on the wire for
    // 781.25 ms, so the last one arrives at that time and not before.
    const std::uint32_t start = timers.NowMs();
    WriteAll(*serial, Bytes(3000, 0x55));
    int received = 0;
    std::uint32_t lastArrival = 0;
    while (received < 3000 && timers.NowMs() - start < 5000) {
        timers.Advance(1);
        const int n = static_cast<int>(pair.RadioReadAll().size());
        if (n > 0)
            lastArrival = timers.NowMs() - start;
        received += n;
    }
    EXPECT_EQ(received, 3000);
    EXPECT_GE(lastArrival, 782u);
    EXPECT_LE(lastArrival, 782u + 2 * 10); // the pump hands pieces over on 10 ms ticks
}

TEST_F(MemoryLinkTest, RadioSeesEverySpeedSwitch)
{
    std::vector<std::string> seen;
    pair.SetLineListener([&](cmcMemoryLink::LineEvent e) {
        if (e == cmcMemoryLink::LineEvent::Opened)
            seen.push_back(std::to_string(pair.LineSettings().baud));
        else
            seen.push_back(e == cmcMemoryLink::LineEvent::Closed ? "closed" : "dropped");
    });
    auto serial = pair.CreateSerial();
    ASSERT_TRUE(serial->Open(4, "9600,n,8,1"));
    serial->Close();
    ASSERT_TRUE(serial->Open(4, "38400,N,8,1"));
    pair.Drop();
    EXPECT_EQ(seen, (std::vector<std::string>{"9600", "closed", "38400", "dropped"}));
    EXPECT_EQ(pair.SerialOpenHistory(), (std::vector<std::string>{"9600,n,8,1", "38400,N,8,1"}));
    EXPECT_EQ(pair.Opens(), 2);
    EXPECT_EQ(pair.LineSettingsText(), "38400,N,8,1");
}

TEST_F(MemoryLinkTest, DroppedLineLosesEverythingUntilReopened)
{
    pair.SetPacing(true);
    auto tcp = pair.CreateTcp();
    ASSERT_TRUE(tcp->Open(41000, "10.0.0.1"));
    pair.RadioWrite(Range(50)); // in flight
    pair.Drop();
    EXPECT_FALSE(pair.IsLineUp());
    EXPECT_TRUE(tcp->IsOpen()); // the program's end does not notice
    EXPECT_EQ(pair.RadioWrite(Range(5)), 0);
    EXPECT_EQ(WriteAll(*tcp, Range(5)), 5);
    timers.Advance(100);
    EXPECT_EQ(ReadUpTo(*tcp, 100).size(), 0u);
    EXPECT_EQ(pair.RadioAvailable(), 0);
    EXPECT_EQ(tcp->OutputPending(), 0);

    tcp->Close();
    ASSERT_TRUE(tcp->Open(41000, "10.0.0.1"));
    EXPECT_TRUE(pair.IsLineUp());
    pair.RadioWrite(Range(5));
    timers.Advance(10);
    EXPECT_EQ(ReadUpTo(*tcp, 100), Range(5));
}

TEST_F(MemoryLinkTest, ClosingForgetsWhatTheRadioSentAndWhatWasNotHandedOver)
{
    auto serial = pair.CreateSerial();
    ASSERT_TRUE(serial->Open(1, "9600,n,8,1"));
    pair.RadioWrite(Range(7));
    serial->Close();
    EXPECT_EQ(pair.RadioWrite(Range(7)), 0); // nobody listens
    ASSERT_TRUE(serial->Open(1, "9600,n,8,1"));
    EXPECT_EQ(ReadUpTo(*serial, 100).size(), 0u);
}

TEST_F(MemoryLinkTest, SerialEndReportsAShortWrite)
{
    pair.FailWritesAfter(100);
    auto serial = pair.CreateSerial();
    ASSERT_TRUE(serial->Open(1, "9600,n,8,1"));
    EXPECT_EQ(WriteAll(*serial, Range(60)), 60);
    EXPECT_FALSE(serial->WriteError());
    EXPECT_EQ(WriteAll(*serial, Range(60)), 60);
    EXPECT_TRUE(serial->WriteError());
    EXPECT_EQ(pair.RadioReadAll().size(), 100u);
    serial->Close(); // clears the error
    EXPECT_FALSE(serial->WriteError());
}

TEST_F(MemoryLinkTest, EndsOutliveThePairAndMayBeDestroyedOpen)
{
    std::unique_ptr<cmcSerialLink> serial;
    {
        cmcMemoryLink shortLived;
        serial = shortLived.CreateSerial();
        ASSERT_TRUE(serial->Open(1, "9600,n,8,1"));
        WriteAll(*serial, Range(3000)); // pump still running
    }
    timers.Advance(50);
    EXPECT_TRUE(serial->IsOpen());
    serial.reset();
    timers.Advance(50);
    EXPECT_EQ(timers.RunningTimers(), 0);
}
