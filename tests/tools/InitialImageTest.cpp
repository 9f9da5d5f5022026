#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/indDocument.h"
#include "initial-image/InitialImage.h"
#include "support/ShippedTexts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
namespace fs = std::filesystem;

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class InitialImageTest : public testing::Test {
protected:
    fs::path temp(const std::string& name) const
    {
        return fs::temp_directory_path() / ("torvane-initial-" + std::to_string(::getpid()) + "-" + name);
    }
    void TearDown() override
    {
        for (const char* name : {"regenerated.icf", "saved.icf"})
            fs::remove(temp(name));
    }
    ShippedTexts texts;
};
} // namespace

TEST_F(InitialImageTest, ShippedFileIsWhatTheGeneratorWrites)
{
    ASSERT_EQ(WriteInitialImage(temp("regenerated.icf").string()), cmcIcfResult::Ok);
    const std::string shipped = readAll(ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf");
    ASSERT_FALSE(shipped.empty());
    EXPECT_TRUE(readAll(temp("regenerated.icf")) == shipped)
        << "data/RB8826T_Initial.icf is stale: regenerate it with torvane-make-initial";
}

TEST_F(InitialImageTest, DefaultImagePassesTheStrictCheckAndHoldsANewUsersDefaults)
{
    cmcEeprom built;
    BuildInitialImage(built);
    EXPECT_EQ(indCheckImage(built, true), 0);

    indDocument document;
    ASSERT_EQ(document.LoadInitialFile(ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf"), cmcIcfResult::Ok);
    const cmcEeprom& image = document.Working();
    EXPECT_EQ(indCheckImage(image, true), 0);
    EXPECT_EQ(datChannelCount(image, 0), 0);
    EXPECT_EQ(datIndividualIdCount(image), 1);
    EXPECT_EQ(datTalkGroupCount(image), 1);
    EXPECT_EQ(datRepeaterCount(image, 0), 0);
    // Every channel slot holds the blank template: tones off, a blank name.
    for (int slot = 0; slot < datMaxChannels; ++slot) {
        const std::uint8_t* channel = document.Default().Bytes() + 0xFF80 + 32 * slot;
        EXPECT_EQ(channel[8], 0x80) << slot;
        EXPECT_EQ(channel[10], 0x80) << slot;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(channel + 15), 12), std::string(12, ' ')) << slot;
    }
    EXPECT_EQ(document.Comment(), "");
}

TEST_F(InitialImageTest, RepeatersAndDigitalPartsSurviveASaveAndReopen)
{
    indDocument document;
    ASSERT_EQ(document.LoadInitialFile(ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf"), cmcIcfResult::Ok);
    cmcEeprom& image = document.Working();
    const datTableDef& repeaters = *datFindTable(datRepeaterTableId);
    const datTableDef& nac = *datFindTable(36);
    datSetRepeaterCount(image, 0, 1);
    const std::uint8_t record[10] = {0x1A, 0x2B, 0x3C, 0x40, 0x1A, 0x2B, 0x3C, 0x40, 0x80, 0x00};
    image.WriteBlock(repeaters.staticPlace, record, 10);
    image.SetByte(nac.staticPlace + 4 * 39 + 1, 0x2A); // the last NAC channel
    ASSERT_EQ(document.Save(temp("saved.icf").string()), cmcIcfResult::Ok);

    indDocument reopened;
    ASSERT_EQ(reopened.LoadInitialFile(ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf"), cmcIcfResult::Ok);
    ASSERT_EQ(reopened.Open(temp("saved.icf").string()), cmcIcfResult::Ok);
    EXPECT_EQ(datRepeaterCount(reopened.Working(), 0), 1);
    std::uint8_t back[10] = {};
    reopened.Working().ReadBlock(repeaters.staticPlace, back, 10);
    EXPECT_EQ(std::memcmp(back, record, 10), 0);
    EXPECT_EQ(reopened.Working().GetByte(nac.staticPlace + 4 * 39 + 1), 0x2A);
    EXPECT_FALSE(reopened.IsModified());
}
