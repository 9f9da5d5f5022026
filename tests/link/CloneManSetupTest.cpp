// What the clone manager prepares before an operation and after a failure: the wake-up
// script and line of each link kind, speed and direction (with the clone password), the
// message of every result code, and the image a write sends.
#include "CloneManBench.h"

#include "base/cmcText.h"
#include "cells/datMemoryMap.h"
#include "image/cmcBigEndian.h"
#include "link/cmcCloneFrames.h"

#include <gtest/gtest.h>

using namespace manbench;

namespace {
const std::string speed27 = "FEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFE EEEF E8 88260000 01 3237 FD";
const std::string speed09 = "FEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFE EEEF E8 88260000 01 3039 FD";
// "ab": length 02, checksum 3D (0x100 - 0x61 - 0x62), 'a', 'b', each as ASCII digits.
const std::string passwordAb = "FEFE EEEF E8 88260000 99 3032334436313632 FD";

std::string check(int item)
{
    return MainText().GetEntry("GI_Mess_CloneErr_Check", item);
}
std::string head(int code)
{
    return MainText().GetEntry("GI_Mess_CloneErr_Head", code);
}
} // namespace

TEST(CloneManSetupTest, WakeUpScriptAndLineOfEveryLinkKind)
{
    struct Case {
        const char* name;
        bool network;
        bool highSpeed;
        bool password;
        std::uint8_t revision;
        bool writing;
        std::string script;
        std::string line;
    };
    const Case cases[] = {
        {"serial, high speed", false, true, false, 0x12, false,
         std::string("(38400,N,8,1)") + speed27 + "(9600,N,8,1)(9600,N,8,1)" + speed09, "38400,N,8,1"},
        {"serial, low speed", false, false, false, 0x12, false,
         std::string("(38400,N,8,1)") + speed27 + "(9600,N,8,1)(38400,N,8,1)" + speed27, "9600,N,8,1"},
        {"serial, password, older handshake, writing", false, true, true, 0x00, true,
         std::string("(38400,N,8,1)") + speed27 + "(9600,N,8,1)" + passwordAb +
             "FEFE EEEF E8 88260000 55 3031 FD" + "(9600,N,8,1)" + speed09,
         "38400,N,8,1"},
        {"network, password, older handshake, reading", true, true, true, 0x00, false,
         passwordAb + "FEFE EEEF E8 88260000 55 3030 FD", ""},
        {"network, nothing to say", true, false, false, 0x21, true, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b({}, c.network);
        b.man.SetModelWords(0x8826, 0);
        b.man.SetPassword("ab");
        b.man.Info().bytes[34] = c.revision;
        b.man.ConfigureLink(c.highSpeed, c.password, c.writing);
        EXPECT_EQ(b.man.Driver().Script(), c.script);
        EXPECT_EQ(b.man.Driver().PasswordSent(), c.password);
        EXPECT_EQ(b.man.Driver().GetLinkChoice(),
                  c.network ? cmcCloneDrv::LinkChoice::Network : cmcCloneDrv::LinkChoice::Serial);
        if (!c.network) {
            EXPECT_EQ(b.man.Driver().BaseSettings(), c.line);
        }
    }
}

TEST(CloneManSetupTest, PasswordDigitsTravelAsTheirAsciiCodes)
{
    const std::vector<std::uint8_t> bytes = cmcHexTemplateBytes(passwordAb);
    const std::vector<std::uint8_t> expected{0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x88, 0x26, 0x00, 0x00, 0x99,
                                             '0',  '2',  '3',  'D',  '6',  '1',  '6',  '2',  0xFD};
    EXPECT_EQ(bytes, expected);
}

TEST(CloneManSetupTest, EveryCodeHasItsHeadAndCheckLines)
{
    struct Case {
        int code;
        bool network;
        std::vector<int> lines; // -1: nothing after the head
    };
    const Case cases[] = {
        {5, false, {0, 1, 3, 4}},       {5, true, {0, 2, 3, 4}},
        {6, false, {0, 1, 3, 4}},       {10, false, {0, 3, 4}},
        {11, true, {0, 2, 3, 4, 5, 6}}, {14, false, {0, 5, 6}},
        {15, true, {0, 2, 3, 4}},       {16, false, {-1}},
        {17, false, {0, 1, 3, 4}},      {18, true, {9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Format("code %d, network %d", c.code, c.network));
        Bench b({}, c.network);
        std::string expected = head(c.code);
        if (c.lines.front() >= 0) {
            expected += "\n";
            for (const int line : c.lines) {
                expected += "\n";
                expected += check(line);
            }
        }
        EXPECT_EQ(b.man.CloneErrorText(c.code), expected);
    }
    Bench b;
    EXPECT_EQ(b.man.CloneErrorText(0), "");
    b.man.ShowCloneError(0);
    EXPECT_TRUE(b.boxes.Boxes().empty()) << "success shows nothing";
}

TEST(CloneManSetupTest, PortFailureNamesThePortAndTheReason)
{
    Bench b;
    b.link.FailOpens(true, "Join the group dialout.");
    ASSERT_TRUE(b.seq.ShowCloneInfo(b.Collect()));
    ASSERT_TRUE(b.Run());
    ASSERT_EQ(b.outcome->code, 2);
    const std::string text = b.man.CloneErrorText(2);
    EXPECT_EQ(text.find(head(2).substr(0, head(2).find("%d")) + "3"), 0u) << text;
    EXPECT_NE(text.find("\nJoin the group dialout.\n"), std::string::npos) << text;
    EXPECT_NE(text.find(check(1)), std::string::npos);
}

TEST(CloneManSetupTest, WriteImageEndsAtTheUsedAreaAndCarriesTheMapRevision)
{
    for (const bool maker : {false, true}) {
        SCOPED_TRACE(maker);
        Bench b;
        indCloneInfo info;
        info.bytes[35] = 1;
        cmcEeprom copy;
        AddressRangeList ranges;
        ASSERT_TRUE(indPrepareWriteImage(b.document, info, maker, copy, ranges));
        ASSERT_EQ(ranges.Ranges().size(), 1u);
        EXPECT_EQ(ranges.Ranges()[0].start, maker ? 0x0000 : 0x02A0);
        const int usedEnd = GetBE16(copy.Bytes() + 0x2B2);
        EXPECT_EQ(ranges.Ranges()[0].end, usedEnd | 0x7F);
        EXPECT_EQ((ranges.Ranges()[0].end + 1) % 128, 0);
        EXPECT_EQ(copy.GetByte(0x2A8), 1);
        EXPECT_TRUE(b.document.Working().Equals(b.before)) << "the working image is not touched";
        // The image check the radio's own read would make passes.
        EXPECT_EQ(indCheckImage(copy, true), 0);
    }
}

TEST(CloneManSetupTest, FrequencyLimitsFollowTheRadiosRevision)
{
    struct Margin {
        std::uint8_t revision;
        double p;
    };
    for (const Margin m : {Margin{0x00, 0.03}, Margin{0x0F, 0.03}, Margin{0x10, 0.03}, Margin{0x11, 0.02},
                           Margin{0x1F, 0.02}, Margin{0x20, 0.02}, Margin{0x35, 0.02}})
        EXPECT_EQ(indFrequencyLimitMargin(m.revision), m.p) << static_cast<int>(m.revision);

    ShippedTexts texts;
    indDocument document;
    ASSERT_EQ(document.LoadInitialFile(InitialFile()), cmcIcfResult::Ok);
    cmcEeprom& image = document.Working();
    datCh code(image);
    code.decode(datKindTwoTone, 4);
    code.Set(datField::TtEdge1, 1000);
    code.Set(datField::TtEdge2, 4000);
    code.encode(datKindTwoTone, 4);
    struct Case {
        std::uint8_t revision;
        std::uint32_t low1, high1, low2, high2;
    };
    // 4000 x 1.03 is beyond the 12-bit field: kept at its top.
    for (const Case c : {Case{0x05, 970, 1030, 3880, 4095}, Case{0x21, 980, 1020, 3920, 4080}}) {
        indFixFrequencyLimits(image, c.revision);
        code.decode(datKindTwoTone, 4);
        EXPECT_EQ(code.Get(datField::TtLow1), c.low1);
        EXPECT_EQ(code.Get(datField::TtHigh1), c.high1);
        EXPECT_EQ(code.Get(datField::TtLow2), c.low2);
        EXPECT_EQ(code.Get(datField::TtHigh2), c.high2);
        EXPECT_EQ(code.Get(datField::TtEdge1), 1000u);
    }
}

TEST(CloneManSetupTest, FixedLimitsReachTheRadio)
{
    // The two-tone table travels packed: the fix-up must be in the image that is sent.
    Bench b;
    datCh code(b.document.Working());
    code.decode(datKindTwoTone, 2);
    code.Set(datField::TtEdge1, 2000);
    code.Set(datField::TtLow1, 1);
    code.Set(datField::TtHigh1, 1);
    code.encode(datKindTwoTone, 2);
    indCloneInfo info;
    info.bytes[34] = 0x05;
    cmcEeprom copy;
    AddressRangeList ranges;
    ASSERT_TRUE(indPrepareWriteImage(b.document, info, false, copy, ranges));
    // Unpacked again, as the radio's next read would be.
    Dynamic2Static(copy);
    datCh sent(copy);
    sent.decode(datKindTwoTone, 2);
    EXPECT_EQ(sent.Get(datField::TtLow1), 1940u);
    EXPECT_EQ(sent.Get(datField::TtHigh1), 2060u);
}
