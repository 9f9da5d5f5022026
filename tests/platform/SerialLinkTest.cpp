#include "base/cmcMemorySettingsStore.h"
#include "platform/cmcComm.h"
#include "platform/cmcPortDiagnosis.h"
#include "platform/cmcPortDiscovery.h"
#include "platform/cmcPortMap.h"
#include "platform/cmcQtTimers.h"
#include "support/ShippedTexts.h"

#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {
bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A pseudo-terminal: the test plays the radio on the master side, the link opens the slave.
class Pty {
public:
    Pty()
    {
        char name[128] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            slaveName_ = name;
            ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty()
    {
        if (master_ >= 0)
            ::close(master_);
        if (slave_ >= 0)
            ::close(slave_);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    [[nodiscard]] bool Ok() const { return !slaveName_.empty(); }
    [[nodiscard]] const std::string& SlaveName() const { return slaveName_; }
    // The test's own slave descriptor is closed once the link has the device.
    void CloseOwnSlave()
    {
        ::close(slave_);
        slave_ = -1;
    }
    std::vector<std::uint8_t> ReadMaster()
    {
        std::vector<std::uint8_t> bytes(4096);
        const ssize_t n = ::read(master_, bytes.data(), bytes.size());
        bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return bytes;
    }
    bool WriteMaster(const std::vector<std::uint8_t>& bytes)
    {
        return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slaveName_;
};

class SerialLinkTest : public testing::Test {
protected:
    ShippedTexts texts;
    cmcMemorySettingsStore store;
};
} // namespace

TEST_F(SerialLinkTest, OpenFailuresSayWhy)
{
    cmcQtTimers timers;
    cmcComm comm(&store);
    EXPECT_FALSE(comm.Open(9, "9600,n,8,1"));
    EXPECT_TRUE(Contains(comm.OpenFailureReason(), "no serial port 9")) << comm.OpenFailureReason();
    EXPECT_FALSE(comm.IsOpen());

    store.WriteText(cmcSettingsRoot::LocalMachine, cmcPortMap::KeyPath, "COM4", "/dev/ttyUSB-unplugged");
    EXPECT_FALSE(comm.Open(4, "9600,n,8,1"));
    EXPECT_TRUE(Contains(comm.OpenFailureReason(), "not present")) << comm.OpenFailureReason();

    Pty pty;
    ASSERT_TRUE(pty.Ok());
    for (const char* settings : {"9600,n,8", "0,n,8,1", "9600,n,4,1"}) {
        EXPECT_FALSE(comm.OpenDevice(pty.SlaveName(), settings)) << settings;
        EXPECT_TRUE(Contains(comm.OpenFailureReason(), settings)) << comm.OpenFailureReason();
    }
    // Nothing is done on a closed link.
    const std::uint8_t byte = 0x41;
    EXPECT_EQ(comm.Write(&byte, 1), 0);
    std::uint8_t buffer[4];
    EXPECT_EQ(comm.Read(buffer, 4), 0);
    EXPECT_EQ(comm.InputCount(), 0);
    EXPECT_EQ(comm.OutputPending(), 0);
}

TEST(PortDiagnosisTest, AccessAdviceNamesTheGroupToJoin)
{
    ShippedTexts texts;
    cmcPortAccess access;
    access.exists = true;
    access.group = "dialout";
    access.groupMayUse = true;
    access.user = "dealer";
    const std::string join = DescribeAccessProblem(access, "5 (/dev/ttyUSB0)");
    EXPECT_TRUE(Contains(join, "\"dialout\"")) << join;
    EXPECT_TRUE(Contains(join, "usermod -aG dialout dealer")) << join;

    access.memberListed = true; // joined, but this session began before
    const std::string relogin = DescribeAccessProblem(access, "5 (/dev/ttyUSB0)");
    EXPECT_TRUE(Contains(relogin, "log out and log in again")) << relogin;
    EXPECT_FALSE(Contains(relogin, "usermod")) << relogin;

    access.group = "root"; // no group to join: only the administrator can help
    access.memberListed = false;
    const std::string admin = DescribeAccessProblem(access, "5 (/dev/ttyUSB0)");
    EXPECT_TRUE(Contains(admin, "administrator")) << admin;
}

// The one test on a real device: a pseudo-terminal opened through a typed device path.
TEST_F(SerialLinkTest, PseudoTerminalCarriesBytesBothWays)
{
    cmcQtTimers timers;
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    const int number = cmcPortDiscovery(store).AssignDevicePath(pty.SlaveName());
    ASSERT_GE(number, 1);

    cmcComm comm(&store);
    ASSERT_TRUE(comm.Open(number, "9600,n,8,1")) << comm.OpenFailureReason();
    pty.CloseOwnSlave();
    EXPECT_TRUE(comm.IsConnected());
    EXPECT_FALSE(comm.Open(number, "38400,n,8,1")); // already open: stays as it is
    EXPECT_TRUE(comm.IsOpen());

    // Another link cannot take the port while this one has it, and says who has it.
    cmcComm other(&store);
    EXPECT_FALSE(other.Open(number, "9600,n,8,1"));
    EXPECT_TRUE(Contains(other.OpenFailureReason(), "in use")) << other.OpenFailureReason();
    EXPECT_TRUE(Contains(other.OpenFailureReason(), std::to_string(::getpid()))) << other.OpenFailureReason();

    // Program to radio: 3000 bytes, every value, in order, through the pump's pieces.
    std::vector<std::uint8_t> sent(3000);
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
    ASSERT_EQ(comm.Write(sent.data(), static_cast<int>(sent.size())), 3000);
    std::vector<std::uint8_t> received;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const auto bytes = pty.ReadMaster();
            received.insert(received.end(), bytes.begin(), bytes.end());
            return received.size() >= sent.size();
        },
        10000));
    EXPECT_EQ(received, sent);
    EXPECT_TRUE(QTest::qWaitFor([&] { return comm.OutputPending() == 0; }, 5000));
    EXPECT_FALSE(comm.WriteError());

    // Radio to program: reads take what has arrived and never more than asked.
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(comm.Read(buffer, 16), 0);
    ASSERT_TRUE(pty.WriteMaster({0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x88, 0x26, 0x00, 0x00, 0xFD}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return comm.InputCount() >= 10; }, 5000));
    EXPECT_EQ(comm.Read(buffer, 4), 4);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 4),
              (std::vector<std::uint8_t>{0xFE, 0xFE, 0xEF, 0xEE}));
    EXPECT_EQ(comm.InputCount(), 6);
    EXPECT_EQ(comm.Read(buffer, 16), 6);
    EXPECT_EQ(buffer[5], 0xFD);

    comm.Close();
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_TRUE(other.Open(number, "38400,n,8,1")) << other.OpenFailureReason(); // free again
}
