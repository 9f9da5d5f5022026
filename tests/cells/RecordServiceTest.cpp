#include "RecordTestImage.h"

#include "base/cmcEvMan.h"
#include "base/cmcManualTimers.h"
#include "base/cmcScriptedResponder.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordService.h"
#include "image/cmcBigEndian.h"
#include "support/ShippedTexts.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct Raised {
    cmcEvCode code;
    cmcEvMode mode;
    std::intptr_t arg1;
    std::intptr_t arg2;
    friend bool operator==(const Raised&, const Raised&) = default;
};

std::ostream& operator<<(std::ostream& out, const Raised& r)
{
    return out << "{" << static_cast<int>(r.code) << " mode " << static_cast<int>(r.mode) << " " << r.arg1
               << " " << r.arg2 << "}";
}

class RecordServiceTest : public testing::Test {
protected:
    RecordServiceTest()
    {
        datSwitches() = {};
        MakeBlankImage(image);
        MakeDefaultImage(defaults);
        service.emplace(events, image, defaults);
        events.Register(&RecordServiceTest::onEvent, this);
    }
    ~RecordServiceTest() override { events.Unregister(&RecordServiceTest::onEvent, this); }

    static void onEvent(void* user, const cmcEvent& event)
    {
        const int code = static_cast<int>(event.code);
        if ((code >= 28 && code <= 35) || event.code == cmcEvCode::Idle)
            return; // the requests themselves, and the dispatcher's idle turns
        static_cast<RecordServiceTest*>(user)->raised.push_back(
            {event.code, event.mode, event.arg1, event.arg2});
    }

    // Sends the event, lets the dispatcher deliver what was posted, and answers what followed.
    std::vector<Raised> send(cmcEvCode code, std::intptr_t arg1, std::intptr_t arg2)
    {
        raised.clear();
        events.Send(code, arg1, arg2);
        timers.Advance(cmcEvMan::DispatchPeriodMs);
        return raised;
    }

    int be16At(int place) const { return GetBE16(image.Bytes() + place); }

    cmcManualTimers timers;
    cmcEvMan events;
    ShippedTexts texts;
    cmcScriptedResponder boxes;
    SwitchesGuard guard;
    cmcEeprom image;
    cmcEeprom defaults;
    std::optional<datRecordService> service;
    std::vector<Raised> raised;
};

constexpr auto Now = cmcEvMode::Immediate;
constexpr auto Later = cmcEvMode::Queued;

TEST_F(RecordServiceTest, ChannelEventsMoveRecordsCountAndPack)
{
    datSetChannelCount(image, 0, 3);
    for (int i = 0; i < 3; ++i)
        ProgramChannel(image, i, 150'000'000u + static_cast<std::uint32_t>(i), "CH" + std::to_string(i));
    ASSERT_FALSE(Static2Dynamic(image, false));
    const int usedEnd = be16At(datUsedEndPlace);
    const int channelEnd = be16At(datChannelEndPlace);

    EXPECT_EQ(send(cmcEvCode::InsertChannel, 0, 1),
              (std::vector<Raised>{{cmcEvCode::RefreshSheetTitle, Now, 0, 0},
                                   {cmcEvCode::RedrawAll, Later, 0, 0}}));
    EXPECT_EQ(datChannelCount(image, 0), 4);
    EXPECT_EQ(NameOf(image, 1), "BLANK       ");
    EXPECT_EQ(NameOf(image, 2), "CH1         ");
    EXPECT_EQ(be16At(datUsedEndPlace), usedEnd + 59); // main record and extension packed
    EXPECT_EQ(be16At(datChannelEndPlace), channelEnd + 59);

    EXPECT_EQ(send(cmcEvCode::DeleteChannel, 0, 0),
              (std::vector<Raised>{{cmcEvCode::RefreshSheetTitle, Now, 0, 0},
                                   {cmcEvCode::RedrawFromIndex, Now, 0, 0}}));
    EXPECT_EQ(datChannelCount(image, 0), 3);
    EXPECT_EQ(NameOf(image, 0), "BLANK       ");
    EXPECT_EQ(be16At(datUsedEndPlace), usedEnd);
}

TEST_F(RecordServiceTest, ListEventsAddAndRemoveRowsOfTheirTable)
{
    struct Table {
        cmcEvCode insert;
        cmcEvCode remove;
        int kind;
        int packedBytes; // bytes one more entry takes in the packed form
    };
    const Table tables[] = {
        {cmcEvCode::InsertRepeater, cmcEvCode::DeleteRepeater, datKindRepeater, 0}, // never packed
        {cmcEvCode::InsertIndividualId, cmcEvCode::DeleteIndividualId, datKindIndividualId, 16},
        {cmcEvCode::InsertTalkGroup, cmcEvCode::DeleteTalkGroup, datKindTalkGroup, 14},
    };
    for (const Table& t : tables) {
        SCOPED_TRACE(testing::Message() << "kind " << t.kind);
        MakeBlankImage(image);
        datSetUsedCount(image, t.kind, 0, 2);
        ASSERT_FALSE(Static2Dynamic(image, false));
        const int usedEnd = be16At(datUsedEndPlace);

        EXPECT_EQ(send(t.insert, 0, 2), (std::vector<Raised>{{cmcEvCode::AddRows, Now, 0, 0},
                                                             {cmcEvCode::RefreshSheetTitle, Now, 0, 0}}));
        EXPECT_EQ(datUsedCount(image, t.kind, 0), 3);
        EXPECT_EQ(be16At(datUsedEndPlace), usedEnd + t.packedBytes);

        EXPECT_EQ(send(t.remove, 0, 0), (std::vector<Raised>{{cmcEvCode::RemoveRows, Now, 0, 0},
                                                             {cmcEvCode::RefreshSheetTitle, Now, 0, 0},
                                                             {cmcEvCode::RedrawFromIndex, Now, 0, 0}}));
        EXPECT_EQ(datUsedCount(image, t.kind, 0), 2);
        EXPECT_EQ(be16At(datUsedEndPlace), usedEnd);
    }
}

TEST_F(RecordServiceTest, EventsThatCannotBeCarriedOutChangeNothing)
{
    datSetChannelCount(image, 0, 3);
    datSetIndividualIdCount(image, 500);
    datSetTalkGroupCount(image, 1);
    cmcEeprom before;
    before.CopyFrom(image);
    struct Case {
        cmcEvCode code;
        std::intptr_t arg1;
        std::intptr_t arg2;
    };
    const Case cases[] = {
        {cmcEvCode::InsertChannel, 0, 4},      // past the first blank row
        {cmcEvCode::InsertChannel, 1, 0},      // no second bank
        {cmcEvCode::InsertChannel, 0, -1},     // no such entry
        {cmcEvCode::DeleteChannel, 0, 3},      // past the used rows
        {cmcEvCode::InsertIndividualId, 0, 0}, // the list is full
        {cmcEvCode::DeleteTalkGroup, 0, 1},    // past the used rows
        {cmcEvCode::InsertRepeater, 1, 0},     // no second site
        {cmcEvCode::DeleteRepeater, 0, 0},     // no repeaters
        {cmcEvCode::InsertTalkGroup, 0, 1000}, // outside the table
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.code) << " " << c.arg1 << " " << c.arg2);
        EXPECT_FALSE(service->Handle(cmcEvent{c.code, cmcEvMode::Immediate, c.arg1, c.arg2, {}}));
        EXPECT_TRUE(send(c.code, c.arg1, c.arg2).empty());
        EXPECT_TRUE(image.Equals(before));
    }
    EXPECT_FALSE(service->Handle(cmcEvent{cmcEvCode::RedrawAll, cmcEvMode::Immediate, 0, 0, {}}));
}

TEST_F(RecordServiceTest, ADestroyedServiceNoLongerHandlesEvents)
{
    datSetChannelCount(image, 0, 1);
    service.reset();
    EXPECT_TRUE(send(cmcEvCode::InsertChannel, 0, 0).empty());
    EXPECT_EQ(datChannelCount(image, 0), 1);
}

} // namespace
