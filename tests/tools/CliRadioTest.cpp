// torvane-cli radio against torvane-radiosim, both run as programs: a read over a real TCP
// connection gives the radio's memory, a confirmed write leaves the radio holding the
// prepared image over the written range, an unconfirmed one writes nothing, and the
// information exchange runs over a real pseudo-terminal too. These wait on real time
// (bounded by poll() and by the operations' own time-outs).
#include "support/ChildProgram.h"
#include "support/ShippedTexts.h"

#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "cells/indCloneInfo.h"
#include "cells/indDocument.h"
#include "image/cmcIcfFile.h"
#include "image/cmcImageGeometry.h"
#include "link/indWriteImage.h"
#include "radiosim/RadioSimConfig.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;
constexpr int waitMs = 10000;

ToolRun cli(const std::string& arguments) { return RunTool("torvane-cli", arguments); }

// torvane-radiosim with arguments; its first line ("listening HOST:PORT" or "pty PATH").
class Simulator : public ChildProgram {
public:
    explicit Simulator(const std::vector<std::string>& arguments) : ChildProgram("torvane-radiosim", arguments) {}
};

// A clone file's image as it is stored, without the model's checks.
bool loadRaw(const std::string& path, cmcEeprom& image)
{
    image.SetSize(cmcImageSize);
    cmcIcfFile file;
    file.SetImage(image);
    file.SetModelCheck([](int, int, cmcIcfResult&) { return true; });
    file.SetMapRevCheck([](int) { return true; });
    return file.ReadCloneFile(path, nullptr) == cmcIcfResult::Ok;
}

void setChannel(indDocument& document, int slot, std::uint32_t rx)
{
    datCh channel(document.Working());
    channel.decode(datKindChannel, slot);
    channel.Set(datField::ChRxFreq, rx);
    channel.Set(datField::ChTxFreq, rx + 5'000'000);
    channel.encode(datKindChannel, slot);
    if (datChannelCount(document.Working(), 0) <= slot)
        datSetChannelCount(document.Working(), 0, slot + 1);
}

bool sameBytes(const cmcEeprom& a, const cmcEeprom& b, int first, int last)
{
    for (int i = first; i <= last; ++i)
        if (a.GetByte(i) != b.GetByte(i))
            return false;
    return true;
}

class CliRadioTest : public testing::Test {
protected:
    CliRadioTest() : folder(fs::temp_directory_path() / ("torvane-radio-" + std::to_string(::getpid())))
    {
        fs::create_directories(folder);
    }
    ~CliRadioTest() override { fs::remove_all(folder); }
    [[nodiscard]] std::string path(const std::string& name) const { return (folder / name).string(); }

    // A clone file of the program with channels at the given receive frequencies.
    void makeFile(const std::string& name, std::initializer_list<std::uint32_t> channels)
    {
        indDocument document;
        ASSERT_EQ(document.LoadInitialFile(ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf"),
                  cmcIcfResult::Ok);
        int slot = 0;
        for (const std::uint32_t rx : channels)
            setChannel(document, slot++, rx);
        ASSERT_EQ(document.Save(path(name)), cmcIcfResult::Ok);
    }

    ShippedTexts texts;
    fs::path folder;
};
} // namespace

TEST_F(CliRadioTest, ReadAndWriteOverTcpAgainstTheSimulator)
{
    makeFile("A.icf", {150'000'000, 150'012'500});
    makeFile("C.icf", {160'000'000, 160'012'500, 160'025'000});
    Simulator sim({"--tcp", "127.0.0.1:0", "--image", path("A.icf"), "--save", path("S.icf")});
    ASSERT_EQ(sim.FirstLine().rfind("listening 127.0.0.1:", 0), 0u) << sim.FirstLine();
    const std::string link = " --tcp " + sim.Where();

    // The read gives a file whose radio memory area is the radio's.
    ASSERT_EQ(cli("radio read" + link + " -o " + path("B.icf")).exitCode, 0);
    cmcEeprom a;
    cmcEeprom b;
    ASSERT_TRUE(loadRaw(path("A.icf"), a));
    ASSERT_TRUE(loadRaw(path("B.icf"), b));
    EXPECT_TRUE(sameBytes(a, b, 0, cmcRadioMemoryEnd));

    // Unconfirmed, a write sends nothing.
    EXPECT_EQ(cli("radio write " + path("C.icf") + link).exitCode, 3);
    EXPECT_FALSE(fs::exists(path("S.icf")));

    // Confirmed, the radio then holds C's prepared image over the written range.
    ASSERT_EQ(cli("radio write " + path("C.icf") + link + " --yes").exitCode, 0);
    indDocument document;
    ASSERT_EQ(document.LoadInitialFile(ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf"),
              cmcIcfResult::Ok);
    ASSERT_EQ(document.Open(path("C.icf")), cmcIcfResult::Ok);
    indCloneInfo radio;
    const auto record = RadioSimInfoRecord(RadioSimConfig{});
    std::copy(record.begin(), record.end(), radio.bytes.begin());
    cmcEeprom prepared;
    AddressRangeList ranges;
    ASSERT_TRUE(indPrepareWriteImage(document, radio, false, prepared, ranges));
    cmcEeprom saved;
    ASSERT_TRUE(loadRaw(path("S.icf"), saved));
    const AddressRange written = ranges.Ranges().front();
    EXPECT_TRUE(sameBytes(saved, prepared, written.start, written.end));
    EXPECT_TRUE(sameBytes(saved, a, 0, written.start - 1)) << "below the range the radio keeps its own";
    EXPECT_FALSE(sameBytes(saved, a, written.start, written.end));
}

TEST_F(CliRadioTest, InformationOverAPseudoTerminalAndFailureCodes)
{
    Simulator sim({"--pty"});
    ASSERT_EQ(sim.FirstLine().rfind("pty /dev/", 0), 0u) << sim.FirstLine();
    for (const char* speed : {"", " --low-speed"}) {
        SCOPED_TRACE(speed);
        const ToolRun info = cli("radio info --serial " + sim.Where() + speed);
        EXPECT_EQ(info.exitCode, 0);
        EXPECT_NE(info.out.find("Esn: 001011000012\n"), std::string::npos) << info.out;
        EXPECT_NE(info.out.find("Comment1: TORVANE RADIOSIM\n"), std::string::npos) << info.out;
    }

    Simulator silent({"--tcp", "127.0.0.1:0", "--fault", "silent"});
    EXPECT_EQ(cli("radio info --tcp " + silent.Where()).exitCode, 5);
    Simulator locked({"--tcp", "127.0.0.1:0", "--password", "SECRET", "--password-for-read"});
    EXPECT_EQ(cli("radio read --tcp " + locked.Where() + " -o " + path("L.icf")).exitCode, 3)
        << "no password given";
    EXPECT_EQ(cli("radio read --tcp " + locked.Where() + " --password WRONG -o " + path("L.icf")).exitCode,
              18);
    EXPECT_FALSE(fs::exists(path("L.icf")));
    // Nobody listens: the connection is never made within the time-out.
    EXPECT_EQ(cli("radio read --tcp 127.0.0.1:1 -o " + path("L.icf")).exitCode, 5);
    EXPECT_EQ(cli("radio read --tcp 127.0.0.1:1").exitCode, 64);
    EXPECT_EQ(cli("radio erase --tcp 127.0.0.1:1").exitCode, 64);
}
