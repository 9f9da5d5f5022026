// torvane-radiosim as a process: it announces its port on the first line, answers over a
// real TCP connection and a real pseudo-terminal, and saves its memory after a write.
// These talk to the process with plain frames and wait on real time, bounded by poll().
#include "support/ChildProgram.h"
#include "support/ShippedTexts.h"

#include "image/cmcBuff.h"
#include "link/cmcCloneFrames.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;
constexpr int waitMs = 10000;

// The simulator started with arguments; its first line of output, then stopped at the end.
class SimProcess : public ChildProgram {
public:
    explicit SimProcess(const std::vector<std::string>& arguments) : ChildProgram("torvane-radiosim", arguments) {}
};

// Reads until a frame ending in FD (or a single answer byte when single) arrived.
Bytes ReadAnswer(int fd, bool single = false)
{
    Bytes got;
    pollfd p{fd, POLLIN, 0};
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (std::chrono::steady_clock::now() < until && ::poll(&p, 1, waitMs) > 0) {
        std::uint8_t buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.insert(got.end(), buffer, buffer + n);
        if ((single && !got.empty()) || (!got.empty() && got.back() == cmcFrameEnd))
            break;
    }
    return got;
}

void Send(int fd, const Bytes& bytes)
{
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

Bytes DataFrame(int address, const Bytes& data)
{
    cmcBuff frame;
    cmcAppendHexTemplate(frame, "FEFE EE EF E4");
    cmcAppendRecordText(frame, address, data.data(), static_cast<int>(data.size()));
    frame.AppendByte(cmcFrameEnd);
    return {frame.Data(), frame.Data() + frame.Size()};
}

// Waits (bounded) until the frame log holds text.
bool WaitForLog(const std::filesystem::path& log, const std::string& text)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (std::chrono::steady_clock::now() < until) {
        std::ifstream in(log);
        const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (all.find(text) != std::string::npos)
            return true;
        ::poll(nullptr, 0, 10);
    }
    return false;
}

const Bytes infoRequest = cmcHexTemplateBytes("FEFE EE EF E0 8826 0000 FD");
} // namespace

TEST(RadioSimProcessTest, AnswersOverTcpAndSavesAfterAWrite)
{
    const std::filesystem::path save =
        std::filesystem::temp_directory_path() / "torvane-radiosim-test-save.icf";
    std::filesystem::remove(save);
    SimProcess sim({"--tcp", "127.0.0.1:0", "--save", save.string()});
    ASSERT_EQ(sim.FirstLine().rfind("listening 127.0.0.1:", 0), 0u) << sim.FirstLine();
    const int port = std::stoi(sim.FirstLine().substr(sim.FirstLine().rfind(':') + 1));

    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    Send(fd, infoRequest);
    const Bytes info = ReadAnswer(fd);
    ASSERT_GT(info.size(), 10u);
    EXPECT_EQ(Bytes(info.begin(), info.begin() + 9), cmcHexTemplateBytes("FEFE EF EE E1 8826 0000"));

    // A write of one 128-byte block: ready, the block acknowledged, stored.
    Send(fd, cmcHexTemplateBytes("FEFE EE EF E3 8826 0000 FD"));
    EXPECT_EQ(ReadAnswer(fd, true), Bytes{cmcAck});
    for (int i = 0; i < 8; ++i)
        Send(fd, DataFrame(0x0300 + 16 * i, Bytes(16, static_cast<std::uint8_t>(0xA0 + i))));
    EXPECT_EQ(ReadAnswer(fd, true), Bytes{cmcAck});
    cmcBuff end;
    cmcAppendHexTemplate(end, "FEFE EE EF E5");
    cmcAppendEndText(end, 8, true);
    end.AppendByte(cmcFrameEnd);
    Send(fd, Bytes(end.Data(), end.Data() + end.Size()));
    EXPECT_EQ(ReadAnswer(fd), cmcHexTemplateBytes("FEFE EF EE E6 00 FD"));
    ::close(fd);

    std::ifstream file(save);
    ASSERT_TRUE(file.good());
    std::string line;
    bool found = false;
    while (std::getline(file, line))
        found = found || line.rfind("030010A0A0A0A0A0A0A0A0A0A0A0A0A0A0A0A0", 0) == 0;
    EXPECT_TRUE(found);
    std::filesystem::remove(save);
}

TEST(RadioSimProcessTest, AnswersOverAPseudoTerminalAtItsLineSpeed)
{
    const std::filesystem::path log =
        std::filesystem::temp_directory_path() / "torvane-radiosim-test-pty.log";
    SimProcess sim({"--pty", "--log", log.string()});
    ASSERT_EQ(sim.FirstLine().rfind("pty /dev/", 0), 0u) << sim.FirstLine();
    const std::string path = sim.FirstLine().substr(4);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    cfmakeraw(&t);
    const auto setSpeed = [&](speed_t speed) {
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        ASSERT_EQ(::tcsetattr(fd, TCSANOW, &t), 0);
    };

    setSpeed(B9600);
    Send(fd, infoRequest);
    const Bytes info = ReadAnswer(fd);
    ASSERT_GT(info.size(), 10u);
    EXPECT_EQ(info[4], cmcCmdInfoAnswer);

    // At 9600 baud the speed command moves the radio to 38400; the program follows once
    // the radio has taken it (the log shows it), as the clone script's pause allows.
    Send(fd, cmcHexTemplateBytes("FEFEFEFE EEEF E8 88260000 01 3039 FD"));
    ASSERT_TRUE(WaitForLog(log, "E8 88 26 00 00 01 30 39 FD"));
    setSpeed(B38400);
    Send(fd, infoRequest);
    EXPECT_EQ(ReadAnswer(fd).size(), info.size());
    ::close(fd);
    std::filesystem::remove(log);
}
