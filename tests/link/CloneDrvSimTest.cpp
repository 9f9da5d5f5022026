// The clone driver end to end against the simulated radio over the in-memory link, on
// virtual time: information, read and write on both link kinds, the speeds and preambles
// of the line setup, the clone password, the older write handshake, the retry mode of the
// write request and the accessory items.
#include "CloneBench.h"

#include "image/cmcImageGeometry.h"
#include "link/cmcCloneFrames.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace bench;

namespace {
struct LinkCase {
    const char* name;
    LineSetup setup;
};
const LinkCase linkCases[] = {
    {"serial high speed", {false, true, {}, {}}},
    {"serial low speed", {false, false, {}, {}}},
    {"network", {true, true, {}, {}}},
};

Bytes SimInfo(const RadioSimConfig& config)
{
    const auto record = RadioSimInfoRecord(config);
    return {record.begin(), record.end()};
}
} // namespace

TEST(CloneDrvSimTest, InformationOnEveryLink)
{
    for (const LinkCase& c : linkCases) {
        SCOPED_TRACE(c.name);
        Bench b;
        b.drv.SetModelWords(0, 0); // a model with an alternative word takes the radio's
        ASSERT_EQ(b.Info(c.setup), cmcCloneCode::Ok);
        EXPECT_EQ(b.outcome.calls, 1);
        EXPECT_EQ(b.outcome.kind, cmcCloneKind::Info);
        EXPECT_EQ(b.outcome.word1, 0x8826);
        EXPECT_EQ(b.outcome.word2, 0x0000);
        EXPECT_EQ(b.outcome.info, SimInfo(b.sim.Config()));
        EXPECT_EQ(b.drv.ModelWord1(), 0x8826);
        EXPECT_FALSE(b.link.IsLineUp()); // the driver closes the link at the end

        const auto requests = b.FramesFromProgram(cmcCmdInfoRequest);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].preamble, c.setup.network ? 0 : c.setup.highSpeed ? 48 : 12);
        EXPECT_EQ(requests[0].baud, c.setup.network || !c.setup.highSpeed ? 9600 : 38400);
        // On the network no line is set and no speed command travels.
        if (c.setup.network) {
            EXPECT_TRUE(b.FramesFromProgram(cmcCmdService).empty());
        }
    }
}

TEST(CloneDrvSimTest, RadioAtEitherSpeedAnswersTheInformationRequest)
{
    for (const int radioBaud : {9600, 38400}) {
        for (const bool highSpeed : {false, true}) {
            SCOPED_TRACE(Format("radio at %d, high speed %d", radioBaud, highSpeed));
            RadioSimConfig config;
            config.baud = radioBaud;
            Bench b(config);
            EXPECT_EQ(b.Info({false, highSpeed, {}, {}}), cmcCloneCode::Ok);
            EXPECT_EQ(b.sim.LineBaud(), highSpeed ? 38400 : 9600);
        }
    }
}

TEST(CloneDrvSimTest, ReadFillsTheRecordImageOnEveryLink)
{
    for (const LinkCase& c : linkCases) {
        SCOPED_TRACE(c.name);
        RadioSimConfig config;
        config.lastAddress = 0x07FF;
        Bench b(config);
        const AddressRangeList ranges = ReadRanges(0x07FF);
        ASSERT_EQ(b.Read(ranges, c.setup), cmcCloneCode::Ok);
        EXPECT_EQ(b.outcome.kind, cmcCloneKind::Read);
        ASSERT_EQ(b.outcome.image.size(), 0x10000u);
        for (int a = 0; a < 0x10000; ++a)
            ASSERT_EQ(b.outcome.image[static_cast<std::size_t>(a)], a <= 0x07FF ? PatternByte(a) : 0) << a;
        EXPECT_EQ(b.outcome.receivedMap, Bytes(0x800 / 8, 0xFF));
        EXPECT_EQ(b.drv.Progress(), 0x800);
        const auto requests = b.FramesFromProgram(cmcCmdRead);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].preamble, c.setup.network ? 0 : c.setup.highSpeed ? 48 : 12);
    }
}

TEST(CloneDrvSimTest, FullReadOfTheRadioMemoryAreaOverAPacedLine)
{
    Bench b(RadioSimConfig{}, cmcImageSize);
    b.link.SetPacing(true);
    ASSERT_EQ(b.Read(ReadRanges(cmcRadioMemoryEnd), {false, true, {}, {}}), cmcCloneCode::Ok);
    EXPECT_TRUE(std::equal(b.outcome.image.begin(), b.outcome.image.begin() + cmcRadioMemoryEnd + 1,
                           b.sim.Memory().Bytes()));
    EXPECT_EQ(b.drv.Progress(), cmcRadioMemoryEnd + 1);
    // 4088 records of 42 bytes and the end frame at 38400 baud: about 45 s on the wire.
    EXPECT_GT(b.outcome.atMs, 44000u);
    EXPECT_LT(b.outcome.atMs, 60000u);
}

TEST(CloneDrvSimTest, RadioPacesItsOutputAtItsLineSpeed)
{
    RadioSimConfig config;
    config.pace = true;
    config.lastAddress = 0x07FF;
    for (const bool highSpeed : {true, false}) {
        SCOPED_TRACE(highSpeed ? "38400 baud" : "9600 baud");
        Bench b(config);
        ASSERT_EQ(b.Read(ReadRanges(0x07FF), {false, highSpeed, {}, {}}), cmcCloneCode::Ok);
        // 128 records of 46 bytes and the end frame of 17, 10 bits a byte.
        const std::uint32_t wireMs = (128 * 46 + 17) * 10 * 1000 / (highSpeed ? 38400 : 9600);
        const std::uint32_t took = b.outcome.atMs - b.FramesFromProgram(cmcCmdRead).front().ms;
        EXPECT_GE(took + 10, wireMs); // a few bytes may leave at once after a pause
        EXPECT_LE(took, wireMs + wireMs / 20 + 50);
    }
}

TEST(CloneDrvSimTest, WriteStoresTheRangesOnEveryLink)
{
    for (const LinkCase& c : linkCases) {
        SCOPED_TRACE(c.name);
        Bench b;
        cmcEeprom image;
        FillPattern(image, cmcImageSize, true);
        const AddressRangeList ranges{{0x02A0, 0x0AFF}, {0x1000, 0x107F}, AddressRangeList::ListEnd};
        ASSERT_EQ(b.Write(image, ranges, c.setup), cmcCloneCode::Ok);
        EXPECT_EQ(b.outcome.kind, cmcCloneKind::Write);
        EXPECT_TRUE(b.outcome.retryMode);
        EXPECT_EQ(b.sim.CompletedWrites(), 1);
        for (int a = 0; a <= cmcRadioMemoryEnd; ++a)
            ASSERT_EQ(b.sim.Memory().GetByte(a), ranges.Contains(a) ? image.GetByte(a) : PatternByte(a)) << a;
        EXPECT_EQ(b.drv.Progress(), ranges.ByteCount());
        // One record per 16 bytes; the radio acknowledged every 128-byte boundary.
        const int frames = static_cast<int>(ranges.ByteCount() / 16);
        EXPECT_EQ(b.FramesFromProgram(cmcCmdData).size(), static_cast<std::size_t>(frames));
        const auto end = b.FramesFromProgram(cmcCmdEnd);
        ASSERT_EQ(end.size(), 1u);
        const std::string count = Format("%02X", frames & 0xFF);
        EXPECT_EQ(std::string(end[0].bytes.end() - 3, end[0].bytes.end() - 1), count);
        const int boundaries = (0x0B00 - 0x0300) / 128 + 1 + 1;      // 0x300..0xB00 and 0x1080
        EXPECT_EQ(b.sim.CountFrames(cmcAck, false), 1 + boundaries); // + the write request
    }
}

TEST(CloneDrvSimTest, WriteFramesOfARangeAndTheFirstBlockWait)
{
    Bench b;
    cmcEeprom image;
    FillPattern(image, cmcImageSize, true);
    ASSERT_EQ(b.Write(image, AddressRangeList{{0x0000, 0x002F}, AddressRangeList::ListEnd}),
              cmcCloneCode::Ok);
    const auto data = b.FramesFromProgram(cmcCmdData);
    ASSERT_EQ(data.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const std::string head(data[static_cast<std::size_t>(i)].bytes.begin() + 5,
                               data[static_cast<std::size_t>(i)].bytes.begin() + 11);
        EXPECT_EQ(head, Format("%04X10", i * 16));
    }
    EXPECT_EQ(b.FramesFromProgram(cmcCmdEnd)[0].bytes,
              cmcHexTemplateBytes("FEFE EE EF E5 5A 65 6C 6B 20 49 6E 63 2E 3033 FD"));

    // From 0x02A0 the first wait for 0xFB follows the record that ends at 0x02FF: a radio
    // that stops answering after that record never gets the one for 0x0300.
    RadioSimConfig stalling;
    stalling.faults.stallAfter = 6;
    Bench c(stalling);
    EXPECT_EQ(c.Write(image, AddressRangeList{{0x02A0, 0x037F}, AddressRangeList::ListEnd}),
              cmcCloneCode::Timeout);
    const auto sent = c.FramesFromProgram(cmcCmdData);
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(std::string(sent.back().bytes.begin() + 5, sent.back().bytes.begin() + 9), "02F0");
    EXPECT_TRUE(c.FramesFromProgram(cmcCmdEnd).empty());
}

TEST(CloneDrvSimTest, FullWriteOverAPacedNetworkLink)
{
    Bench b;
    b.link.SetPacing(true, 38400);
    cmcEeprom image;
    FillPattern(image, cmcImageSize, true);
    const AddressRangeList ranges{{0x02A0, 0x3F7F}, AddressRangeList::ListEnd};
    ASSERT_EQ(b.Write(image, ranges, {true, true, {}, {}}), cmcCloneCode::Ok);
    EXPECT_TRUE(std::equal(image.Bytes() + 0x02A0, image.Bytes() + 0x3F80, b.sim.Memory().Bytes() + 0x02A0));
    EXPECT_EQ(b.sim.Memory().GetByte(0x3F80), PatternByte(0x3F80));
}

TEST(CloneDrvSimTest, OlderWriteHandshakeWantsTheCloneDirection)
{
    RadioSimConfig config;
    config.revision = 0;
    cmcEeprom image;
    FillPattern(image, cmcImageSize, true);
    const AddressRangeList ranges{{0x02A0, 0x02FF}, AddressRangeList::ListEnd};

    Bench b(config);
    ASSERT_EQ(b.Write(image, ranges, {false, true, {}, true}), cmcCloneCode::Ok);
    EXPECT_FALSE(b.outcome.retryMode);
    EXPECT_EQ(b.FramesFromProgram(cmcCmdWrite).size(), 1u);
    EXPECT_EQ(b.sim.Memory().GetByte(0x02A0), image.GetByte(0x02A0));

    // Without the direction command (or with the reading direction) the radio refuses.
    for (const std::optional<bool> direction : {std::optional<bool>{}, std::optional<bool>{false}}) {
        Bench c(config);
        EXPECT_EQ(c.Write(image, ranges, {false, true, {}, direction}), cmcCloneCode::Frame);
        EXPECT_EQ(c.sim.CompletedWrites(), 0);
        EXPECT_EQ(c.sim.Memory().GetByte(0x02A0), PatternByte(0x02A0));
    }
}

TEST(CloneDrvSimTest, RetryModeRepeatsTheWriteRequestOnceASecond)
{
    cmcEeprom image;
    FillPattern(image, cmcImageSize, true);
    const AddressRangeList ranges{{0x02A0, 0x02FF}, AddressRangeList::ListEnd};

    RadioSimConfig busy;
    busy.faults.busyWrites = 3; // ready at the fourth request
    Bench b(busy);
    ASSERT_EQ(b.Write(image, ranges), cmcCloneCode::Ok);
    EXPECT_EQ(b.FramesFromProgram(cmcCmdWrite).size(), 4u);

    busy.faults.busyWrites = 8; // never ready in time
    Bench c(busy);
    EXPECT_EQ(c.Write(image, ranges), cmcCloneCode::Timeout);
    const auto requests = c.FramesFromProgram(cmcCmdWrite);
    ASSERT_EQ(requests.size(), 8u);
    for (std::size_t i = 1; i < requests.size(); ++i) {
        const std::uint32_t gap = requests[i].ms - requests[i - 1].ms;
        EXPECT_GE(gap, 1000u);
        EXPECT_LE(gap, 1030u);
    }
    EXPECT_EQ(c.sim.CompletedWrites(), 0);

    // With the password in the script the same time-out names the password.
    busy.password = "SECRET";
    Bench d(busy);
    EXPECT_EQ(d.Write(image, ranges, {false, true, "SECRET", {}}), cmcCloneCode::PasswordTimeout);
}

TEST(CloneDrvSimTest, ClonePasswordFlows)
{
    const auto flags = [](const RadioSimConfig& c) { return RadioSimInfoRecord(c)[53]; };
    RadioSimConfig config;
    config.password = "Dealer7";
    EXPECT_EQ(flags(config) & 0x18, 0x18); // a password, not wanted for reading
    config.passwordForRead = true;
    EXPECT_EQ(flags(config) & 0x18, 0x08);
    EXPECT_EQ(flags(RadioSimConfig{}) & 0x18, 0x00);

    const AddressRangeList ranges = ReadRanges(0x00FF);
    struct Case {
        const char* name;
        bool forRead;
        std::string sent;
        cmcCloneCode code;
    };
    const Case cases[] = {
        {"asked and given", true, "Dealer7", cmcCloneCode::Ok},
        {"wrong: ignored, no answer", true, "dealer7", cmcCloneCode::PasswordTimeout},
        {"asked and not given", true, "", cmcCloneCode::Timeout},
        {"not needed for reading", false, "", cmcCloneCode::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadioSimConfig radio;
        radio.password = "Dealer7";
        radio.passwordForRead = c.forRead;
        radio.lastAddress = 0x00FF;
        Bench b(radio);
        EXPECT_EQ(b.Read(ranges, {false, true, c.sent, {}}), c.code);
        EXPECT_FALSE(b.drv.PasswordSent()); // holds for one operation only
    }

    // Writing always wants it.
    RadioSimConfig radio;
    radio.password = "Dealer7";
    cmcEeprom image;
    FillPattern(image, cmcImageSize, true);
    const AddressRangeList writeRanges{{0x02A0, 0x02FF}, AddressRangeList::ListEnd};
    Bench without(radio);
    EXPECT_EQ(without.Write(image, writeRanges), cmcCloneCode::Timeout);
    Bench with(radio);
    EXPECT_EQ(with.Write(image, writeRanges, {true, true, "Dealer7", {}}), cmcCloneCode::Ok);
    EXPECT_EQ(with.sim.Memory().GetByte(0x02A0), image.GetByte(0x02A0));
}

TEST(CloneDrvSimTest, AccessorySettingsItems)
{
    struct Case {
        const char* name;
        cmcCloneDrv::AccessorySettings settings;
        Bytes items;
    };
    const Case cases[] = {
        {"DHCP on", {1, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}, {0xC0, 0xC1, 0x01, 0xC3, 0xCF, 0xC0}},
        {"DHCP off",
         {0, 192, 168, 0, 50, 255, 255, 255, 0, 192, 168, 0, 1},
         {0xC0, 0xC1, 0x01, 0x02, 0x03, 0x04, 0xC3, 0xCF, 0xC0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b;
        b.Configure({true, true, {}, {}});
        ASSERT_TRUE(b.drv.StartAccessoryWrite(c.settings, b.Collect()));
        ASSERT_TRUE(b.Run());
        EXPECT_EQ(b.outcome.code, cmcCloneCode::Ok);
        EXPECT_EQ(b.outcome.kind, cmcCloneKind::Accessory);
        EXPECT_EQ(b.sim.Accessory().items, c.items);
        EXPECT_EQ(b.sim.Accessory().dhcp, c.settings[0]);
        // Items 1, 2, 9 (sends nothing), 10, 14, 15, 16; 11 to 13 with DHCP off.
        EXPECT_EQ(cmcCloneDrv::AccessoryItemCount(c.settings), c.settings[0] ? 7 : 10);
        if (c.settings[0] == 0) {
            EXPECT_EQ(b.sim.Accessory().address, (std::array<std::uint8_t, 4>{192, 168, 0, 50}));
            EXPECT_EQ(b.sim.Accessory().mask, (std::array<std::uint8_t, 4>{255, 255, 255, 0}));
            EXPECT_EQ(b.sim.Accessory().gateway, (std::array<std::uint8_t, 4>{192, 168, 0, 1}));
        }
    }
    // The item frames on the wire, item 11 for one.
    Bench b;
    b.Configure({true, true, {}, {}});
    ASSERT_TRUE(b.drv.StartAccessoryWrite({0, 10, 0, 0, 1, 255, 0, 0, 0, 10, 0, 0, 254}, b.Collect()));
    ASSERT_TRUE(b.Run());
    const auto items = b.FramesFromProgram(cmcCmdService);
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items[3].bytes, cmcHexTemplateBytes("FEFE EEEF E8 8827 0100 02 3041 3030 3030 3031 FD"));
    EXPECT_EQ(items[2].bytes, cmcHexTemplateBytes("FEFE EEEF E8 8827 0100 01 3030 FD"));

    // A refusal ends the operation with code 6.
    RadioSimConfig refusing;
    refusing.faults.refuse = true;
    Bench r(refusing);
    r.Configure({true, true, {}, {}});
    ASSERT_TRUE(r.drv.StartAccessoryWrite({1}, r.Collect()));
    ASSERT_TRUE(r.Run());
    EXPECT_EQ(r.outcome.code, cmcCloneCode::Frame);
    EXPECT_EQ(r.sim.Accessory().items, Bytes{0xC0});
}
