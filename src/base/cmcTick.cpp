#include "base/cmcTick.h"

#include "base/cmcTimerService.h"

void cmcTick::Start(std::uint32_t ms)
{
    duration_ = ms;
    start_ = cmcTimers().NowMs();
    armed_ = true;
}

std::uint32_t cmcTick::Remaining()
{
    if (!armed_)
        return 0;
    const std::uint32_t elapsed = cmcTimers().NowMs() - start_; // modulo 2^32
    if (elapsed < duration_)
        return duration_ - elapsed;
    armed_ = false;
    return 0;
}

void cmcTick::Delay(std::uint32_t ms)
{
    cmcTick tick;
    tick.Start(ms);
    while (const std::uint32_t left = tick.Remaining())
        cmcTimers().Pass(left);
}
