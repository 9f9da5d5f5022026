#include "base/cmcScrBlock.h"
#include "base/cmcText.h"

#include <gtest/gtest.h>

TEST(TextTest, FieldOfSplitsAtSeparator)
{
    EXPECT_EQ(FieldOf("English\tENG.OVL", '\t', 0), "English");
    EXPECT_EQ(FieldOf("English\tENG.OVL", '\t', 1), "ENG.OVL");
    EXPECT_EQ(FieldOf("English\tENG.OVL", '\t', 2), std::nullopt);
    EXPECT_EQ(FieldOf("", ',', 0), "");
    EXPECT_EQ(FieldOf("a,,b", ',', 1), "");
    EXPECT_EQ(FieldOf("a,", ',', 1), "");
    EXPECT_EQ(FieldOf("a", ',', -1), std::nullopt);
    // A separator byte never occurs inside a multi-byte character.
    EXPECT_EQ(FieldOf("\xE3\x81\x82,x", ',', 1), "x");
    EXPECT_EQ(FieldOfAny("a;b,c", ",;", 2), "c");
}

TEST(TextTest, BlanksAndEscapes)
{
    EXPECT_EQ(TrimBlanks(" \t a b \t"), "a b");
    EXPECT_EQ(TrimBlanks(" \t "), "");
    EXPECT_EQ(RemoveBlanks(" a\tb c "), "abc");
    EXPECT_EQ(EscapeAmpersands("R&D&"), "R&&D&&");
    EXPECT_TRUE(IsPrintableAscii(" ~azAZ09"));
    EXPECT_FALSE(IsPrintableAscii("a\x7F"));
    EXPECT_FALSE(IsPrintableAscii("\x1F"));
}

TEST(TextTest, HexTextRoundTripsAndReadsOddAndInvalidInput)
{
    EXPECT_EQ(HexEncodeText("mintaro"), "6D696E7461726F");
    EXPECT_EQ(HexDecodeText("6D696E7461726F"), "mintaro");
    EXPECT_EQ(HexEncodeText(std::string("\x00\xFF", 2)), "00FF");
    EXPECT_EQ(HexDecodeText("414"), "A\x04");
    EXPECT_EQ(HexDecodeText("4g"), "\x04");
    EXPECT_EQ(HexDecodeText("6d"), "m");
}

TEST(ScrBlockTest, NameAndArguments)
{
    const cmcScrBlock bank("Bank 3");
    EXPECT_EQ(bank.Name(), "Bank");
    EXPECT_EQ(bank.Count(), 1);
    EXPECT_EQ(bank.Item(0), "3");

    const cmcScrBlock mch("Mch 1, 2 ,3");
    EXPECT_EQ(mch.Name(), "Mch");
    ASSERT_EQ(mch.Count(), 3);
    EXPECT_EQ(mch.Item(1), "2");
    EXPECT_EQ(mch.Item(2), "3");

    const cmcScrBlock alone("Bank");
    EXPECT_EQ(alone.Name(), "Bank");
    EXPECT_EQ(alone.Count(), 1);
    EXPECT_EQ(alone.Item(0), "");

    const cmcScrBlock two("X 1,2");
    EXPECT_EQ(two.Item(5), "");
    EXPECT_EQ(two.Item(-1), "");
}
