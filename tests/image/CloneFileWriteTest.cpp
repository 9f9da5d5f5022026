// Writing clone files: the exact layout, byte-identical round trips, and a save that fails
// keeping the previous file and leaving nothing behind.
#include "CloneFileFixtures.h"

#include "base/cmcGTex.h"
#include "base/cmcScriptedResponder.h"
#include "base/cmcTextTables.h"
#include "support/ShippedTexts.h"

#include <gtest/gtest.h>

using namespace clonefile;
namespace fs = std::filesystem;

namespace {
class CloneFileWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillRandom(image_, cmcImageSize, 11);
        file_.SetImage(image_);
        file_.SetModelWords(0x8826, 0x0000);
        file_.SetMapRev(1);
    }

    // Lines of a file without their CR LF; fails when a line lacks it.
    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        std::size_t from = 0;
        while (from < text.size()) {
            const std::size_t end = text.find("\r\n", from);
            EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
            if (end == std::string::npos)
                break;
            lines.push_back(text.substr(from, end - from));
            from = end + 2;
        }
        return lines;
    }

    TempFolder folder_;
    std::string path_ = folder_.File("radio.icf");
    ShippedTexts texts_;
    cmcScriptedResponder responder_;
    cmcEeprom image_;
    cmcIcfFile file_;
};
} // namespace

TEST_F(CloneFileWrite, ExactLayoutOfARangeCrossingALineBoundary)
{
    for (int a = 0x05; a <= 0x14; ++a)
        image_.SetByte(a, static_cast<std::uint8_t>(0xA0 + a));
    file_.SetComment("Hello");
    const AddressRangeList ranges{{0x0005, 0x0014}, AddressRangeList::ListEnd};
    ASSERT_EQ(file_.WriteCloneFile(path_, ranges), cmcIcfResult::Ok);
    EXPECT_EQ(ReadBytes(path_), "88260000\r\n"
                                "#Comment=Hello\r\n"
                                "#MapRev=1\r\n"
                                "00050BA5A6A7A8A9AAABACADAEAF\r\n"
                                "001005B0B1B2B3B4\r\n");
    EXPECT_TRUE(responder_.Boxes().empty());
}

TEST_F(CloneFileWrite, FullCloneFileRoundTripIsByteIdentical)
{
    file_.SetComment("Site 4 Spare");
    ASSERT_EQ(file_.WriteCloneFile(path_, RadioMemoryRanges()), cmcIcfResult::Ok);
    const std::string written = ReadBytes(path_);
    const std::vector<std::string> lines = Lines(written);
    ASSERT_EQ(lines.size(), 3u + 4088u);
    EXPECT_EQ(lines[1], "#Comment=Site 4 Spare");
    EXPECT_EQ(lines[3].substr(0, 6), "000010");
    EXPECT_EQ(lines.back().substr(0, 6), "FF7010");
    for (std::size_t i = 3; i < lines.size(); ++i)
        ASSERT_EQ(lines[i].size(), 38u) << lines[i];
    // The writer's lines agree with the layout built independently here.
    EXPECT_EQ(written, Head().substr(0, 10) + "#Comment=Site 4 Spare\r\n#MapRev=1\r\n" +
                           DataLines(image_, 0, cmcRadioMemoryEnd));

    cmcEeprom back;
    back.SetSize(cmcImageSize);
    cmcIcfFile reader;
    ConfigureForCloneFile(reader, back);
    ASSERT_EQ(reader.ReadCloneFile(path_, &RadioMemoryRanges()), cmcIcfResult::Ok);
    EXPECT_EQ(reader.MapRev(), 1);
    for (int a = 0; a < cmcImageSize; ++a)
        ASSERT_EQ(back.GetByte(a), a <= cmcRadioMemoryEnd ? image_.GetByte(a) : 0) << "address " << a;

    cmcIcfFile again;
    again.SetImage(back);
    again.SetModelWords(0x8826, 0x0000);
    again.SetMapRev(reader.MapRev());
    again.SetComment("Site 4 Spare");
    const std::string secondPath = folder_.File("again.icf");
    ASSERT_EQ(again.WriteCloneFile(secondPath, RadioMemoryRanges()), cmcIcfResult::Ok);
    EXPECT_EQ(ReadBytes(secondPath), written);
}

TEST_F(CloneFileWrite, RepeaterDataFileAndItsReadBack)
{
    file_.SetComment("Repeater Data");
    ASSERT_EQ(file_.WriteCloneFile(path_, RepeaterRanges()), cmcIcfResult::Ok);
    const std::vector<std::string> lines = Lines(ReadBytes(path_));
    ASSERT_EQ(lines.size(), 3u + 14u);
    EXPECT_EQ(lines[1], "#Comment=Repeater Data");
    EXPECT_EQ(lines.back().substr(0, 6), "00D007");
    EXPECT_EQ(lines.back().size(), 6u + 14u);

    cmcEeprom back;
    back.SetSize(cmcImageSize);
    cmcIcfFile reader;
    reader.SetImage(back);
    reader.SetModelWords(0x8826, 0x0000);
    reader.SetMapRevCheck(RepeaterMapRev);
    ASSERT_EQ(reader.ReadCloneFile(path_, &RepeaterRanges()), cmcIcfResult::Ok);
    EXPECT_EQ(back.GetByte(0xD6), image_.GetByte(0xD6));
    EXPECT_EQ(back.GetByte(0xD7), 0);
    // The same file is no clone file: the coverage of the radio memory area fails.
    EXPECT_EQ(reader.CheckCoverage(&RadioMemoryRanges()), cmcIcfResult::Coverage);
}

TEST_F(CloneFileWrite, RangesStopAtTheListEndAndAtAddressesOutsideTheImage)
{
    struct StopCase {
        AddressRangeList ranges;
        std::vector<std::string> dataPrefixes;
    };
    const StopCase cases[] = {
        {{{0x10, 0x1F}, {0x30, cmcImageSize}, {0x40, 0x4F}}, {"001010"}},
        {{{0x10, 0x1F}, {-1, 0x05}, {0x40, 0x4F}}, {"001010"}},
        {{{0x10, 0x1F}, AddressRangeList::ListEnd, {0x40, 0x4F}}, {"001010"}},
        {{{0x40, 0x40}, {0x10, 0x11}}, {"004001", "001002"}}, // list order, not address order
        {{}, {}},
    };
    for (const StopCase& c : cases) {
        ASSERT_EQ(file_.WriteCloneFile(path_, c.ranges), cmcIcfResult::Ok);
        const std::vector<std::string> lines = Lines(ReadBytes(path_));
        ASSERT_EQ(lines.size(), 3u + c.dataPrefixes.size());
        for (std::size_t i = 0; i < c.dataPrefixes.size(); ++i)
            EXPECT_EQ(lines[3 + i].substr(0, 6), c.dataPrefixes[i]);
    }
}

TEST_F(CloneFileWrite, CommentLineEndsAreWrittenAsBlanks)
{
    file_.SetComment("two\r\nlines");
    ASSERT_EQ(file_.WriteCloneFile(path_, RepeaterRanges()), cmcIcfResult::Ok);
    EXPECT_EQ(Lines(ReadBytes(path_))[1], "#Comment=two  lines");
}

// A failed save keeps the previous file as it was and leaves no temporary file.
TEST_F(CloneFileWrite, FailedSaveKeepsThePreviousFile)
{
    const std::string previous = "88260000\r\n#Comment=previous\r\n#MapRev=1\r\n";
    // Limits: nothing may be written, the header fits, half of the data fits, all but the
    // last byte fits.
    const std::int64_t fullSize = 10 + 11 + 11 + 4088 * 40;
    for (const std::int64_t limit : {std::int64_t{0}, std::int64_t{10}, fullSize / 2, fullSize - 1}) {
        SCOPED_TRACE(limit);
        WriteBytes(path_, previous);
        responder_.ClearBoxes();
        file_.SetWriteLimitForTests(limit);
        EXPECT_EQ(file_.WriteCloneFile(path_, RadioMemoryRanges()), cmcIcfResult::FileAccess);
        EXPECT_EQ(ReadBytes(path_), previous);
        EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"radio.icf"});
        ASSERT_EQ(responder_.Boxes().size(), 1u);
        EXPECT_EQ(responder_.Boxes()[0].text, MainText().GetMultiLineText("GI_Mess_FileErr_Headline") +
                                                  "\n\n" +
                                                  MainText().GetMultiLineText("GI_Mess_FileErr_FileAccess"));
        EXPECT_EQ(responder_.Boxes()[0].icon, cmcMbIcon::Exclamation);
    }

    // A new file that cannot be completed is not created at all.
    fs::remove(path_);
    EXPECT_EQ(file_.WriteCloneFile(path_, RadioMemoryRanges()), cmcIcfResult::FileAccess);
    EXPECT_TRUE(folder_.Entries().empty());

    // With room for every byte the save goes through.
    file_.SetWriteLimitForTests(fullSize);
    EXPECT_EQ(file_.WriteCloneFile(path_, RadioMemoryRanges()), cmcIcfResult::Ok);
    EXPECT_EQ(static_cast<std::int64_t>(fs::file_size(path_)), fullSize);
}

TEST_F(CloneFileWrite, TargetsThatCannotBeWritten)
{
    // A folder that does not exist, and a folder in place of the file.
    EXPECT_EQ(file_.WriteCloneFile(folder_.File("none/radio.icf"), RepeaterRanges()), cmcIcfResult::FileOpen);
    fs::create_directory(folder_.File("sub"));
    EXPECT_EQ(file_.WriteCloneFile(folder_.File("sub"), RepeaterRanges()), cmcIcfResult::FileOpen);
    EXPECT_TRUE(fs::is_directory(folder_.File("sub")));
    EXPECT_TRUE(fs::is_empty(folder_.File("sub")));
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"sub"});
    ASSERT_EQ(responder_.Boxes().size(), 2u);
    EXPECT_EQ(responder_.Boxes()[0].text, MainText().GetMultiLineText("GI_Mess_FileErr_Headline") + "\n\n" +
                                              MainText().GetMultiLineText("GI_Mess_FileErr_FileOpen"));
}

TEST_F(CloneFileWrite, ReplacingKeepsPermissionsAndLinks)
{
    WriteBytes(path_, "old");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("radio.icf", folder_.File("link.icf"));

    ASSERT_EQ(file_.WriteCloneFile(folder_.File("link.icf"), RepeaterRanges()), cmcIcfResult::Ok);
    EXPECT_TRUE(fs::is_symlink(folder_.File("link.icf")));
    EXPECT_EQ(ReadBytes(path_).substr(0, 8), "88260000");
    EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"link.icf", "radio.icf"}));
}
