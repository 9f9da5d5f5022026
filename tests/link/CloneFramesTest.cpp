#include "image/cmcBuff.h"
#include "link/cmcCloneFrames.h"

#include "base/cmcText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;

std::string Text(const cmcBuff& b)
{
    return {reinterpret_cast<const char*>(b.Data()), static_cast<std::size_t>(b.Size())};
}

cmcRecordCheck Decode(const std::string& text, cmcDataRecord& record)
{
    return cmcDecodeRecordText(reinterpret_cast<const std::uint8_t*>(text.data()),
                               static_cast<int>(text.size()), record);
}
} // namespace

TEST(HexTemplateTest, FormatsFirstThenTakesEveryHexDigitAsANibble)
{
    EXPECT_EQ(cmcHexTemplateBytes(Format("FEFE EE EF E0 %04X %04X FD", 0x8826, 0x0000)),
              (Bytes{0xFE, 0xFE, 0xEE, 0xEF, 0xE0, 0x88, 0x26, 0x00, 0x00, 0xFD}));
    struct Case {
        const char* text;
        Bytes bytes;
    };
    const Case cases[] = {
        {"", {}},
        {"fe Fd", {0xFE, 0xFD}},              // either case, blanks ignored
        {"F-E;x1 2", {0xFE, 0x12}},           // every other character ignored, 'x' included
        {"ABC", {0xAB, 0xC0}},                // an odd last nibble gets a low nibble of 0
        {"(9600,N,8,1)", {0x96, 0x00, 0x81}}, // what a settings segment would be as a template
    };
    for (const Case& c : cases)
        EXPECT_EQ(cmcHexTemplateBytes(c.text), c.bytes) << c.text;
}

TEST(DataRecordTest, TextAndChecksumOfTheRecordThatEveryByteSumsToZero)
{
    const std::uint8_t data[] = {0x01, 0x02};
    cmcBuff text;
    cmcAppendRecordText(text, 0x0010, data, 2);
    EXPECT_EQ(Text(text), "0010020102EB");
    EXPECT_EQ(cmcRecordChecksum(0x0010, data, 2), 0xEB);

    cmcDataRecord record;
    ASSERT_EQ(Decode("0010020102EB", record), cmcRecordCheck::Ok);
    EXPECT_EQ(record.address, 0x0010);
    EXPECT_EQ(record.data, (Bytes{0x01, 0x02}));

    // Bytes that delimit frames travel as text; 16 of them round-trip.
    Bytes all(16, 0xFE);
    all[3] = 0xFD;
    cmcBuff full;
    cmcAppendRecordText(full, 0xFF70, all.data(), 16);
    ASSERT_EQ(Decode(Text(full), record), cmcRecordCheck::Ok);
    EXPECT_EQ(record.address, 0xFF70);
    EXPECT_EQ(record.data, all);
}

TEST(DataRecordTest, RefusesRecordsThatBreakTheRules)
{
    struct Case {
        const char* text;
        cmcRecordCheck check;
    };
    const Case cases[] = {
        {"0010020102eb", cmcRecordCheck::Character}, // lower case
        {"00100101EE", cmcRecordCheck::Length},      // odd number of data bytes: 10 characters
        {"0010020102EC", cmcRecordCheck::Checksum},  // the sum is not 0
        {"001003010203E7", cmcRecordCheck::Length},  // 14 characters
        {"0010030102E9", cmcRecordCheck::Count},     // says 3 bytes, carries 2
        {"0010020102EB5", cmcRecordCheck::Ok},       // one stray last character is ignored
        {"0010 20102EB", cmcRecordCheck::Character},
    };
    for (const Case& c : cases) {
        cmcDataRecord record;
        EXPECT_EQ(Decode(c.text, record), c.check) << c.text;
    }
}

TEST(EndFrameTest, NameAndFrameCountModulo256)
{
    EXPECT_EQ(cmcEndText(3, true), "Zelk Inc.03");
    EXPECT_EQ(cmcEndText(0x10A, true), "Zelk Inc.0A");
    EXPECT_EQ(cmcEndText(3, false), "Zelk Inc.");
    // The program's end frame as the radio gets it.
    cmcBuff frame;
    cmcAppendHexTemplate(frame, "FEFE EE EF E5");
    cmcAppendEndText(frame, 3, true);
    EXPECT_EQ(cmcHexTemplateBytes("FEFE EE EF E5 5A 65 6C 6B 20 49 6E 63 2E 3033"),
              Bytes(frame.Data(), frame.Data() + frame.Size()));
}

TEST(ScriptSegmentTest, LineSettingsAndTemplatesTakenOneByOne)
{
    std::string script = "(38400,N,8,1)FEFE EEEF E8 (9600,N,8,1) FD";
    std::vector<std::pair<bool, std::string>> taken;
    while (!script.empty()) {
        const cmcScriptSegment s = cmcTakeScriptSegment(script);
        taken.emplace_back(s.lineSettings, s.text);
    }
    const std::vector<std::pair<bool, std::string>> expected = {
        {true, "38400,N,8,1"}, {false, "FEFE EEEF E8 "}, {true, "9600,N,8,1"}, {false, " FD"}};
    EXPECT_EQ(taken, expected);

    // An unclosed settings segment takes the rest of the script.
    script = "(9600,N,8,1";
    const cmcScriptSegment open = cmcTakeScriptSegment(script);
    EXPECT_TRUE(open.lineSettings);
    EXPECT_EQ(open.text, "9600,N,8,1");
    EXPECT_TRUE(script.empty());
}
