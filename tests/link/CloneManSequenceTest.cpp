// The clone sequences end to end against the simulated radio: information, read and write
// on both link kinds, the progress and the windows, the clone password (asked, refused,
// not needed for reading), the confirmations of a write, the older write handshake and
// the retry mode, and the accessory write.
#include "CloneManBench.h"

#include "base/cmcText.h"
#include "image/cmcBigEndian.h"
#include "link/cmcCloneFrames.h"

#include <gtest/gtest.h>

using namespace manbench;

namespace {
struct LinkKind {
    const char* name;
    bool network;
};
constexpr LinkKind linkKinds[] = {{"serial", false}, {"network", true}};

std::string text(const char* key)
{
    return MainText().GetMultiLineText(key);
}
} // namespace

TEST(CloneManSequenceTest, InformationOpensTheWindowOnTheRadiosRecord)
{
    for (const LinkKind& k : linkKinds) {
        SCOPED_TRACE(k.name);
        Bench b({}, k.network);
        ASSERT_TRUE(b.seq.ShowCloneInfo(b.Collect()));
        EXPECT_FALSE(b.host.enabled) << "the windows are disabled while it runs";
        ASSERT_TRUE(b.Run());
        EXPECT_EQ(b.outcome->code, 0);
        ASSERT_TRUE(b.host.shownInfo.has_value());
        const auto expected = RadioSimInfoRecord(b.sim.Config());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), b.host.shownInfo->bytes.begin()));
        EXPECT_EQ(b.host.shownInfo->word1, 0x8826);
        EXPECT_TRUE(b.host.enabled);
        EXPECT_TRUE(b.host.captions.empty()) << "no progress window for an information exchange";
        EXPECT_TRUE(b.boxes.Boxes().empty());
        b.ExpectDocumentUnchanged();
    }
}

TEST(CloneManSequenceTest, ReadReplacesTheDocumentWithTheRadiosMemory)
{
    for (const LinkKind& k : linkKinds) {
        for (const bool highSpeed : {true, false}) {
            SCOPED_TRACE(Format("%s, high speed %d", k.name, highSpeed));
            Bench b({}, k.network);
            indLinkSettings settings = b.man.LinkSettings();
            settings.highSpeed = highSpeed;
            b.man.SetLinkSettings(settings);
            const auto outcome = b.Read();
            ASSERT_TRUE(outcome);
            EXPECT_EQ(outcome->code, 0);
            EXPECT_FALSE(outcome->cancelled);
            EXPECT_EQ(b.doneCalls, 1);
            EXPECT_TRUE(b.boxes.Boxes().empty());
            // The radio's channels, untitled and modified.
            EXPECT_EQ(ChannelRx(b.document.Working(), 1), 440'012'500u);
            EXPECT_EQ(datChannelCount(b.document.Working(), 0), 3);
            EXPECT_TRUE(SameBytes(b.document.LastRead(), b.radioImage, 0, cmcRadioMemoryEnd));
            EXPECT_TRUE(b.document.IsModified());
            EXPECT_EQ(b.document.Path(), "");
            EXPECT_EQ(b.host.imagesRead, 1);
            // The progress window of a read ran to the whole range and was closed.
            ASSERT_EQ(b.host.captions.size(), 1u);
            EXPECT_EQ(b.host.captions[0], MainText().GetEntry("GI_Mess_CloneRW_Title_Message", 1));
            EXPECT_EQ(b.host.lastTotal, cmcRadioMemoryEnd + 1);
            EXPECT_EQ(b.host.lastDone, cmcRadioMemoryEnd + 1);
            EXPECT_GT(b.host.updates, 2);
            EXPECT_FALSE(b.host.progressOpen);
            EXPECT_TRUE(b.host.enabled);
            if (!k.network) {
                EXPECT_EQ(b.sim.LineBaud(), highSpeed ? 38400 : 9600);
            }
        }
    }
}

TEST(CloneManSequenceTest, ReadEndsAtTheRadiosLastAddress)
{
    RadioSimConfig config;
    config.lastAddress = 0x8000; // gives the range 0x0000-0x800F
    Bench b(config);
    const auto outcome = b.Read();
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->code, 0);
    EXPECT_EQ(b.host.lastTotal, 0x8010);
    EXPECT_EQ(b.sim.CountFrames(cmcCmdData, false), 0x801);
    // Above the range the document holds nothing of the radio's.
    EXPECT_EQ(b.document.LastRead().GetByte(0x8010), 0);
}

TEST(CloneManSequenceTest, WriteSendsThePreparedImageAfterTheConfirmation)
{
    for (const LinkKind& k : linkKinds) {
        SCOPED_TRACE(k.name);
        Bench b({}, k.network);
        b.document.Working().SetByte(0x10C0C, 'Q'); // something the radio does not have yet
        cmcEeprom expected;
        AddressRangeList ranges;
        indCloneInfo radioInfo;
        radioInfo.bytes[34] = b.sim.Config().revision;
        radioInfo.bytes[35] = b.sim.Config().mapRevision;
        ASSERT_TRUE(indPrepareWriteImage(b.document, radioInfo, false, expected, ranges));
        cmcEeprom working;
        working.CopyFrom(b.document.Working());
        const auto outcome = b.Write();
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->code, 0);
        EXPECT_EQ(b.sim.CompletedWrites(), 1);
        const AddressRange range = ranges.Ranges().front();
        EXPECT_EQ(range.start, 0x02A0);
        EXPECT_EQ(range.end, GetBE16(expected.Bytes() + 0x2B2) | 0x7F);
        EXPECT_TRUE(SameBytes(b.sim.Memory(), expected, range.start, range.end));
        EXPECT_TRUE(SameBytes(b.sim.Memory(), b.radioImage, 0, range.start - 1)) << "nothing below 0x02A0";
        EXPECT_EQ(b.sim.Memory().GetByte(0x2A8), b.sim.Config().mapRevision);
        // One confirmation, then the success message; the working image is not touched.
        ASSERT_EQ(b.boxes.Boxes().size(), 2u);
        EXPECT_EQ(b.boxes.Boxes()[0].text, text("GI_Mess_Confirm_CloneWrite"));
        EXPECT_EQ(b.boxes.Boxes()[0].icon, cmcMbIcon::Exclamation);
        EXPECT_EQ(b.boxes.Boxes()[1].text, text("GI_Mess_CloneWrite_Succeeded"));
        EXPECT_EQ(b.boxes.Boxes()[1].icon, cmcMbIcon::Information);
        EXPECT_TRUE(b.document.Working().Equals(working));
        EXPECT_EQ(b.host.imagesWritten, 1);
        ASSERT_EQ(b.host.captions.size(), 1u);
        EXPECT_EQ(b.host.captions[0], MainText().GetEntry("GI_Mess_CloneRW_Title_Message", 0));
        EXPECT_EQ(b.host.lastDone, range.end - range.start + 1);
        // Confirmed between two information exchanges.
        EXPECT_EQ(b.FramesFromProgram(cmcCmdInfoRequest), 2);
    }
}

TEST(CloneManSequenceTest, MakerModeWritesFromTheStartAfterItsCaution)
{
    Bench b;
    b.seq.SetMakerMode(true);
    b.document.Working().SetByte(0x10BD1, 1); // the data carries a clone password
    const auto outcome = b.Write();
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->code, 0);
    ASSERT_EQ(b.boxes.Boxes().size(), 4u);
    EXPECT_EQ(b.boxes.Boxes()[0].text, text("GI_Mess_Maker_Caution"));
    EXPECT_EQ(b.boxes.Boxes()[1].text, text("GI_Mess_Confirm_CloneWriteClonePass"));
    EXPECT_EQ(b.boxes.Boxes()[2].text, text("GI_Mess_Confirm_CloneWrite"));
    // The first data record the radio got starts at 0x0000.
    for (const RadioSimFrame& f : b.sim.Frames()) {
        if (f.fromProgram && f.bytes.size() > 8 && f.bytes[4] == cmcCmdData) {
            EXPECT_EQ(std::string(f.bytes.begin() + 5, f.bytes.begin() + 9), "0000");
            break;
        }
    }
}

TEST(CloneManSequenceTest, CancelledConfirmationsWriteNothing)
{
    for (const int cancelAt : {0, 1, 2}) {
        SCOPED_TRACE(cancelAt);
        Bench b;
        b.seq.SetMakerMode(true);
        b.document.Working().SetByte(0x10BD1, 1);
        b.before.CopyFrom(b.document.Working());
        b.document.MarkSaved();
        for (int i = 0; i < cancelAt; ++i)
            b.boxes.Queue(cmcMbResult::Ok);
        b.boxes.Queue(cmcMbResult::Cancel);
        const auto outcome = b.Write();
        ASSERT_TRUE(outcome);
        EXPECT_TRUE(outcome->cancelled);
        EXPECT_EQ(b.boxes.Boxes().size(), static_cast<std::size_t>(cancelAt + 1));
        EXPECT_EQ(b.FramesFromProgram(cmcCmdWrite), 0);
        EXPECT_EQ(b.sim.CompletedWrites(), 0);
        EXPECT_TRUE(b.host.enabled);
        b.ExpectDocumentUnchanged();
    }
}

TEST(CloneManSequenceTest, WriteIsRefusedWithoutChannelsOrWithDataErrors)
{
    {
        Bench b;
        b.document.New(); // no programmed channel
        EXPECT_FALSE(b.seq.WriteRadio(b.Collect()));
        ASSERT_EQ(b.Errors().size(), 1u);
        EXPECT_EQ(b.Errors()[0].text, text("GI_AppMess_CloneErr_NoActualCh"));
    }
    {
        Bench b;
        b.host.dataErrors = 2;
        EXPECT_FALSE(b.seq.WriteRadio(b.Collect()));
        ASSERT_EQ(b.Errors().size(), 1u);
        EXPECT_EQ(b.Errors()[0].text, text("GI_Mess_DataError"));
        EXPECT_EQ(b.FramesFromProgram(cmcCmdInfoRequest), 0);
    }
}

TEST(CloneManSequenceTest, PasswordIsAskedWhenTheRadioWantsIt)
{
    struct Case {
        const char* name;
        bool write;
        bool forRead;
        bool asked;
    };
    const Case cases[] = {
        {"read, wanted for reading", false, true, true},
        {"read, not wanted for reading", false, false, false},
        {"write, wanted for reading", true, true, true},
        {"write, not wanted for reading", true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadioSimConfig config;
        config.password = "SECRET";
        config.passwordForRead = c.forRead;
        Bench b(config);
        b.host.passwords.push_back("SECRET");
        const auto outcome = c.write ? b.Write() : b.Read();
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->code, 0);
        EXPECT_EQ(b.host.passwordAsks, c.asked ? 1 : 0);
        EXPECT_EQ(b.man.Password(), c.asked ? "SECRET" : "");
        EXPECT_FALSE(b.man.PasswordArmed()) << "the read or write that sent it disarmed it";
        if (c.write) {
            EXPECT_EQ(b.sim.CompletedWrites(), 1);
        } else {
            EXPECT_EQ(ChannelRx(b.document.Working(), 2), 440'025'000u);
        }
        // The password travelled once, with the read or write request.
        int passwordFrames = 0;
        for (const RadioSimFrame& f : b.sim.Frames())
            if (f.fromProgram && f.bytes.size() > 9 && f.bytes[4] == cmcCmdService && f.bytes[9] == 0x99)
                ++passwordFrames;
        EXPECT_EQ(passwordFrames, c.asked ? 1 : 0);
        EXPECT_TRUE(b.Errors().empty());
    }
}

TEST(CloneManSequenceTest, RefusedPasswordDialogEndsTheCommand)
{
    RadioSimConfig config;
    config.password = "SECRET";
    config.passwordForRead = true;
    Bench b(config);
    b.host.passwords.push_back(std::nullopt); // Cancel
    const auto outcome = b.Read();
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->cancelled);
    EXPECT_EQ(b.FramesFromProgram(cmcCmdRead), 0);
    EXPECT_TRUE(b.boxes.Boxes().empty());
    EXPECT_TRUE(b.host.enabled);
    b.ExpectDocumentUnchanged();
}

TEST(CloneManSequenceTest, WrongPasswordTimesOutWithThePasswordMessage)
{
    RadioSimConfig config;
    config.password = "SECRET";
    config.passwordForRead = true;
    Bench b(config);
    b.host.passwords.push_back("GUESS");
    const auto outcome = b.Read();
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->code, 18);
    ASSERT_EQ(b.Errors().size(), 1u);
    EXPECT_EQ(b.Errors()[0].text, b.man.CloneErrorText(18));
    EXPECT_NE(b.Errors()[0].text.find(MainText().GetEntry("GI_Mess_CloneErr_Check", 9)), std::string::npos);
    b.ExpectDocumentUnchanged();
}

TEST(CloneManSequenceTest, OlderHandshakeAndRetryModeBothWrite)
{
    struct Case {
        const char* name;
        std::uint8_t revision;
        const char* fault;
        int writeRequests;
        int directionCommands;
    };
    const Case cases[] = {
        {"main revision 0: the clone direction first", 0x00, nullptr, 1, 1},
        {"retry mode: asked again until ready", 0x12, "busy@3", 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadioSimConfig config;
        config.revision = c.revision;
        if (c.fault) {
            ASSERT_TRUE(ParseRadioSimFault(c.fault, config.faults));
        }
        Bench b(config);
        const auto outcome = b.Write();
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->code, 0);
        EXPECT_EQ(b.sim.CompletedWrites(), 1);
        EXPECT_EQ(b.FramesFromProgram(cmcCmdWrite), c.writeRequests);
        int direction = 0;
        for (const RadioSimFrame& f : b.sim.Frames())
            if (f.fromProgram && f.bytes.size() > 11 && f.bytes[4] == cmcCmdService && f.bytes[9] == 0x55 &&
                f.bytes[10] == '0' && f.bytes[11] == '1')
                ++direction;
        EXPECT_EQ(direction, c.directionCommands);
    }
}

TEST(CloneManSequenceTest, AccessoryWriteSendsTheItemsWithoutPrompts)
{
    for (const bool dhcp : {true, false}) {
        SCOPED_TRACE(dhcp);
        Bench b({}, true);
        b.man.SetAccessoryDialogOpen(true);
        b.host.dataErrors = 5; // not looked at
        b.document.New();      // no channel: not looked at either
        cmcCloneDrv::AccessorySettings settings{
            static_cast<std::uint8_t>(dhcp ? 1 : 0), 192, 168, 1, 20, 255, 255, 255, 0, 192, 168, 1, 1};
        ASSERT_TRUE(b.seq.WriteAccessorySettings(settings, b.Collect()));
        ASSERT_TRUE(b.Run());
        EXPECT_EQ(b.outcome->code, 0);
        const RadioSimAccessory& got = b.sim.Accessory();
        EXPECT_EQ(got.items.size(), dhcp ? 6u : 9u) << "item 9 sends nothing";
        EXPECT_EQ(got.dhcp, dhcp ? 1 : 0);
        if (!dhcp) {
            EXPECT_EQ(got.address, (std::array<std::uint8_t, 4>{192, 168, 1, 20}));
            EXPECT_EQ(got.gateway, (std::array<std::uint8_t, 4>{192, 168, 1, 1}));
        }
        EXPECT_EQ(b.host.lastTotal, dhcp ? 7 : 10);
        EXPECT_GE(b.host.lastDone, b.host.lastTotal) << "the bar is full at the end";
        // The windows stayed disabled from the information exchange to the end of the write.
        EXPECT_EQ(b.host.enableCalls, (std::vector<bool>{false, false, true}));
        ASSERT_EQ(b.boxes.Boxes().size(), 1u);
        EXPECT_EQ(b.boxes.Boxes()[0].text, text("GI_Mess_CloneWrite_Succeeded"));
        EXPECT_EQ(b.host.passwordAsks, 0);
        EXPECT_EQ(b.host.imagesWritten, 0);
    }
}

TEST(CloneManSequenceTest, NothingStartsWhileBusy)
{
    Bench b;
    ASSERT_TRUE(b.seq.ReadRadio(b.Collect()));
    EXPECT_FALSE(b.seq.ReadRadio());
    EXPECT_FALSE(b.seq.ShowCloneInfo());
    EXPECT_FALSE(b.man.StartInfoExchange({}));
    ASSERT_TRUE(b.Run());
    EXPECT_EQ(b.doneCalls, 1);
    EXPECT_EQ(b.outcome->code, 0);
}
