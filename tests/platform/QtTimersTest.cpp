#include "base/cmcTask.h"
#include "platform/cmcQtTimers.h"

#include <QTest>

#include <gtest/gtest.h>

TEST(QtTimersTest, ClockWrapsAt32BitsAndPassLetsTimeGo)
{
    cmcQtTimers timers(0xFFFFFFFEu);
    EXPECT_EQ(&cmcTimers(), &timers);
    const std::uint32_t before = timers.NowMs();
    timers.Pass(3);
    const std::uint32_t after = timers.NowMs();
    EXPECT_GE(after - before, 3u);
    EXPECT_LT(after, before); // went past 2^32 and started again near zero
}

// The one test on real time: Qt timers tick, can be stopped, and a slot or a task may end
// from inside its own tick.
TEST(QtTimersTest, SlotsTickAndMayBeDestroyedInTheirOwnTick)
{
    cmcQtTimers timers;
    int reference = 0;
    int selfDestroying = 0;
    int stopped = 0;
    int taskRuns = 0;
    auto referenceSlot = timers.CreateSlot([&] { ++reference; });
    std::unique_ptr<cmcTimerSlot> shortLived;
    shortLived = timers.CreateSlot([&] {
        ++selfDestroying;
        shortLived.reset();
    });
    auto stoppedSlot = timers.CreateSlot([&] { ++stopped; });
    auto task = std::make_unique<cmcTask>();
    task->SetHandler([&](cmcTask& self) {
        ++taskRuns;
        EXPECT_FALSE(self.IsStopped()); // so Release lets it destroy itself at its next tick
        cmcTask::Release(std::move(task));
    });

    referenceSlot->Start(2);
    shortLived->Start(2);
    stoppedSlot->Start(2);
    stoppedSlot->Stop();
    task->SetPeriod(2);

    EXPECT_TRUE(QTest::qWaitFor([&] { return reference >= 10; }, 5000));
    EXPECT_EQ(selfDestroying, 1);
    EXPECT_EQ(shortLived, nullptr);
    EXPECT_EQ(stopped, 0);
    EXPECT_EQ(taskRuns, 1);
}

TEST(QtTimersTest, ServiceIsInstalledForItsLifetime)
{
    cmcTimerService* before = &cmcTimers();
    {
        cmcQtTimers timers;
        EXPECT_EQ(&cmcTimers(), &timers);
    }
    EXPECT_EQ(&cmcTimers(), before);
}
