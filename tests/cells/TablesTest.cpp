#include "cells/datTables.h"
#include "image/cmcImageGeometry.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
datTableDef Def(int id, int size, datCountRule rule, int slots, int place, int sharesWith = 0)
{
    return {id, size, rule, slots, place, datTableUse::Packed, false, sharesWith};
}
datTableDef Fixed(int id, int size, int slots, int place)
{
    return Def(id, size, datCountRule::Fixed, slots, place);
}
} // namespace

TEST(TablesTest, ProgramListPassesTheSelfCheck)
{
    EXPECT_EQ(datTableProblems(datTableList()), std::vector<std::string>{});
    FatalCatcher catcher;
    EXPECT_NO_THROW(datSelfCheckTables());
}

TEST(TablesTest, PackingOrderIsTheRadiosOrder)
{
    // The radio reads its packed tables in this order; it is part of its memory layout.
    const std::vector<int> expected{2,  7,  15, 6,  62, 18, 27, 32, 77, 4,  5,  3,  8,  10, 11, 16,
                                    24, 25, 26, 29, 30, 31, 34, 35, 37, 89, 85, 86, 9,  12, 13, 17,
                                    19, 20, 21, 22, 28, 33, 46, 63, 64, 65, 66, 67, 68, 69, 70, 71,
                                    72, 87, 88, 73, 74, 75, 76, 78, 79, 80, 82, 83, 84, 1};
    std::vector<int> packed;
    for (const datTableDef& t : datTableList()) {
        if (t.use == datTableUse::Packed)
            packed.push_back(t.ptblId);
    }
    EXPECT_EQ(packed, expected);
}

TEST(TablesTest, StaticFormTilesTheWorkingAreaUpToTheCounts)
{
    // Every working-area byte from 0xFF80 to the counts at 0x1AC36 belongs to exactly one
    // table (the bank channels share the slots of the channels outside banks).
    std::vector<int> owners(cmcImageSize, 0);
    for (const datTableDef& t : datTableList()) {
        if (t.sharesPlaceWith != 0)
            continue;
        for (int a = t.staticPlace; a < t.StaticEnd(); ++a)
            ++owners[static_cast<std::size_t>(a)];
    }
    for (int a = cmcWorkingAreaStart; a < datIndividualIdCountPlace; ++a)
        ASSERT_EQ(owners[static_cast<std::size_t>(a)], 1) << std::hex << "address 0x" << a;
}

TEST(TablesTest, LookUpByPtblId)
{
    const datTableDef* talkGroups = datFindTable(35);
    ASSERT_NE(talkGroups, nullptr);
    EXPECT_EQ(talkGroups->recordSize, 14);
    EXPECT_EQ(talkGroups->staticPlace, 0x14109);
    EXPECT_EQ(talkGroups->count, datCountRule::TalkGroupsUsed);
    const datTableDef* repeaters = datFindTable(43);
    ASSERT_NE(repeaters, nullptr);
    EXPECT_EQ(repeaters->use, datTableUse::UnpackOnly);
    EXPECT_TRUE(repeaters->blankTemplate);
    ASSERT_NE(datFindTable(23), nullptr);
    EXPECT_EQ(datFindTable(23)->use, datTableUse::PrefillOnly);
    EXPECT_EQ(datFindTable(44), nullptr);
    EXPECT_EQ(datFindTable(0), nullptr);
}

TEST(TablesTest, SelfCheckFindsBrokenLists)
{
    const datTableDef a = Fixed(7, 16, 1, 0x10380);
    const datTableDef b = Fixed(15, 4, 17, 0x10390);
    const datTableDef outside = Def(2, 32, datCountRule::ChannelsOutsideBanks, 32, 0xFF80);
    const datTableDef outside3 = Def(3, 27, datCountRule::ChannelsOutsideBanks, 32, 0x107CE);
    const datTableDef bank1 = Def(4, 32, datCountRule::BankChannels, 32, 0xFF80, 2);
    const datTableDef bank2 = Def(5, 27, datCountRule::BankChannels, 32, 0x107CE, 3);
    struct Case {
        const char* name;
        std::vector<datTableDef> tables;
        const char* expected; // part of the first problem
    };
    const std::vector<Case> cases{
        {"duplicate", {a, b, a}, "PTBL-ID 7 is listed twice"},
        {"in radio area", {Fixed(9, 32, 1, 0xFF70)}, "outside the working area"},
        {"past the image", {Fixed(9, 32, 2, cmcImageSize - 40)}, "outside the working area"},
        {"on the counts", {Fixed(9, 4, 1, datIndividualIdCountPlace)}, "working counts"},
        {"overlap", {a, Fixed(9, 4, 2, 0x1038C)}, "overlap"},
        {"share not declared", {outside, Def(4, 32, datCountRule::BankChannels, 32, 0xFF80)}, "overlap"},
        {"bank tables apart", {outside, outside3, bank1, a, bank2}, "one after the other"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> problems = datTableProblems(c.tables);
        ASSERT_FALSE(problems.empty()) << c.name;
        EXPECT_NE(problems.front().find(c.expected), std::string::npos) << c.name << ": " << problems.front();
    }
    EXPECT_TRUE(datTableProblems(std::vector<datTableDef>{outside, outside3, bank1, bank2}).empty());

    FatalCatcher catcher;
    const std::vector<datTableDef> duplicate{a, a};
    try {
        datSelfCheckTables(duplicate);
        FAIL() << "a duplicate PTBL-ID must stop the program";
    } catch (const FatalStop& stop) {
        EXPECT_NE(std::string(stop.what()).find("PTBL-ID 7 is listed twice"), std::string::npos);
    }
}
