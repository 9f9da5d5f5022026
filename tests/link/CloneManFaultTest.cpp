// Every way a clone operation fails ends the sequence with its result code, shows that
// code's message exactly once, enables the windows again and leaves the document (working
// image, file name, modified state) as it was.
#include "CloneManBench.h"

#include "base/cmcText.h"
#include "cells/datMemoryMap.h"
#include "image/cmcBigEndian.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

using namespace manbench;

namespace {
enum class Op { Info, Read, Write };

struct FaultCase {
    const char* name;
    Op op;
    bool network;
    int code;
    std::function<void(RadioSimConfig&)> radio = {};
    std::function<void(Bench&)> setup = {};
};

void fault(RadioSimConfig& c, const char* name)
{
    ASSERT_TRUE(ParseRadioSimFault(name, c.faults)) << name;
}

// The radio's memory with a newer program's mark (byte 0x11A7D of the unpacked form).
void newerData(Bench& b)
{
    indDocument radio;
    ASSERT_EQ(radio.LoadInitialFile(InitialFile()), cmcIcfResult::Ok);
    SetChannel(radio.Working(), 0, 440'000'000, 445'000'000);
    radio.Working().SetByte(0x11A7D, 1);
    Static2Dynamic(radio.Working(), true);
    b.sim.SetMemory(radio.Working());
}

const std::vector<FaultCase>& cases()
{
    static const std::vector<FaultCase> list{
        {"silent radio, information", Op::Info, false, 5, [](RadioSimConfig& c) { fault(c, "silent"); }},
        {"silent radio, read", Op::Read, true, 5, [](RadioSimConfig& c) { fault(c, "silent"); }},
        {"read refused", Op::Read, false, 6, [](RadioSimConfig& c) { fault(c, "refuse"); }},
        {"write refused (older handshake)", Op::Write, false, 6,
         [](RadioSimConfig& c) {
             fault(c, "refuse");
             c.revision = 0;
         }},
        {"bad checksum", Op::Read, true, 6, [](RadioSimConfig& c) { fault(c, "bad-checksum@3"); }},
        {"bad count", Op::Read, false, 7, [](RadioSimConfig& c) { fault(c, "bad-count"); }},
        {"stall in a read", Op::Read, true, 5, [](RadioSimConfig& c) { fault(c, "stall@5"); }},
        {"drop in a read", Op::Read, false, 5, [](RadioSimConfig& c) { fault(c, "drop@5"); }},
        {"stall in a write", Op::Write, false, 5, [](RadioSimConfig& c) { fault(c, "stall@5"); }},
        {"drop in a write", Op::Write, true, 5, [](RadioSimConfig& c) { fault(c, "drop@5"); }},
        {"write failure", Op::Write, false, 10, [](RadioSimConfig& c) { fault(c, "write-fail"); }},
        {"newer memory map", Op::Read, false, 14, [](RadioSimConfig& c) { c.mapRevision = 2; }},
        {"port cannot be opened",
         Op::Info,
         false,
         2,
         {},
         [](Bench& b) { b.link.FailOpens(true, "The port is held by another program."); }},
        {"network adaptor unreachable", Op::Read, true, 2, {}, [](Bench& b) { b.link.FailOpens(true); }},
        {"serial write short", Op::Read, false, 17, {}, [](Bench& b) { b.link.FailWritesAfter(40); }},
        {"image fails the check",
         Op::Read,
         false,
         15,
         {},
         [](Bench& b) {
             b.radioImage.SetByte(0x180, 0x12);
             b.sim.SetMemory(b.radioImage);
         }},
        {"newer data", Op::Read, true, 16, {}, newerData},
    };
    return list;
}
} // namespace

TEST(CloneManFaultTest, EveryFailureShowsItsMessageOnceAndChangesNothing)
{
    const std::string file = testing::TempDir() + "clone-man-fault.icf";
    for (const FaultCase& c : cases()) {
        SCOPED_TRACE(c.name);
        RadioSimConfig config;
        if (c.radio)
            c.radio(config);
        Bench b(config, c.network);
        // A document with a file name and unsaved changes.
        ASSERT_EQ(b.document.Save(file), cmcIcfResult::Ok);
        SetChannel(b.document.Working(), 1, 151'000'000, 156'000'000);
        b.before.CopyFrom(b.document.Working());
        if (c.setup)
            c.setup(b);

        bool started = false;
        switch (c.op) {
        case Op::Info:
            started = b.seq.ShowCloneInfo(b.Collect());
            break;
        case Op::Read:
            started = b.seq.ReadRadio(b.Collect());
            break;
        case Op::Write:
            started = b.seq.WriteRadio(b.Collect());
            break;
        }
        ASSERT_TRUE(started);
        ASSERT_TRUE(b.Run());
        EXPECT_EQ(b.doneCalls, 1);
        EXPECT_EQ(b.outcome->code, c.code);
        EXPECT_FALSE(b.outcome->cancelled);
        const std::vector<cmcMessage> errors = b.Errors();
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].text, b.man.CloneErrorText(c.code));
        EXPECT_EQ(errors[0].caption, MainText().GetText("GI_Sys_AppTitle"));
        EXPECT_EQ(errors[0].buttons, cmcMbButtons::Ok);
        EXPECT_TRUE(b.document.Working().Equals(b.before));
        EXPECT_TRUE(b.document.IsModified());
        EXPECT_EQ(b.document.Path(), file);
        EXPECT_TRUE(b.host.enabled);
        EXPECT_FALSE(b.host.progressOpen);
        EXPECT_FALSE(b.host.shownInfo.has_value());
        EXPECT_EQ(b.host.imagesRead + b.host.imagesWritten, 0);
        if (c.op == Op::Write) {
            EXPECT_TRUE(b.sim.Memory().Equals(b.radioImage)) << "the radio keeps its memory";
        }
    }
    std::remove(file.c_str());
}

TEST(CloneManFaultTest, RefusedAnswersKeepThePreviousRecord)
{
    Bench b;
    ASSERT_TRUE(b.seq.ShowCloneInfo(b.Collect()));
    ASSERT_TRUE(b.Run());
    const indCloneInfo accepted = b.seq.Info();

    struct Answer {
        const char* name;
        std::uint16_t word1;
        std::vector<std::uint8_t> info;
    };
    std::vector<std::uint8_t> sound(137, 0);
    sound[0] = 137;
    std::vector<std::uint8_t> miscounted = sound;
    miscounted[0] = 136;
    const Answer answers[] = {
        {"another model", 0x8827, sound},
        {"a count that is not its own", 0x8826, miscounted},
        {"no information bytes", 0x8826, {}},
    };
    for (const Answer& a : answers) {
        SCOPED_TRACE(a.name);
        dst_CDrv_Result r;
        r.kind = cmcCloneKind::Info;
        r.code = cmcCloneCode::Ok;
        r.modelWord1 = a.word1;
        for (const std::uint8_t byte : a.info)
            r.info.AppendByte(byte);
        b.seq.CheckInfoAnswer(r);
        EXPECT_EQ(r.code, cmcCloneCode::Model);
        EXPECT_EQ(b.seq.Info().bytes, accepted.bytes);
    }
}
