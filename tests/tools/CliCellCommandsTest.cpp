// torvane-cli get, set and settings run as a program on files made with the tool itself.
#include "base/cmcText.h"
#include "cells/clLogic.h"
#include "cells/cmcFCache.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "cells/datSettingsMap.h"
#include "cells/indDocument.h"
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

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class CliCellTest : public testing::Test {
protected:
    CliCellTest() : folder(fs::temp_directory_path() / ("torvane-cli-cells-" + std::to_string(::getpid())))
    {
        fs::create_directories(folder);
    }
    ~CliCellTest() override { fs::remove_all(folder); }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    // Runs the tool; arguments are quoted for the shell by the caller.
    CliRun cli(const std::string& arguments) const
    {
        const std::string errors = path("stderr.txt");
        const std::string command =
            ShippedTexts::ProgramFolder() + "torvane-cli " + arguments + " 2>'" + errors + "'";
        CliRun run;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe)
            return run;
        std::array<char, 4096> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe))
            run.out += buffer.data();
        const int status = ::pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = readAll(errors);
        return run;
    }

    std::string newFile(const std::string& name) const
    {
        const std::string file = path(name);
        EXPECT_EQ(cli("new '" + file + "'").exitCode, 0);
        return file;
    }

    // The working image of a saved file, opened as the program opens it.
    struct Opened {
        ShippedTexts texts;
        indDocument document;
    };
    std::unique_ptr<Opened> open(const std::string& file) const
    {
        auto opened = std::make_unique<Opened>();
        EXPECT_EQ(opened->document.LoadInitialFile(ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf"),
                  cmcIcfResult::Ok);
        EXPECT_EQ(opened->document.Open(file), cmcIcfResult::Ok) << file;
        return opened;
    }

    fs::path folder;
};

TEST_F(CliCellTest, CellsAreNamedAsInTheOverlaysAndBadNamesAreUsageErrors)
{
    const std::string file = newFile("a.icf");
    const CliRun got = cli("get '" + file + "' CT_Mch.CL_Mch_Text[0] CL_EeDebugWin_Adr");
    ASSERT_EQ(got.exitCode, 0) << got.err;
    EXPECT_EQ(linesOf(got.out),
              (std::vector<std::string>{"", Format("%d *Yet*", clIndex(clLogic::CL_EeDebugWin_Adr))}));

    for (const char* bad : {"CL_NoSuchCell", "CT_Nope.CL_Mch_Text[0]", "CT_Mch.CL_Mch_Text[32]",
                            "CT_Mch.CL_Mch_Text[x]", "CT_Mch.CL_Mch_Text[1]x", "CL_SetM_BeepOn[3]"}) {
        const CliRun run = cli("get '" + file + "' '" + std::string(bad) + "'");
        EXPECT_EQ(run.exitCode, 64) << bad;
        EXPECT_FALSE(run.err.empty()) << bad;
    }
    EXPECT_EQ(cli("set '" + file + "' CL_SetM_BeepOn").exitCode, 64);
    EXPECT_EQ(cli("get '" + path("missing.icf") + "' CL_SetM_BeepOn").exitCode, 1);
}

TEST_F(CliCellTest, SetChoosesListItemsByLabelOrValueAndSavesOnlyWhenAllAreTaken)
{
    const std::string file = newFile("a.icf");
    const std::string before = readAll(file);
    const std::string on = linesOf(cli("get '" + file + "' CL_SetM_BeepOn").out).at(0);

    // One refused assignment: nothing is saved.
    const CliRun refused = cli("set '" + file + "' CL_SetM_BeepOn=#0 'CL_SetM_BeepOn=No such item'");
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_NE(refused.err.find("No such item"), std::string::npos) << refused.err;
    EXPECT_EQ(readAll(file), before);

    const CliRun byValue = cli("set '" + file + "' CL_SetM_BeepOn=#0 -o '" + path("off.icf") + "'");
    ASSERT_EQ(byValue.exitCode, 0) << byValue.err;
    EXPECT_EQ(readAll(file), before) << "-o leaves the file alone";
    {
        const auto opened = open(path("off.icf"));
        EXPECT_EQ(opened->document.Working().GetByte(0x107AE) & 0x80, 0);
    }
    const std::string off = linesOf(byValue.out).at(0);
    EXPECT_NE(off, on);

    const CliRun byLabel = cli("set '" + path("off.icf") + "' 'CL_SetM_BeepOn=" + on + "'");
    ASSERT_EQ(byLabel.exitCode, 0) << byLabel.err;
    EXPECT_EQ(linesOf(byLabel.out), std::vector<std::string>{on});
    const auto opened = open(path("off.icf"));
    EXPECT_EQ(opened->document.Working().GetByte(0x107AE) & 0x80, 0x80);
}

TEST_F(CliCellTest, AFrequencyOnTheFirstBlankRowAddsTheChannel)
{
    const std::string file = newFile("a.icf");
    const CliRun set = cli("set '" + file + "' CT_Mch.CL_Mch_FreqR[0]=146.52 CT_Mch.CL_Mch_Text[0]=NORTH");
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(linesOf(set.out), (std::vector<std::string>{"146.520000", "NORTH"}));
    const auto opened = open(file);
    const cmcEeprom& image = opened->document.Working();
    EXPECT_EQ(datChannelCount(image, 0), 1);
    datCh channel(image);
    channel.decode(datKindChannel, 0);
    EXPECT_EQ(channel.Get(datField::ChRxFreq), 146'520'000u);
    EXPECT_EQ(channel.Get(datField::ChTxFreq), 146'520'000u);

    // Off the channel raster: refused with the program's message, nothing saved.
    const std::string saved = readAll(file);
    const CliRun refused = cli("set '" + file + "' CT_Mch.CL_Mch_FreqR[0]=146.5201");
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_NE(refused.err.find("CL_Mch_FreqR"), std::string::npos) << refused.err;
    EXPECT_EQ(readAll(file), saved);
}

TEST_F(CliCellTest, SettingsOfOneFileAppliedToAnotherMakeThemAgree)
{
    const std::string original = newFile("original.icf");
    const std::string copy = newFile("copy.icf");
    // Change settings of the copy: every list setting to its last item, every number to
    // its highest value, and a few of other codecs through the tool (a timer, a text, a
    // flag string in its display form, a fixed-point value).
    {
        const auto opened = open(copy);
        cmcEeprom& image = opened->document.Working();
        for (const datSettingDef& row : datSettingsMap()) {
            for (int n = 0; n < datSettingElements(row); ++n) {
                if (row.IsList()) {
                    const int flex =
                        clIndex(row.codec == datSetCodec::MarkedChoice ? clLogic::FlexMark : clLogic::Flex0);
                    const cmcFCacheRecord& items = SelectionLabels().Build(row.list, flex);
                    if (!items.byValue.empty())
                        datWriteSetting(image, row, n, items.byValue.back().value);
                } else if (row.codec == datSetCodec::Number) {
                    datWriteSetting(image, row, n, datSettingRange(image, row).hi);
                }
            }
        }
        ASSERT_EQ(opened->document.Save(copy), cmcIcfResult::Ok);
    }
    const CliRun changed =
        cli("set '" + copy +
            "' CL_Comm_Tot_Timer=45 CL_KDisp_OpeningText=HELLO CL_10TRx_CompareDigit=1_3_5_____ "
            "CL_Comm_Tot_Reset=7");
    ASSERT_EQ(changed.exitCode, 0) << changed.err;
    EXPECT_EQ(linesOf(changed.out), (std::vector<std::string>{" 45", "HELLO", "1_3_5_____", "  7.000"}));

    const CliRun exported = cli("settings '" + original + "'");
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    const std::vector<std::string> lines = linesOf(exported.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].find('\t') != std::string::npos, true);
    std::ofstream(path("list.txt")) << exported.out;
    EXPECT_NE(cli("settings '" + copy + "'").out, exported.out);

    const CliRun applied = cli("settings '" + copy + "' --apply '" + path("list.txt") + "'");
    ASSERT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_EQ(applied.out, exported.out);
    EXPECT_EQ(cli("settings '" + copy + "'").out, exported.out);

    // The bytes every setting occupies agree too; but a setting whose stored 0 reads as
    // another value shows one text for two stored values, and the text alone cannot tell
    // which of them the original holds.
    const auto a = open(original);
    const auto b = open(copy);
    for (const datSettingDef& row : datSettingsMap()) {
        for (int n = 0; n < datSettingElements(row); ++n) {
            if (row.zeroReadsAs != 0 && datReadSetting(a->document.Working(), row, n) == row.zeroReadsAs)
                continue;
            for (const datSetByte& byte : datSettingBytes(row, n)) {
                EXPECT_EQ(a->document.Working().GetByte(byte.address) & byte.mask,
                          b->document.Working().GetByte(byte.address) & byte.mask)
                    << clLogicName(clIndex(row.logic)) << "[" << n << "] at " << byte.address;
            }
        }
    }

    std::ofstream(path("bad.txt")) << "CL_SetM_BeepOn without a tab\n";
    EXPECT_EQ(cli("settings '" + copy + "' --apply '" + path("bad.txt") + "'").exitCode, 64);
}

} // namespace

TEST_F(CliCellTest, AppliedSettingsMayDependOnSettingsListedAfterThem)
{
    const std::string file = newFile("limits.icf");
    ASSERT_EQ(cli("set '" + file + "' CL_Digi_Grp_Set_BlockDecode_Max=400 CL_Digi_Grp_Set_BlockDecode_Min=300")
                  .exitCode,
              0);
    // The new upper limit lies below the old lower one: it is taken once the lower one moved.
    std::ofstream(path("limits.txt")) << "CL_Digi_Grp_Set_BlockDecode_Max\t200\n"
                                         "CL_Digi_Grp_Set_BlockDecode_Min\t100\n";
    const CliRun applied = cli("settings '" + file + "' --apply '" + path("limits.txt") + "'");
    EXPECT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_EQ(linesOf(cli("get '" + file + "' CL_Digi_Grp_Set_BlockDecode_Max CL_Digi_Grp_Set_BlockDecode_Min").out),
              (std::vector<std::string>{"200", "100"}));
    // A line that no order can take is still refused, and nothing is saved.
    std::ofstream(path("bad.txt")) << "CL_Digi_Grp_Set_BlockDecode_Max\t50\n"
                                      "CL_Digi_Grp_Set_BlockDecode_Min\t60\n";
    EXPECT_EQ(cli("settings '" + file + "' --apply '" + path("bad.txt") + "'").exitCode, 3);
    EXPECT_EQ(linesOf(cli("get '" + file + "' CL_Digi_Grp_Set_BlockDecode_Max").out).at(0), "200");
}
