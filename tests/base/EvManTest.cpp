#include "base/cmcEvMan.h"
#include "base/cmcManualTimers.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// What one handler saw of one event.
struct Seen {
    std::string who;
    cmcEvCode code;
    cmcEvMode mode;
    std::intptr_t arg1;
    std::intptr_t arg2;
    std::vector<std::byte> data;
    std::uint32_t atMs;
};

// A handler object: the user pointer is the listener, the function is shared, so the pair
// (onEvent, &listener) is the registration identity. An optional action runs after the
// event is logged.
struct Listener {
    std::string name;
    std::vector<Seen>* log;
    std::function<void(const cmcEvent&)> action;
};

cmcManualTimers* virtualClock = nullptr;

void onEvent(void* user, const cmcEvent& event)
{
    auto* self = static_cast<Listener*>(user);
    self->log->push_back(Seen{self->name, event.code, event.mode, event.arg1, event.arg2, event.data,
                              virtualClock ? virtualClock->NowMs() : 0u});
    if (self->action)
        self->action(event);
}

// Another function with the same user pointer is another registration.
void onEventToo(void* user, const cmcEvent& event)
{
    onEvent(user, event);
}

std::span<const std::byte> bytesOf(const char* text, std::size_t length)
{
    return std::as_bytes(std::span(text, length));
}

class EvManTest : public testing::Test {
protected:
    EvManTest() { virtualClock = &timers; }
    ~EvManTest() override { virtualClock = nullptr; }

    Listener& listener(const std::string& name)
    {
        listeners.push_back(std::make_unique<Listener>(Listener{name, &log, {}}));
        return *listeners.back();
    }
    void add(Listener& l) { ev->Register(onEvent, &l); }

    // The handlers that saw an event with this code, in calling order.
    std::vector<std::string> whoSaw(cmcEvCode code) const
    {
        std::vector<std::string> names;
        for (const Seen& s : log)
            if (s.code == code)
                names.push_back(s.who);
        return names;
    }
    std::vector<cmcEvCode> codesSeenBy(const std::string& name, bool withIdle = false) const
    {
        std::vector<cmcEvCode> codes;
        for (const Seen& s : log)
            if (s.who == name && (withIdle || s.code != cmcEvCode::Idle))
                codes.push_back(s.code);
        return codes;
    }

    cmcManualTimers timers; // first: outlives the manager's task
    std::unique_ptr<cmcEvMan> ev = std::make_unique<cmcEvMan>();
    std::vector<Seen> log;
    std::vector<std::unique_ptr<Listener>> listeners;
};

using Code = cmcEvCode;

TEST_F(EvManTest, RegistrationOrderReplacementAndNullHandler)
{
    Listener& a = listener("a");
    Listener& b = listener("b");
    add(a);
    add(b);
    ev->Send(Code::RedrawAll);
    EXPECT_EQ(whoSaw(Code::RedrawAll), (std::vector<std::string>{"b", "a"})); // newest first

    // Registering a again leaves one registration of it, now at the front.
    add(a);
    ev->Send(Code::RefreshMenus);
    EXPECT_EQ(whoSaw(Code::RefreshMenus), (std::vector<std::string>{"a", "b"}));

    // The same function with another user pointer, or another function with the same user
    // pointer, is a registration of its own.
    ev->Register(onEventToo, &a);
    ev->Send(Code::RefreshToolBar);
    EXPECT_EQ(whoSaw(Code::RefreshToolBar), (std::vector<std::string>{"a", "a", "b"}));
    ev->Unregister(onEventToo, &a);

    ev->Register(nullptr, &a);
    ev->Unregister(nullptr, &b);
    ev->Unregister(onEvent, &b);
    ev->Send(Code::CommitEdits);
    EXPECT_EQ(whoSaw(Code::CommitEdits), (std::vector<std::string>{"a"}));

    // Unlinking at the next tick keeps the remaining registration intact.
    timers.Advance(cmcEvMan::DispatchPeriodMs);
    ev->Send(Code::UpdateTree);
    EXPECT_EQ(whoSaw(Code::UpdateTree), (std::vector<std::string>{"a"}));
}

TEST_F(EvManTest, SendDeliversAtOnceWithOwnedCopies)
{
    Listener& a = listener("a");
    add(a);
    std::string text = "GI_Sheet_Win_AD";
    ev->Send(Code::ControlDestroyed, 7, 0x1234);
    ev->Send(Code::CloseAdjustWindow, text);
    ev->Send(Code::StatusText, -1, 0xFFFFFF, text);
    text = "changed";
    ASSERT_EQ(log.size(), 3u);

    EXPECT_EQ(log[0].mode, cmcEvMode::Immediate);
    EXPECT_EQ(log[0].arg1, 7);
    EXPECT_EQ(log[0].arg2, 0x1234);
    EXPECT_TRUE(log[0].data.empty());

    // Texts arrive with their NUL.
    for (const Seen& s : {log[1], log[2]}) {
        ASSERT_EQ(s.data.size(), std::strlen("GI_Sheet_Win_AD") + 1);
        EXPECT_EQ(s.data.back(), std::byte{0});
        EXPECT_EQ(cmcEvDataText(s.data), "GI_Sheet_Win_AD");
    }
    EXPECT_EQ(log[1].arg1, 0);
    EXPECT_EQ(log[2].arg1, -1);
    EXPECT_EQ(log[2].arg2, 0xFFFFFF);

    // Sent events are not queued: the next tick delivers only the idle event.
    log.clear();
    timers.Advance(cmcEvMan::DispatchPeriodMs);
    EXPECT_EQ(codesSeenBy("a", true), (std::vector<Code>{Code::Idle}));
}

TEST_F(EvManTest, PostWaitsForTheTickAndKeepsPostingOrder)
{
    Listener& a = listener("a");
    add(a);
    std::string text = "GI_Tree_Bank";
    const char block[] = {'x', '\0', 'y'};
    ev->Post(Code::ShowAbout);
    ev->Post(Code::SetBankCaption, 0, 3, text);
    ev->Post(Code::RedrawIndex, bytesOf(block, sizeof block));
    ev->Post(Code::RedrawAll, 0, static_cast<std::intptr_t>(-5));
    text = "overwritten";
    EXPECT_TRUE(log.empty());

    timers.Advance(cmcEvMan::DispatchPeriodMs - 1);
    EXPECT_TRUE(log.empty());
    timers.Advance(1);
    EXPECT_EQ(codesSeenBy("a", true),
              (std::vector<Code>{Code::ShowAbout, Code::SetBankCaption, Code::RedrawIndex, Code::RedrawAll}));
    for (const Seen& s : log)
        EXPECT_EQ(s.mode, cmcEvMode::Queued);
    EXPECT_EQ(log[1].arg2, 3);
    EXPECT_EQ(cmcEvDataText(log[1].data), "GI_Tree_Bank");
    // A data block keeps its length, embedded NULs included, and reads as text only up to
    // the first NUL.
    ASSERT_EQ(log[2].data.size(), 3u);
    EXPECT_EQ(log[2].data[2], std::byte{'y'});
    EXPECT_EQ(cmcEvDataText(log[2].data), "x");
    EXPECT_EQ(log[3].arg2, -5);

    // Delivered once only.
    log.clear();
    timers.Advance(cmcEvMan::DispatchPeriodMs);
    EXPECT_EQ(codesSeenBy("a", true), (std::vector<Code>{Code::Idle}));
}

TEST_F(EvManTest, EventsPostedDuringATickWaitForTheNextTickInOrder)
{
    Listener& a = listener("a");
    a.action = [&](const cmcEvent& e) {
        if (e.code == Code::RebuildTree) {
            ev->Post(Code::RefreshBankImages);
            ev->Post(Code::RedrawAll);
        }
    };
    add(a);
    ev->Post(Code::RebuildTree);
    timers.Advance(cmcEvMan::DispatchPeriodMs);
    EXPECT_EQ(codesSeenBy("a", true), (std::vector<Code>{Code::RebuildTree}));
    timers.Advance(cmcEvMan::DispatchPeriodMs);
    EXPECT_EQ(codesSeenBy("a", true),
              (std::vector<Code>{Code::RebuildTree, Code::RefreshBankImages, Code::RedrawAll}));
    EXPECT_EQ(log[1].atMs, 2u * cmcEvMan::DispatchPeriodMs);
    EXPECT_EQ(log[2].atMs, 2u * cmcEvMan::DispatchPeriodMs);
}

TEST_F(EvManTest, IdleEventOnlyAtTicksThatDeliveredNothing)
{
    Listener& a = listener("a");
    a.action = [&](const cmcEvent& e) {
        if (e.code == Code::Idle && e.mode == cmcEvMode::Immediate && e.HasData() && e.Text().empty() &&
            e.data.size() == 1)
            ev->Post(Code::RedrawAll); // only when the idle event looks as promised
    };
    add(a);
    // Tick 1: empty queue, so idle (whose handler posts); tick 2: delivers that event and
    // has no idle; tick 3: idle again.
    timers.Advance(3 * cmcEvMan::DispatchPeriodMs);
    EXPECT_EQ(codesSeenBy("a", true), (std::vector<Code>{Code::Idle, Code::RedrawAll, Code::Idle}));
    EXPECT_EQ(log[0].atMs, 10u);
    EXPECT_EQ(log[1].atMs, 20u);
    EXPECT_EQ(log[2].atMs, 30u);
}

TEST_F(EvManTest, UnregisterDuringDeliveryTakesEffectAtOnce)
{
    Listener& a = listener("a");
    Listener& b = listener("b");
    Listener& c = listener("c");
    add(c);
    add(b);
    add(a); // order a, b, c
    // a drops itself and b, then sends a nested event: neither is called again, not even
    // by the walks already under way.
    a.action = [&](const cmcEvent& e) {
        if (e.code != Code::RedrawAll)
            return;
        ev->Unregister(onEvent, &a);
        ev->Unregister(onEvent, &b);
        ev->Send(Code::RedrawFromIndex, 0, 4);
    };
    ev->Send(Code::RedrawAll);
    EXPECT_EQ(whoSaw(Code::RedrawAll), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(whoSaw(Code::RedrawFromIndex), (std::vector<std::string>{"c"}));

    timers.Advance(cmcEvMan::DispatchPeriodMs);
    ev->Post(Code::RefreshSheetTitle);
    timers.Advance(cmcEvMan::DispatchPeriodMs);
    EXPECT_EQ(whoSaw(Code::RefreshSheetTitle), (std::vector<std::string>{"c"}));
}

TEST_F(EvManTest, RegistrationDuringDeliveryJoinsFromTheNextEvent)
{
    Listener& a = listener("a");
    Listener& late = listener("late");
    a.action = [&](const cmcEvent& e) {
        if (e.code == Code::RedrawAll)
            add(late);
    };
    add(a);
    ev->Send(Code::RedrawAll);
    EXPECT_EQ(whoSaw(Code::RedrawAll), (std::vector<std::string>{"a"}));
    ev->Send(Code::RefreshMenus);
    EXPECT_EQ(whoSaw(Code::RefreshMenus), (std::vector<std::string>{"late", "a"}));

    // A handler that re-registers itself during a walk misses the rest of that walk only.
    log.clear();
    late.action = [&](const cmcEvent& e) {
        if (e.code == Code::RefreshToolBar)
            add(late);
    };
    ev->Send(Code::RefreshToolBar);
    ev->Send(Code::RefreshToolBar);
    EXPECT_EQ(whoSaw(Code::RefreshToolBar), (std::vector<std::string>{"late", "a", "late", "a"}));
}

TEST_F(EvManTest, HandlerThatSendsIsServedBeforeItContinues)
{
    Listener& a = listener("a");
    Listener& b = listener("b");
    add(b);
    add(a);
    std::vector<std::string> order;
    a.action = [&](const cmcEvent& e) {
        if (e.code != Code::RefreshCommands)
            return;
        ev->Send(Code::RefreshMenus);
        ev->Send(Code::RefreshToolBar);
        order.push_back("a done");
    };
    b.action = [&](const cmcEvent& e) { order.push_back("b " + std::to_string(static_cast<int>(e.code))); };
    ev->Send(Code::RefreshCommands);
    EXPECT_EQ(order, (std::vector<std::string>{"b 9", "b 20", "a done", "b 2"}));
    EXPECT_EQ(whoSaw(Code::RefreshMenus), (std::vector<std::string>{"a", "b"}));
}

TEST_F(EvManTest, AskCollectsTheAnswersOfItsOwnQuestionOnly)
{
    // Nobody answers: none.
    Listener& quiet = listener("quiet");
    add(quiet);
    EXPECT_TRUE(ev->Ask(Code::AskCurrentCell, 0x42).empty());

    // Two handlers answer, the first called first; all three answer forms.
    Listener& grid = listener("grid");
    Listener& sheet = listener("sheet");
    grid.action = [&](const cmcEvent& e) {
        if (e.code == Code::AskPopupOpen && e.arg2 == 0x99)
            ev->Answer(1);
        if (e.code == Code::AskChannelPosition)
            ev->Answer(3, 17);
    };
    sheet.action = [&](const cmcEvent& e) {
        if (e.code == Code::AskChannelPosition) {
            const char cell[] = {'c', 'e', 'l', 'l'};
            ev->Answer(bytesOf(cell, sizeof cell));
        }
    };
    add(grid);
    add(sheet); // sheet is called first
    const cmcEvAnswers position = ev->Ask(Code::AskChannelPosition, 0, 5);
    ASSERT_EQ(position.size(), 2u);
    EXPECT_EQ(std::string(position[0].Text()), "cell");
    EXPECT_EQ(position[0].data.size(), 4u);
    EXPECT_EQ(position[1].value, 3);
    EXPECT_EQ(position[1].second, 17);
    EXPECT_FALSE(position[1].HasData());
    EXPECT_EQ(whoSaw(Code::AskChannelPosition), (std::vector<std::string>{"sheet", "grid", "quiet"}));
    EXPECT_EQ(log.back().mode, cmcEvMode::Asked);

    const cmcEvAnswers open = ev->Ask(Code::AskPopupOpen, 0, 0x99);
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].value, 1);
    EXPECT_EQ(open[0].second, 0);
    EXPECT_TRUE(ev->Ask(Code::AskPopupOpen, 0, 0x98).empty());
}

TEST_F(EvManTest, NestedQuestionsAndStrayAnswersStayApart)
{
    Listener& outer = listener("outer");
    Listener& inner = listener("inner");
    cmcEvAnswers nested;
    outer.action = [&](const cmcEvent& e) {
        if (e.code != Code::AskCurrentCell)
            return;
        ev->Answer(1);
        nested = ev->Ask(Code::AskCurrentRow); // asked while answering
        ev->Send(Code::RedrawAll);             // not a question: answers to it are dropped
        ev->Answer(2);
    };
    inner.action = [&](const cmcEvent& e) {
        if (e.code == Code::AskCurrentRow)
            ev->Answer(10);
        if (e.code == Code::RedrawAll)
            ev->Answer(99);
        if (e.code == Code::AskCurrentCell)
            ev->Answer(3);
    };
    add(inner);
    add(outer); // outer first
    const cmcEvAnswers answers = ev->Ask(Code::AskCurrentCell);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0].value, 1);
    EXPECT_EQ(answers[1].value, 2);
    EXPECT_EQ(answers[2].value, 3);
    ASSERT_EQ(nested.size(), 1u);
    EXPECT_EQ(nested[0].value, 10);

    // An answer outside any question, or to a queued event, goes nowhere.
    ev->Answer(5);
    inner.action = [&](const cmcEvent&) { ev->Answer(6); };
    ev->Post(Code::RedrawAll);
    timers.Advance(cmcEvMan::DispatchPeriodMs);
    inner.action = nullptr;
    EXPECT_TRUE(ev->Ask(Code::AskCurrentRow).empty());
}

TEST_F(EvManTest, TickIsNotReenteredByAHandlerThatPumpsEvents)
{
    Listener& a = listener("a");
    a.action = [&](const cmcEvent& e) {
        if (e.code == Code::ShowAbout) {
            ev->Post(Code::RedrawAll);
            timers.Advance(50); // a modal box: timer ticks arrive while it is open
        }
    };
    add(a);
    ev->Post(Code::ShowAbout);
    ev->Post(Code::RefreshSheetTitle);
    timers.Advance(cmcEvMan::DispatchPeriodMs);
    // No tick ran inside the box: neither idle nor the event posted there, and the second
    // event of the interrupted tick was delivered after the box closed.
    EXPECT_EQ(codesSeenBy("a", true), (std::vector<Code>{Code::ShowAbout, Code::RefreshSheetTitle}));
    EXPECT_EQ(log[1].atMs, 60u);
    timers.Advance(cmcEvMan::DispatchPeriodMs);
    EXPECT_EQ(codesSeenBy("a", true),
              (std::vector<Code>{Code::ShowAbout, Code::RefreshSheetTitle, Code::RedrawAll}));
}

TEST_F(EvManTest, TickInsideASendKeepsTheWalkIntact)
{
    // A sent event whose first handler drops itself and the next one and then pumps events:
    // the ticks that run meanwhile must not unlink entries that the walk still stands on.
    Listener& a = listener("a");
    Listener& b = listener("b");
    Listener& c = listener("c");
    add(c);
    add(b);
    add(a);
    a.action = [&](const cmcEvent& e) {
        if (e.code != Code::CommitEdits)
            return;
        ev->Unregister(onEvent, &a);
        ev->Unregister(onEvent, &b);
        timers.Advance(3 * cmcEvMan::DispatchPeriodMs);
    };
    ev->Send(Code::CommitEdits);
    EXPECT_EQ(whoSaw(Code::CommitEdits), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(whoSaw(Code::Idle), (std::vector<std::string>{"c", "c", "c"}));

    // Once the walk is over, the next tick unlinks them; c stays.
    timers.Advance(cmcEvMan::DispatchPeriodMs);
    ev->Send(Code::RefreshMenus);
    EXPECT_EQ(whoSaw(Code::RefreshMenus), (std::vector<std::string>{"c"}));
}

TEST_F(EvManTest, DestructionDiscardsTheQueueAndStopsTheTimer)
{
    Listener& a = listener("a");
    add(a);
    ev->Post(Code::RedrawAll);
    ev->Post(Code::SetBankCaption, 0, 1, "Bank 1");
    EXPECT_EQ(timers.RunningTimers(), 1);
    ev.reset();
    EXPECT_EQ(timers.RunningTimers(), 0);
    timers.Advance(5 * cmcEvMan::DispatchPeriodMs);
    EXPECT_TRUE(log.empty());
}

TEST_F(EvManTest, ProcessWideInstance)
{
    const FatalCatcher catcher;
    cmcSetEvMan(nullptr);
    EXPECT_THROW(cmcEvents(), FatalStop);

    EXPECT_EQ(cmcSetEvMan(ev.get()), nullptr);
    EXPECT_EQ(&cmcEvents(), ev.get());
    // A manager destroyed while installed does not leave a dangling instance behind.
    ev.reset();
    EXPECT_THROW(cmcEvents(), FatalStop);
    EXPECT_EQ(cmcSetEvMan(nullptr), nullptr);
}

} // namespace
