#include "platform/cmcQtTimers.h"
#include "platform/cmcTcpClient.h"
#include "support/ShippedTexts.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {
bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
} // namespace

TEST(TcpLinkTest, OnlyDottedAddressesAndRealPortsOpen)
{
    ShippedTexts texts;
    cmcQtTimers timers;
    cmcTcpClient client;
    for (const char* address : {"radio.local", "localhost", "192.168.0", "256.1.1.1"}) {
        EXPECT_FALSE(client.Open(41000, address)) << address;
        EXPECT_FALSE(client.IsOpen());
        EXPECT_TRUE(Contains(client.OpenFailureReason(), address)) << client.OpenFailureReason();
    }
    EXPECT_FALSE(client.Open(0, "127.0.0.1"));
    EXPECT_FALSE(client.Open(65536, "127.0.0.1"));
    const std::uint8_t byte = 0;
    EXPECT_EQ(client.Write(&byte, 1), 0);
    std::uint8_t buffer[4];
    EXPECT_EQ(client.Read(buffer, 4), 0);
}

// The one test over a real connection: a server on the loopback interface plays the
// network adaptor.
TEST(TcpLinkTest, LoopbackConnectionCarriesBytesBothWays)
{
    ShippedTexts texts;
    cmcQtTimers timers;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const int port = server.serverPort();

    cmcTcpClient client;
    ASSERT_TRUE(client.Open(port, "127.0.0.1")) << client.OpenFailureReason();
    EXPECT_TRUE(client.IsOpen());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return client.IsConnected() && server.hasPendingConnections(); }, 5000));
    std::unique_ptr<QTcpSocket> adaptor(server.nextPendingConnection());
    ASSERT_TRUE(adaptor);

    std::uint8_t buffer[16] = {};
    EXPECT_EQ(client.Read(buffer, 16), 0); // nothing waiting: 0 at once

    std::vector<std::uint8_t> big(32000, 0x55);
    EXPECT_EQ(client.Write(big.data(), 32000), 0); // never more than the buffer limit
    std::vector<std::uint8_t> sent(3000);
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<std::uint8_t>(i * 13 + i / 256);
    ASSERT_EQ(client.Write(sent.data(), 3000), 3000);
    QByteArray received;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            received += adaptor->readAll();
            return received.size() >= 3000;
        },
        5000));
    EXPECT_EQ(received, QByteArray(reinterpret_cast<const char*>(sent.data()), 3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return client.OutputPending() == 0; }, 5000));

    const char answer[] = {'\xFE', '\xFE', '\xEF', '\xEE', '\xE6', '\x00', '\xFD', '\xFB', '\xFB', '\xFB'};
    adaptor->write(answer, sizeof answer);
    adaptor->flush();
    int got = 0;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            got += client.Read(buffer + got, 4 - got); // never more than asked
            return got == 4;
        },
        5000));
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 4),
              (std::vector<std::uint8_t>{0xFE, 0xFE, 0xEF, 0xEE}));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            got += client.Read(buffer + got, 16 - got);
            return got == 10;
        },
        5000));

    client.Close();
    EXPECT_FALSE(client.IsOpen());
    EXPECT_FALSE(client.IsConnected());
    EXPECT_TRUE(QTest::qWaitFor([&] { return adaptor->state() == QAbstractSocket::UnconnectedState; }, 5000));

    // Nobody listens any more: the connection is refused, and the link says so.
    adaptor.reset();
    server.close();
    if (client.Open(port, "127.0.0.1")) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !client.OpenFailureReason().empty(); }, 5000));
    }
    EXPECT_FALSE(client.IsConnected());
    EXPECT_TRUE(Contains(client.OpenFailureReason(), "refused")) << client.OpenFailureReason();
}
