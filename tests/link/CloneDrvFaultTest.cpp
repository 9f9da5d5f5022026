// Every fault of the simulated radio and every link failure ends the operation with its
// result code, once, and a failed write leaves the radio's memory as it was.
#include "CloneBench.h"

#include "image/cmcImageGeometry.h"
#include "link/cmcCloneFrames.h"

#include <gtest/gtest.h>

#include <functional>

using namespace bench;

namespace {
enum class Op { Info, Read, Write };

struct FaultCase {
    const char* fault;
    Op op;
    bool network;
    std::uint8_t revision;
    cmcCloneCode code;
};

const FaultCase faultCases[] = {
    {"silent", Op::Info, false, 0x12, cmcCloneCode::Timeout},
    {"silent", Op::Read, true, 0x12, cmcCloneCode::Timeout},
    {"refuse", Op::Read, false, 0x12, cmcCloneCode::Frame},
    {"refuse", Op::Read, true, 0x12, cmcCloneCode::Frame},
    {"refuse", Op::Write, false, 0x00, cmcCloneCode::Frame},  // older handshake: a refusal
    {"refuse", Op::Write, true, 0x12, cmcCloneCode::Timeout}, // retry mode: asked 8 times
    {"bad-checksum@3", Op::Read, false, 0x12, cmcCloneCode::Frame},
    {"bad-checksum@48", Op::Read, true, 0x12, cmcCloneCode::Frame}, // the last record
    {"bad-count", Op::Read, false, 0x12, cmcCloneCode::FrameCount},
    {"bad-count", Op::Read, true, 0x12, cmcCloneCode::FrameCount},
    {"stall@5", Op::Read, false, 0x12, cmcCloneCode::Timeout},
    {"stall@0", Op::Read, true, 0x12, cmcCloneCode::Timeout},
    {"drop@5", Op::Read, false, 0x12, cmcCloneCode::Timeout},
    {"drop@5", Op::Read, true, 0x12, cmcCloneCode::Timeout},
    {"stall@5", Op::Write, false, 0x12, cmcCloneCode::Timeout},
    {"drop@5", Op::Write, true, 0x12, cmcCloneCode::Timeout},
    {"write-fail", Op::Write, false, 0x12, cmcCloneCode::WriteFailed},
    {"write-fail", Op::Write, true, 0x00, cmcCloneCode::WriteFailed},
};
} // namespace

TEST(CloneDrvFaultTest, EveryFaultEndsWithItsCodeOnce)
{
    cmcEeprom image;
    FillPattern(image, cmcImageSize, true);
    const AddressRangeList writeRanges{{0x02A0, 0x02FF}, AddressRangeList::ListEnd};
    for (const FaultCase& c : faultCases) {
        SCOPED_TRACE(Format("%s, op %d, network %d", c.fault, static_cast<int>(c.op), c.network));
        RadioSimConfig config;
        ASSERT_TRUE(ParseRadioSimFault(c.fault, config.faults));
        config.revision = c.revision;
        config.lastAddress = 0x02FF; // 48 records
        Bench b(config);
        const LineSetup setup{
            c.network, true, {}, c.op == Op::Write ? std::optional<bool>(true) : std::nullopt};
        switch (c.op) {
        case Op::Info:
            EXPECT_EQ(b.Info(setup), c.code);
            break;
        case Op::Read:
            EXPECT_EQ(b.Read(ReadRanges(0x02FF), setup), c.code);
            break;
        case Op::Write:
            EXPECT_EQ(b.Write(image, writeRanges, setup), c.code);
            EXPECT_EQ(b.sim.CompletedWrites(), 0);
            for (int a = 0x0280; a < 0x0300; ++a)
                ASSERT_EQ(b.sim.Memory().GetByte(a), PatternByte(a)) << a;
            break;
        }
        EXPECT_EQ(b.outcome.calls, 1);
        EXPECT_FALSE(b.drv.IsBusy());
        // Nothing more happens afterwards.
        b.timers.Advance(30000);
        EXPECT_EQ(b.outcome.calls, 1);
    }
}

TEST(CloneDrvFaultTest, NoAnswerEndsTheExchangeAfterItsTimeOut)
{
    RadioSimConfig config;
    config.faults.silent = true;
    Bench b(config);
    EXPECT_EQ(b.Info({true, true, {}, {}}), cmcCloneCode::Timeout);
    const auto requests = b.FramesFromProgram(cmcCmdInfoRequest);
    ASSERT_EQ(requests.size(), 1u);
    const std::uint32_t waited = b.outcome.atMs - requests[0].ms;
    EXPECT_GE(waited, 350u);
    EXPECT_LE(waited, 380u);

    // The same with the password in the script names the password.
    Bench p(config);
    EXPECT_EQ(p.Info({true, true, "1234", {}}), cmcCloneCode::PasswordTimeout);
}

TEST(CloneDrvFaultTest, LinkFailures)
{
    struct Case {
        const char* name;
        bool network;
        std::function<void(cmcMemoryLink&)> arrange;
        cmcCloneCode code;
    };
    const Case cases[] = {
        {"serial port cannot be opened", false, [](cmcMemoryLink& l) { l.FailOpens(true, "busy"); },
         cmcCloneCode::LinkOpen},
        {"serial line cannot be reopened at the exchange speed", false,
         [](cmcMemoryLink& l) {
             // The script's three opens succeed, the fourth (the exchange's own) fails.
             l.SetOpenFilter([](const cmcMemoryLink::OpenRequest& r) { return r.attempt < 3; });
         },
         cmcCloneCode::LinkOpen},
        {"network adaptor cannot be reached", true, [](cmcMemoryLink& l) { l.FailOpens(true); },
         cmcCloneCode::LinkOpen},
        {"connection never made", true, [](cmcMemoryLink& l) { l.SetConnectDelay(-1); },
         cmcCloneCode::Timeout},
        {"serial port stops taking bytes", false, [](cmcMemoryLink& l) { l.FailWritesAfter(100); },
         cmcCloneCode::WriteError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b;
        c.arrange(b.link);
        EXPECT_EQ(b.Read(ReadRanges(0x00FF), {c.network, true, {}, {}}), c.code);
        EXPECT_EQ(b.outcome.calls, 1);
        EXPECT_FALSE(b.link.IsLineUp());
    }

    // A slow connection is waited for within the general time-out.
    Bench slow;
    slow.link.SetConnectDelay(300);
    EXPECT_EQ(slow.Info({true, true, {}, {}}), cmcCloneCode::Ok);
}

TEST(CloneDrvFaultTest, StartsAreRefusedWhileBusyAndTheCallbackMayStartTheNext)
{
    RadioSimConfig config;
    config.lastAddress = 0x00FF;
    Bench b(config);
    b.Configure({true, true, {}, {}});
    int infos = 0;
    cmcCloneCode readCode = cmcCloneCode::LinkOpen;
    const AddressRangeList ranges = ReadRanges(0x00FF);
    ASSERT_TRUE(b.drv.StartInfo([&](dst_CDrv_Result& r) {
        ++infos;
        EXPECT_EQ(r.code, cmcCloneCode::Ok);
        EXPECT_FALSE(b.drv.IsBusy());
        // The continuation starts the read from inside the callback.
        EXPECT_TRUE(b.drv.StartRead(ranges, [&](dst_CDrv_Result& read) { readCode = read.code; }));
    }));
    EXPECT_TRUE(b.drv.IsBusy());
    cmcEeprom image;
    FillPattern(image, 0x10000);
    EXPECT_FALSE(b.drv.StartInfo(b.Collect()));
    EXPECT_FALSE(b.drv.StartRead(ranges, b.Collect()));
    EXPECT_FALSE(b.drv.StartWrite(image, ranges, b.Collect()));
    EXPECT_FALSE(b.drv.StartAccessoryWrite({1}, b.Collect()));
    EXPECT_EQ(b.drv.Kind(), cmcCloneKind::Info);
    for (int t = 0; t < 2000 && readCode == cmcCloneCode::LinkOpen; t += 10)
        b.timers.Advance(10);
    EXPECT_EQ(infos, 1);
    EXPECT_EQ(readCode, cmcCloneCode::Ok);
    EXPECT_EQ(b.outcome.calls, 0); // the refused starts never call back
    EXPECT_FALSE(b.drv.IsBusy());
}

TEST(CloneDrvFaultTest, WriteOfRangesOutsideTheImageIsRefused)
{
    Bench b;
    cmcEeprom small;
    FillPattern(small, 0x1000);
    EXPECT_FALSE(
        b.drv.StartWrite(small, AddressRangeList{{0x0F00, 0x1000}, AddressRangeList::ListEnd}, b.Collect()));
    cmcEeprom large;
    FillPattern(large, cmcImageSize);
    EXPECT_FALSE(
        b.drv.StartWrite(large, AddressRangeList{{0xFF00, 0x10000}, AddressRangeList::ListEnd}, b.Collect()));
    EXPECT_FALSE(b.drv.IsBusy());
}
