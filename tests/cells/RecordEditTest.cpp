#include "RecordTestImage.h"

#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcManualTimers.h"
#include "base/cmcScriptedResponder.h"
#include "base/cmcTextTables.h"
#include "cells/datClipCh.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordEdit.h"
#include "cells/datRecordOps.h"
#include "cells/datRecordService.h"
#include "image/cmcBigEndian.h"
#include "support/ShippedTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordEditTest : public testing::Test {
protected:
    RecordEditTest()
    {
        datSwitches() = {};
        MakeBlankImage(image);
        MakeDefaultImage(defaults);
    }

    void programChannels(int n)
    {
        datSetChannelCount(image, 0, n);
        for (int i = 0; i < n; ++i)
            ProgramChannel(image, i, 150'000'000u + 12'500u * static_cast<std::uint32_t>(i),
                           "CH" + std::to_string(i));
        ASSERT_FALSE(Static2Dynamic(image, false));
    }

    datEditRequest request(int kind, int record, int bankOrSite = 0)
    {
        datEditRequest r;
        r.image = &image;
        r.defaultImage = &defaults;
        r.kind = kind;
        const datRange range = datAllowedRange(image, kind, bankOrSite);
        r.lowest = range.lowest;
        r.highest = range.highest;
        r.record = record;
        r.bank = bankOrSite;
        r.clipboard = &clipboard;
        r.events = &events;
        return r;
    }

    static datEditRequest block(datEditRequest r, int first, int last)
    {
        r.multiSel = true;
        r.selFirst = first;
        r.selLast = last;
        return r;
    }

    // The overlay keys of the boxes shown so far, recognised by their texts.
    std::vector<std::string> boxKeys() const
    {
        static const char* keys[] = {
            "GI_AppMess_Conv_Overwrite", "GI_AppMess_Conv_Clear",     "GI_AppMess_Conv_Delete",
            "GI_AppMess_Conv_Overflow",  "GI_AppMess_ChErr_Overflow", "GI_AppMess_ChErr_NoCh",
            "GI_AppMess_ChErr_NotBlank", "GI_AppMess_ChErr_DelPrio",  "GI_AppMess_ListErr_NoList",
        };
        std::vector<std::string> shown;
        for (const cmcMessage& box : boxes.Boxes()) {
            EXPECT_EQ(box.caption, MainText().GetText("GI_Sys_AppTitle"));
            std::string key = "?";
            for (const char* k : keys) {
                if (box.text == MainText().GetMultiLineText(k))
                    key = k;
            }
            const bool question = key.find("_Conv_") != std::string::npos;
            EXPECT_EQ(box.buttons, question ? cmcMbButtons::OkCancel : cmcMbButtons::Ok) << key;
            shown.push_back(key);
        }
        return shown;
    }

    int scanRef(int list, datField field)
    {
        datCh scan(image);
        scan.decode(datKindScanList, list);
        return static_cast<int>(scan.Get(field));
    }

    void setScan(int list, datField ref, int channel, datField mode, int modeValue)
    {
        datCh scan(image);
        scan.decode(datKindScanList, list);
        scan.Set(ref, static_cast<std::uint32_t>(channel));
        scan.Set(mode, static_cast<std::uint32_t>(modeValue));
        if (ref == datField::ScanPrio2Ch)
            scan.Set(datField::ScanPrio2InUse, modeValue != 0 ? 1 : 0);
        scan.encode(datKindScanList, list);
    }

    int be16At(int place) const { return GetBE16(image.Bytes() + place); }

    cmcManualTimers timers;
    cmcEvMan events;
    ShippedTexts texts;
    cmcScriptedResponder boxes;
    SwitchesGuard guard;
    cmcEeprom image;
    cmcEeprom defaults;
    datRecordService service{events, image, defaults};
    datClipCh clipboard;
};

TEST_F(RecordEditTest, DeletingAChannelRenumbersTheScanListsOnlyWithTheSwitchOn)
{
    for (const bool scanSwitch : {true, false}) {
        SCOPED_TRACE(scanSwitch ? "scan-list switch on" : "scan-list switch off");
        MakeBlankImage(image);
        programChannels(8);
        datSwitches().scanList = scanSwitch;
        setScan(3, datField::ScanTxCh, 4, datField::ScanTxMode, 5);
        setScan(5, datField::ScanPrio1Ch, 6, datField::ScanPrio1Mode, 5);
        setScan(7, datField::ScanPrio2Ch, 4, datField::ScanPrio2Mode, 5);
        setScan(8, datField::ScanTxCh, 2, datField::ScanTxMode, 5);
        boxes.ClearBoxes();

        const datEditResult result = datEditDelete(request(datKindChannel, 4));

        EXPECT_TRUE(result.done);
        EXPECT_EQ(result.statusKey, "GI_AppMess_S_Delete");
        EXPECT_EQ(result.select, datSelect::Clear);
        EXPECT_EQ(result.cursor, 4);
        EXPECT_EQ(boxKeys(), std::vector<std::string>{"GI_AppMess_Conv_Delete"});
        EXPECT_EQ(datChannelCount(image, 0), 7);
        EXPECT_EQ(NameOf(image, 4), "CH5         ");
        EXPECT_EQ(NameOf(image, 31), "BLANK       "); // the last slot comes from the default image
        EXPECT_EQ(scanRef(8, datField::ScanTxCh), 2);
        if (scanSwitch) {
            EXPECT_EQ(scanRef(3, datField::ScanTxCh), 0);
            EXPECT_EQ(scanRef(3, datField::ScanTxMode), 0);
            EXPECT_EQ(scanRef(5, datField::ScanPrio1Ch), 5);
            EXPECT_EQ(scanRef(5, datField::ScanPrio1Mode), 5);
            EXPECT_EQ(scanRef(7, datField::ScanPrio2Ch), 0);
            EXPECT_EQ(scanRef(7, datField::ScanPrio2Mode), 0);
            EXPECT_EQ(scanRef(7, datField::ScanPrio2InUse), 0);
        } else {
            EXPECT_EQ(scanRef(3, datField::ScanTxCh), 4);
            EXPECT_EQ(scanRef(3, datField::ScanTxMode), 5);
            EXPECT_EQ(scanRef(5, datField::ScanPrio1Ch), 6);
            EXPECT_EQ(scanRef(7, datField::ScanPrio2InUse), 1);
        }
    }
}

TEST_F(RecordEditTest, DeletingThePriorityOneChannelOfAScanListResetsItsModeToOne)
{
    programChannels(4);
    datSwitches().scanList = true;
    setScan(0, datField::ScanPrio1Ch, 1, datField::ScanPrio1Mode, 5);
    ASSERT_TRUE(datEditDelete(request(datKindChannel, 1)).done);
    EXPECT_EQ(scanRef(0, datField::ScanPrio1Ch), 0);
    EXPECT_EQ(scanRef(0, datField::ScanPrio1Mode), 1);
}

TEST_F(RecordEditTest, CarryUpSwapsChannelsAndTheirMarksAndScanReferences)
{
    programChannels(8);
    datSwitches().scanList = true;
    setScan(0, datField::ScanTxCh, 4, datField::ScanTxMode, 5);
    setScan(1, datField::ScanTxCh, 5, datField::ScanTxMode, 5);
    setScan(2, datField::ScanTxCh, 6, datField::ScanTxMode, 5);
    SetBE16(image.Bytes() + datPrioAPlace, 5);
    SetBE16(image.Bytes() + datPrioBPlace, 4);

    const datEditResult result = datEditCarryUp(request(datKindChannel, 5));

    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.cursor, 4);
    EXPECT_EQ(result.select, datSelect::Set);
    EXPECT_EQ(result.selFirst, 4);
    EXPECT_EQ(result.selLast, 4);
    EXPECT_EQ(NameOf(image, 4), "CH5         ");
    EXPECT_EQ(NameOf(image, 5), "CH4         ");
    EXPECT_EQ(scanRef(0, datField::ScanTxCh), 5);
    EXPECT_EQ(scanRef(1, datField::ScanTxCh), 4);
    EXPECT_EQ(scanRef(2, datField::ScanTxCh), 6);
    EXPECT_EQ(be16At(datPrioAPlace), 4); // the marks travel with their channels
    EXPECT_EQ(be16At(datPrioBPlace), 5);
    EXPECT_TRUE(boxes.Boxes().empty());

    // Nothing above the first channel, nothing below the last used one.
    EXPECT_FALSE(datEditCarryUp(request(datKindChannel, 0)).done);
    EXPECT_FALSE(datEditCarryDown(request(datKindChannel, 7)).done);
}

TEST_F(RecordEditTest, CarryingABlockOfIdsMovesTheReferencesToThem)
{
    programChannels(2);
    datSetIndividualIdCount(image, 6);
    for (int i = 0; i < 6; ++i) {
        datCh id(image);
        id.decode(datKindIndividualId, i);
        id.Set(datField::IndId, static_cast<std::uint32_t>(100 + i));
        id.encode(datKindIndividualId, i);
    }
    datCh ch(image);
    ch.decode(datKindChannel, 0);
    ch.Set(datField::ChIndList, 2);
    ch.encode(datKindChannel, 0);
    ch.decode(datKindChannel, 1);
    ch.Set(datField::ChIndList, 4);
    ch.encode(datKindChannel, 1);
    SetBE16(image.Bytes() + datPowerStatusIdPlace, 3);

    const datEditResult result = datEditCarryDown(block(request(datKindIndividualId, 2), 2, 3));

    ASSERT_TRUE(result.done);
    EXPECT_EQ(result.selFirst, 3);
    EXPECT_EQ(result.selLast, 4);
    std::vector<std::uint32_t> ids;
    for (int i = 0; i < 6; ++i) {
        datCh id(image);
        id.decode(datKindIndividualId, i);
        ids.push_back(id.Get(datField::IndId));
    }
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{100, 101, 104, 102, 103, 105}));
    ch.decode(datKindChannel, 0);
    EXPECT_EQ(ch.Get(datField::ChIndList), 3u); // inside the block: moved with it
    ch.decode(datKindChannel, 1);
    EXPECT_EQ(ch.Get(datField::ChIndList), 2u); // the displaced entry: to the block's other end
    EXPECT_EQ(be16At(datPowerStatusIdPlace), 4);
}

TEST_F(RecordEditTest, DeletingEveryEntryOfAnIdListIsRefused)
{
    datSetTalkGroupCount(image, 3);
    cmcEeprom before;
    before.CopyFrom(image);

    EXPECT_FALSE(datEditDelete(block(request(datKindTalkGroup, 0), 0, 2)).done);

    EXPECT_EQ(boxKeys(), (std::vector<std::string>{"GI_AppMess_Conv_Delete", "GI_AppMess_ListErr_NoList"}));
    EXPECT_TRUE(image.Equals(before));

    // Rows past the used count are blank: the block is cut to the used rows.
    boxes.ClearBoxes();
    ASSERT_TRUE(datEditDelete(block(request(datKindTalkGroup, 1), 1, 7)).done);
    EXPECT_EQ(datTalkGroupCount(image), 1);
    EXPECT_EQ(boxKeys(), std::vector<std::string>{"GI_AppMess_Conv_Delete"});
}

TEST_F(RecordEditTest, APriorityChannelIsDeletedOnlyWithThePrioritySwitch)
{
    programChannels(5);
    SetBE16(image.Bytes() + datPrioAPlace, 2);
    cmcEeprom before;
    before.CopyFrom(image);

    EXPECT_FALSE(datEditDelete(block(request(datKindChannel, 1), 1, 3)).done);
    EXPECT_EQ(boxKeys(), (std::vector<std::string>{"GI_AppMess_Conv_Delete", "GI_AppMess_ChErr_DelPrio"}));
    EXPECT_TRUE(image.Equals(before));

    datSwitches().priority = true; // slot 0 is now the priority channel, and may go
    boxes.ClearBoxes();
    EXPECT_TRUE(datEditDelete(request(datKindChannel, 0)).done);
    EXPECT_EQ(datChannelCount(image, 0), 4);
    EXPECT_EQ(NameOf(image, 0), "CH1         ");
}

TEST_F(RecordEditTest, CancellingAConfirmationChangesNothing)
{
    programChannels(4);
    clipboard.Copy(image, datKindChannel, 0, 1);
    cmcEeprom before;
    before.CopyFrom(image);
    const std::vector<std::pair<datEditCommand, const char*>> questions = {
        {datEditCommand::Paste, "GI_AppMess_Conv_Overwrite"},
        {datEditCommand::Clear, "GI_AppMess_Conv_Clear"},
        {datEditCommand::Delete, "GI_AppMess_Conv_Delete"},
    };
    for (const auto& [command, key] : questions) {
        boxes.ClearBoxes();
        boxes.Queue(cmcMbResult::Cancel);
        const datEditResult result = datRunEdit(request(datKindChannel, 2), command);
        EXPECT_FALSE(result.done) << key;
        EXPECT_EQ(boxKeys(), std::vector<std::string>{key});
        EXPECT_TRUE(image.Equals(before)) << key;
    }
}

TEST_F(RecordEditTest, PasteStopsAtTheBankEndAndKeepsTheDestinationMarks)
{
    programChannels(6);
    SetBE16(image.Bytes() + datPrioAPlace, 5);
    SetBE16(image.Bytes() + datPrioBPlace, 1);
    ASSERT_TRUE(datEditCopy(block(request(datKindChannel, 0), 0, 2)).done);
    ASSERT_EQ(clipboard.Count(), 3);

    const datEditResult result = datEditPaste(request(datKindChannel, 5));

    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.statusKey, "GI_AppMess_S_Paste");
    EXPECT_EQ(result.selFirst, 5);
    EXPECT_EQ(result.selLast, 5);
    EXPECT_EQ(result.flags, datFlagRecord);
    EXPECT_EQ(NameOf(image, 5), "CH0         ");
    EXPECT_EQ(RxFreqOf(image, 6), 0u); // past the bank's end: untouched
    EXPECT_EQ(datChannelCount(image, 0), 6);
    EXPECT_EQ(be16At(datPrioAPlace), 5); // slot 5 stays priority channel A
    EXPECT_EQ(be16At(datPrioBPlace), 1); // the copied channel 1's mark stays where it was
    EXPECT_EQ(boxKeys(), std::vector<std::string>{"GI_AppMess_Conv_Overwrite"});

    // A clipboard of another kind pastes nothing, and asks nothing.
    datSetTalkGroupCount(image, 1);
    clipboard.Copy(image, datKindTalkGroup, 0, 1);
    boxes.ClearBoxes();
    cmcEeprom before;
    before.CopyFrom(image);
    EXPECT_FALSE(datEditPaste(request(datKindChannel, 0)).done);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(image.Equals(before));
}

TEST_F(RecordEditTest, StatusTextGoesToTheStatusBar)
{
    struct Seen {
        std::intptr_t text = 0;
        std::intptr_t back = 0;
        std::string status;
        int count = 0;
    } seen;
    auto handler = [](void* user, const cmcEvent& event) {
        if (event.code != cmcEvCode::StatusText)
            return;
        auto* s = static_cast<Seen*>(user);
        s->text = event.arg1;
        s->back = event.arg2;
        s->status = std::string(event.Text());
        ++s->count;
    };
    events.Register(handler, &seen);
    datShowStatus("", &events);
    EXPECT_EQ(seen.count, 0);
    datShowStatus(datEditCopy(request(datKindDtmf, 3)).statusKey, &events);
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.status, MainText().GetText("GI_AppMess_S_Copy"));
    EXPECT_EQ(seen.text, datColourWindowText);
    EXPECT_EQ(seen.back, datColourButtonFace);
    events.Unregister(handler, &seen);
}

TEST_F(RecordEditTest, InsertingIntoAFullBankOverflows)
{
    programChannels(32);
    cmcEeprom before;
    before.CopyFrom(image);
    EXPECT_FALSE(datEditInsert(request(datKindChannel, 3)).done);
    EXPECT_EQ(boxKeys(), std::vector<std::string>{"GI_AppMess_ChErr_Overflow"});
    EXPECT_TRUE(image.Equals(before));
}

TEST_F(RecordEditTest, InsertingIntoAFullMemoryOverflows)
{
    programChannels(4);
    SetBE16(image.Bytes() + datUsedEndPlace, 0xFF80 - 64); // one channel needs 65 bytes
    cmcEeprom before;
    before.CopyFrom(image);
    EXPECT_FALSE(datEditInsert(request(datKindChannel, 1)).done);
    EXPECT_EQ(boxKeys(), std::vector<std::string>{"GI_AppMess_ChErr_Overflow"});
    EXPECT_TRUE(image.Equals(before));
}

TEST_F(RecordEditTest, InsertingAsksBeforePushingAProgrammedChannelOutOfTheTable)
{
    programChannels(5);
    ProgramChannel(image, 31, 160'000'000, "LAST");
    cmcEeprom before;
    before.CopyFrom(image);

    boxes.Queue(cmcMbResult::Cancel);
    EXPECT_FALSE(datEditInsert(request(datKindChannel, 2)).done);
    EXPECT_EQ(boxKeys(), (std::vector<std::string>{"GI_AppMess_Conv_Overflow", "GI_AppMess_ChErr_Overflow"}));
    EXPECT_TRUE(image.Equals(before));

    boxes.ClearBoxes();
    const datEditResult result = datEditInsert(block(request(datKindChannel, 2), 2, 3));
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.statusKey, "GI_AppMess_S_Insert");
    EXPECT_EQ(result.selFirst, 2);
    EXPECT_EQ(result.selLast, 3);
    EXPECT_EQ(boxKeys(), std::vector<std::string>{"GI_AppMess_Conv_Overflow"}); // asked once: then blank
    EXPECT_EQ(datChannelCount(image, 0), 7);
    EXPECT_EQ(NameOf(image, 2), "BLANK       ");
    EXPECT_EQ(NameOf(image, 3), "BLANK       ");
    EXPECT_EQ(NameOf(image, 4), "CH2         ");
    EXPECT_EQ(NameOf(image, 6), "CH4         ");
}

TEST_F(RecordEditTest, InsertingOnTheFirstBlankRowAppends)
{
    programChannels(0);
    ASSERT_TRUE(datPopupStatesOf(request(datKindChannel, 0)).insert);
    ASSERT_TRUE(datEditInsert(request(datKindChannel, 0)).done);
    programChannels(2);
    EXPECT_TRUE(datEditInsert(request(datKindChannel, 2)).done);
    EXPECT_EQ(datChannelCount(image, 0), 3);
    EXPECT_EQ(NameOf(image, 1), "CH1         ");
    EXPECT_EQ(NameOf(image, 2), "BLANK       ");
    EXPECT_FALSE(datEditInsert(request(datKindChannel, 4)).done); // not past the first blank row
    EXPECT_EQ(datChannelCount(image, 0), 3);
}

TEST_F(RecordEditTest, ClearCopiesTheDefaultRecordsAndKeepsTheMarks)
{
    programChannels(4);
    SetBE16(image.Bytes() + datPrioAPlace, 1);

    const datEditResult result = datEditClear(block(request(datKindChannel, 0), 0, 1));

    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.statusKey, "GI_AppMess_S_Clear");
    EXPECT_EQ(result.flags, datFlagAll);
    EXPECT_EQ(boxKeys(), std::vector<std::string>{"GI_AppMess_Conv_Clear"});
    EXPECT_EQ(NameOf(image, 0), "BLANK       ");
    EXPECT_EQ(NameOf(image, 1), "BLANK       ");
    EXPECT_EQ(RxFreqOf(image, 1), 0u);
    EXPECT_EQ(NameOf(image, 2), "CH2         ");
    EXPECT_EQ(be16At(datPrioAPlace), 1);
    EXPECT_EQ(datChannelCount(image, 0), 4);

    // A kind that may not be cleared is left alone without a question.
    boxes.ClearBoxes();
    EXPECT_FALSE(datEditClear(request(datKindScanList, 0)).done);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(RecordEditTest, DeletingTheThirdReferenceChannelPutsTheReferenceOutOfForce)
{
    programChannels(5);
    SetBE16(image.Bytes() + datThirdRefPlace, 3);
    image.SetByte(datThirdInForcePlace, 0x20);
    ASSERT_TRUE(datEditDelete(request(datKindChannel, 3)).done);
    EXPECT_EQ(be16At(datThirdRefPlace), 0);
    EXPECT_EQ(image.GetByte(datThirdInForcePlace) & 0x20, 0);

    // A later reference moves up with its channel.
    SetBE16(image.Bytes() + datThirdRefPlace, 3);
    image.SetByte(datThirdInForcePlace, 0x20);
    ASSERT_TRUE(datEditDelete(request(datKindChannel, 1)).done);
    EXPECT_EQ(be16At(datThirdRefPlace), 2);
    EXPECT_EQ(image.GetByte(datThirdInForcePlace) & 0x20, 0x20);
}

TEST_F(RecordEditTest, DeletingRepeatersKeepsTheHomeRepeaterMark)
{
    datSetRepeaterCount(image, 0, 4);
    for (int r = 0; r < 4; ++r) {
        datCh rpt(image);
        rpt.decode(datKindRepeater, r);
        rpt.Set(datField::RptRxFreq, 450'000'000u + static_cast<std::uint32_t>(r));
        rpt.encode(datKindRepeater, r);
    }
    const int home = 0x176E5 + 7;
    image.SetByte(home, 3); // the third repeater (index 2)
    ASSERT_FALSE(Static2Dynamic(image, false));

    ASSERT_TRUE(datEditDelete(request(datKindRepeater, 0)).done);
    EXPECT_EQ(datRepeaterCount(image, 0), 3);
    EXPECT_EQ(image.GetByte(home), 2); // it is now the second

    ASSERT_TRUE(datEditDelete(request(datKindRepeater, 1)).done); // the home repeater itself
    EXPECT_EQ(image.GetByte(home), 0);
    datCh rpt(image);
    rpt.decode(datKindRepeater, 1);
    EXPECT_EQ(rpt.Get(datField::RptRxFreq), 450'000'003u);
}

TEST_F(RecordEditTest, KindsWithoutAUsedCountInsertAndDeleteInPlace)
{
    for (int i = 0; i < 3; ++i) {
        datCh alias(image);
        alias.decode(datKindMdcAlias, i);
        alias.Set(datField::MdcId, static_cast<std::uint32_t>(0x100 + i));
        alias.encode(datKindMdcAlias, i);
    }
    auto idOf = [this](int i) {
        datCh alias(image);
        alias.decode(datKindMdcAlias, i);
        return alias.Get(datField::MdcId);
    };
    ASSERT_TRUE(datEditDelete(request(datKindMdcAlias, 1)).done);
    EXPECT_EQ(idOf(1), 0x102u);
    ASSERT_TRUE(datEditInsert(request(datKindMdcAlias, 0)).done);
    EXPECT_EQ(idOf(0), 0u);
    EXPECT_EQ(idOf(1), 0x100u);
    datCh alias(image);
    alias.decode(datKindMdcAlias, 0);
    EXPECT_EQ(alias.Text(datField::MdcText), "BLANK       ");
}

TEST_F(RecordEditTest, PopupMenuStatesFollowTheRecord)
{
    programChannels(4);
    datSetIndividualIdCount(image, 2);
    struct Case {
        int kind;
        int record;
        bool clip; // the clipboard holds the kind
        datPopupStates expected;
    };
    // copy, paste, carryUp, carryDown, clear, del, insert
    const std::vector<Case> cases = {
        {datKindChannel, 0, false, {true, false, false, true, true, true, true}},
        {datKindChannel, 2, true, {true, true, true, true, true, true, true}},
        {datKindChannel, 3, false, {true, false, true, false, true, true, true}},    // the last used channel
        {datKindChannel, 4, true, {false, false, false, false, false, false, true}}, // first blank row
        {datKindChannel, 9, true, {false, false, false, false, false, false, false}},
        {datKindRxCode, 0, false, {false, false, false, false, false, false, false}},
        {datKindRxCode, 8, false, {true, false, true, false, false, false, false}},
        {datKindMskStatus, 22, false, {true, false, true, false, false, false, false}},
        {datKindIndividualId, 1, false, {true, false, true, false, true, true, true}},
        {datKindIndividualId, 3, false, {false, false, false, false, false, false, false}},
        {datKindScanList, 16, true, {true, true, true, false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " record " << c.record);
        clipboard.Clear();
        if (c.clip)
            clipboard.Copy(image, c.kind, 0, 1);
        const datPopupStates s = datPopupStatesOf(request(c.kind, c.record));
        EXPECT_EQ(s.copy, c.expected.copy);
        EXPECT_EQ(s.paste, c.expected.paste);
        EXPECT_EQ(s.carryUp, c.expected.carryUp);
        EXPECT_EQ(s.carryDown, c.expected.carryDown);
        EXPECT_EQ(s.clear, c.expected.clear);
        EXPECT_EQ(s.del, c.expected.del);
        EXPECT_EQ(s.insert, c.expected.insert);
    }
}

TEST_F(RecordEditTest, BankChannelCountAddsBlankChannelsAndRemovesOnlyUnusedOnes)
{
    programChannels(3);
    datSetChannelCount(image, 0, 6); // slots 3 to 5 are blank
    ASSERT_FALSE(Static2Dynamic(image, false));
    EXPECT_EQ(datRemovableChannels(image, 0), 3);
    EXPECT_EQ(datAddableChannels(image, 0), 26);

    datEditResult result = datChangeChannelCount(image, 0, 1, &events);
    EXPECT_EQ(boxKeys(), std::vector<std::string>{"GI_AppMess_ChErr_NotBlank"});
    EXPECT_EQ(datChannelCount(image, 0), 3);
    EXPECT_NE(result.flags & datFlagLogic, 0);
    EXPECT_EQ(NameOf(image, 2), "CH2         ");

    boxes.ClearBoxes();
    result = datChangeChannelCount(image, 0, 10, &events);
    EXPECT_TRUE(result.done);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(datChannelCount(image, 0), 10);
    EXPECT_EQ(NameOf(image, 9), "BLANK       ");

    result = datChangeChannelCount(image, 0, 40, &events);
    EXPECT_EQ(boxKeys(), std::vector<std::string>{"GI_AppMess_ChErr_Overflow"});
    EXPECT_EQ(datChannelCount(image, 0), 32);

    boxes.ClearBoxes();
    result = datChangeChannelCount(image, 0, -1, &events);
    EXPECT_EQ(boxKeys(), std::vector<std::string>{"GI_AppMess_ChErr_NoCh"});
    EXPECT_EQ(datChannelCount(image, 0), 3);
}

TEST_F(RecordEditTest, AChannelReferencedAsThirdReferenceIsNotRemovable)
{
    programChannels(2);
    datSetChannelCount(image, 0, 5);
    SetBE16(image.Bytes() + datThirdRefPlace, 3);
    EXPECT_EQ(datRemovableChannels(image, 0), 1);
    SetBE16(image.Bytes() + datPrioBPlace, 4);
    EXPECT_EQ(datRemovableChannels(image, 0), 0);
}

} // namespace
