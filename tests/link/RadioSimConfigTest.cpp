#include "radiosim/RadioSimConfig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {
std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}
} // namespace

TEST(RadioSimConfigTest, CommandLineSetsTheRadio)
{
    const RadioSimOptions o = ParseRadioSimOptions(Words(
        "--pty --image a.icf --save b.icf --log c.log --revision 0 --map-rev 0x02 --password Dealer7 "
        "--password-for-read --last-address 800f --baud 38400 --pace --fault stall@5 --fault write-fail"));
    ASSERT_EQ(o.error, "");
    EXPECT_TRUE(o.pty);
    EXPECT_EQ(o.tcpPort, -1);
    EXPECT_EQ(o.imagePath, "a.icf");
    EXPECT_EQ(o.savePath, "b.icf");
    EXPECT_EQ(o.logPath, "c.log");
    EXPECT_EQ(o.config.revision, 0);
    EXPECT_EQ(o.config.mapRevision, 2);
    EXPECT_EQ(o.config.password, "Dealer7");
    EXPECT_TRUE(o.config.passwordForRead);
    EXPECT_EQ(o.config.lastAddress, 0x800F);
    EXPECT_EQ(o.config.baud, 38400);
    EXPECT_TRUE(o.config.pace);
    EXPECT_EQ(o.config.faults.stallAfter, 5);
    EXPECT_TRUE(o.config.faults.writeFail);

    const RadioSimOptions tcp = ParseRadioSimOptions(Words("--tcp 127.0.0.1:41000"));
    ASSERT_EQ(tcp.error, "");
    EXPECT_EQ(tcp.tcpHost, "127.0.0.1");
    EXPECT_EQ(tcp.tcpPort, 41000);
}

TEST(RadioSimConfigTest, BadCommandLinesAreRefusedWithAReason)
{
    const char* refused[] = {
        "",                        // no port
        "--tcp 127.0.0.1:1 --pty", // two ports
        "--tcp 127.0.0.1",         // no port number
        "--tcp 127.0.0.1:65536",
        "--tcp :41000",
        "--pty --revision 0xFD", // would end the information frame
        "--pty --map-rev 256",
        "--pty --password 12345678901234567", // 17 characters
        "--pty --password-for-read",          // without a password
        "--pty --last-address FF80",          // beyond the radio memory
        "--pty --last-address 12G4",
        "--pty --fault melt",
        "--pty --fault refuse@2",       // takes no count
        "--pty --fault bad-checksum@0", // records count from 1
        "--pty --fault stall@x",
        "--pty --image", // missing value
        "--pty --verbose",
    };
    for (const char* line : refused)
        EXPECT_NE(ParseRadioSimOptions(Words(line)).error, "") << line;
}

TEST(RadioSimConfigTest, FaultNamesAndCounts)
{
    RadioSimFaults f;
    for (const char* name :
         {"silent", "refuse", "bad-checksum", "bad-count", "stall@7", "drop@0", "write-fail", "busy@3"})
        ASSERT_TRUE(ParseRadioSimFault(name, f)) << name;
    EXPECT_TRUE(f.silent);
    EXPECT_TRUE(f.refuse);
    EXPECT_EQ(f.badChecksumRecord, 1);
    EXPECT_TRUE(f.badCount);
    EXPECT_EQ(f.stallAfter, 7);
    EXPECT_EQ(f.dropAfter, 0);
    EXPECT_TRUE(f.writeFail);
    EXPECT_EQ(f.busyWrites, 3);
}

TEST(RadioSimConfigTest, InformationRecord)
{
    RadioSimConfig c;
    c.revision = 0x21;
    c.mapRevision = 1;
    c.lastAddress = 0x800F;
    const auto r = RadioSimInfoRecord(c);
    EXPECT_EQ(r[0], RadioSimInfoSize); // begins with its own count
    EXPECT_EQ(r[34], 0x21);
    EXPECT_EQ(r[35], 1);
    EXPECT_EQ(std::string(r.begin() + 56, r.begin() + 60), "800F");
    EXPECT_EQ(std::string(r.begin() + 127, r.begin() + 137), "0136001740");
    // No byte of it may end or restart the frame it travels in.
    EXPECT_EQ(std::count_if(r.begin(), r.end(), [](std::uint8_t b) { return b >= 0xFD; }), 0);
}
