// torvane-cli run as a program: exit codes, output, and the file commands end to end.
#include "cells/datCounts.h"
#include "cells/indDocument.h"
#include "image/cmcBigEndian.h"
#include "support/ChildProgram.h"
#include "support/ShippedTexts.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {
namespace fs = std::filesystem;

ToolRun cli(const std::string& arguments) { return RunTool("torvane-cli", arguments); }

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CliTest : public testing::Test {
protected:
    CliTest() : folder(fs::temp_directory_path() / ("torvane-cli-" + std::to_string(::getpid())))
    {
        fs::create_directories(folder);
    }
    ~CliTest() override { fs::remove_all(folder); }
    std::string path(const std::string& name) const { return (folder / name).string(); }
    fs::path folder;
};
} // namespace

TEST_F(CliTest, NewFileChecksAndRoundTripsByteIdentical)
{
    ASSERT_EQ(cli("new " + path("new.icf")).exitCode, 0);
    const ToolRun check = cli("check " + path("new.icf"));
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_EQ(check.out, "OK\n");
    ASSERT_EQ(cli("roundtrip " + path("new.icf") + " " + path("again.icf")).exitCode, 0);
    EXPECT_EQ(readAll(path("again.icf")), readAll(path("new.icf")));
}

TEST_F(CliTest, InfoAgreesWithTheImage)
{
    // A file with two channels and three talk groups, made through the document core.
    ShippedTexts texts;
    indDocument document;
    ASSERT_EQ(document.LoadInitialFile(ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf"), cmcIcfResult::Ok);
    datSetChannelCount(document.Working(), 0, 2);
    datSetTalkGroupCount(document.Working(), 3);
    const char comment[] = "SITE NORTH      ";
    document.Working().WriteBlock(0x10C0C, reinterpret_cast<const std::uint8_t*>(comment), 16);
    ASSERT_EQ(document.Save(path("two.icf")), cmcIcfResult::Ok);

    const ToolRun info = cli("info " + path("two.icf"));
    ASSERT_EQ(info.exitCode, 0);
    EXPECT_NE(info.out.find("model words: 8826 0000\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("comment: SITE NORTH\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("map revision: 1\n"), std::string::npos);
    EXPECT_NE(info.out.find("channels in bank 0: 2\n"), std::string::npos);
    EXPECT_NE(info.out.find("individual IDs: 1\n"), std::string::npos);
    EXPECT_NE(info.out.find("talk groups: 3\n"), std::string::npos);
    EXPECT_NE(info.out.find("repeaters: 0\n"), std::string::npos);
    const int usedEnd = GetBE16(document.Working().Bytes() + 0x2B2);
    char expected[64];
    std::snprintf(expected, sizeof expected, "free bytes in the dynamic area: %d\n", 0xFF80 - usedEnd);
    EXPECT_NE(info.out.find(expected), std::string::npos) << info.out;
}

TEST_F(CliTest, FailuresGiveTheCloneFileCodeAndUsageErrors64)
{
    EXPECT_EQ(cli("check " + path("missing.icf")).exitCode, 1);
    std::ofstream(path("bad.icf")) << "88270000\r\n";
    EXPECT_EQ(cli("check " + path("bad.icf")).exitCode, 3);
    std::ofstream(path("garbage.icf")) << "hello\r\n";
    EXPECT_EQ(cli("check " + path("garbage.icf")).exitCode, 6);
    EXPECT_EQ(cli("").exitCode, 64);
    EXPECT_EQ(cli("check").exitCode, 64);
    EXPECT_EQ(cli("frobnicate x").exitCode, 64);
}
