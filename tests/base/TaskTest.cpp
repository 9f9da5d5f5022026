#include "base/cmcManualTimers.h"
#include "base/cmcTask.h"
#include "base/cmcTick.h"

#include <gtest/gtest.h>

#include <vector>

TEST(TaskTest, PeriodZeroRunsEveryMillisecondAndNegativeStops)
{
    cmcManualTimers timers;
    cmcTask task;
    int calls = 0;
    task.SetHandler([&](cmcTask&) { ++calls; });
    EXPECT_FALSE(task.SetPeriod(0));
    timers.Advance(10);
    EXPECT_EQ(calls, 10);
    EXPECT_TRUE(task.SetPeriod(-1));
    timers.Advance(100);
    EXPECT_EQ(calls, 10);
    EXPECT_TRUE(task.IsStopped());
}

TEST(TaskTest, TasksRunInTimeOrder)
{
    cmcManualTimers timers;
    std::vector<int> order;
    cmcTask fast;
    cmcTask slow;
    fast.SetHandler([&](cmcTask&) { order.push_back(10); });
    slow.SetHandler([&](cmcTask&) { order.push_back(30); });
    slow.SetPeriod(30);
    fast.SetPeriod(10);
    timers.Advance(60);
    EXPECT_EQ(order, (std::vector<int>{10, 10, 30, 10, 10, 10, 30, 10}));
    EXPECT_EQ(timers.NowMs(), 60u);
}

TEST(TaskTest, HandlerThatPumpsEventsIsNotReentered)
{
    cmcManualTimers timers;
    cmcTask task;
    int depth = 0;
    int maxDepth = 0;
    int calls = 0;
    task.SetHandler([&](cmcTask&) {
        ++calls;
        maxDepth = std::max(maxDepth, ++depth);
        if (calls == 1)
            timers.Advance(50); // a modal box: ticks arrive while it is open
        --depth;
    });
    task.SetPeriod(10);
    timers.Advance(10);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(task.InHandler());
    timers.Advance(10);
    EXPECT_EQ(calls, 2);
}

TEST(TaskTest, ReleaseOfStoppedTaskDestroysAtOnceAndRunningOneAtNextTick)
{
    cmcManualTimers timers;
    auto stopped = std::make_unique<cmcTask>();
    cmcTask::Release(std::move(stopped));
    EXPECT_EQ(timers.RunningTimers(), 0);

    // A task whose handler destroys its owner: it is released from inside its own handler.
    struct Owner {
        std::unique_ptr<cmcTask> task = std::make_unique<cmcTask>();
    };
    auto owner = std::make_unique<Owner>();
    int calls = 0;
    owner->task->SetHandler([&](cmcTask&) {
        ++calls;
        cmcTask::Release(std::move(owner->task));
        owner.reset();
    });
    owner->task->SetPeriod(10);
    timers.Advance(10);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(timers.RunningTimers(), 1); // pending destruction at the next tick
    timers.Advance(5);
    EXPECT_EQ(timers.RunningTimers(), 0);
    EXPECT_EQ(calls, 1);
}

TEST(TickTest, RemainingCountsDownAndDisarms)
{
    cmcManualTimers timers;
    cmcTick tick;
    EXPECT_EQ(tick.Remaining(), 0u);
    tick.Start(350);
    EXPECT_EQ(tick.Remaining(), 350u);
    timers.Advance(349);
    EXPECT_EQ(tick.Remaining(), 1u);
    timers.Advance(1);
    EXPECT_EQ(tick.Remaining(), 0u);
    EXPECT_FALSE(tick.IsArmed());
    timers.Advance(1000);
    EXPECT_EQ(tick.Remaining(), 0u);
}

TEST(TickTest, DeadlineAcrossTheClockWrapExpiresAfterItsDuration)
{
    cmcManualTimers timers(0xFFFFFF00u);
    cmcTick tick;
    tick.Start(500);
    timers.Advance(499);
    EXPECT_LT(timers.NowMs(), 0x1000u); // the clock has wrapped
    EXPECT_EQ(tick.Remaining(), 1u);
    timers.Advance(1);
    EXPECT_EQ(tick.Remaining(), 0u);
}

TEST(TickTest, DelayLetsTimePassWithoutRunningTasks)
{
    cmcManualTimers timers;
    cmcTask task;
    int calls = 0;
    task.SetHandler([&](cmcTask&) { ++calls; });
    task.SetPeriod(10);
    cmcTick::Delay(100);
    EXPECT_EQ(timers.NowMs(), 100u);
    EXPECT_EQ(calls, 0);
}
