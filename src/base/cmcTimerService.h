#pragma once
// The clock and the periodic timers that every wait and every background step use. The
// program installs the window system's timers; tests install cmcManualTimers and advance
// virtual time, so nothing ever sleeps.
#include <cstdint>
#include <functional>
#include <memory>

// One periodic timer. Ticks arrive on the window thread between other work.
class cmcTimerSlot {
public:
    virtual ~cmcTimerSlot() = default;
    virtual void Start(int intervalMs) = 0; // restarts with the interval (>= 1)
    virtual void Stop() = 0;
};

class cmcTimerService {
public:
    virtual ~cmcTimerService() = default;
    // Milliseconds of a monotonic clock, as a 32-bit counter that wraps.
    virtual std::uint32_t NowMs() = 0;
    virtual std::unique_ptr<cmcTimerSlot> CreateSlot(std::function<void()> onTick) = 0;
    // Lets ms of the clock pass without running any timer (a busy wait).
    virtual void Pass(std::uint32_t ms) = 0;
};

// The installed service; a manual one (time stands still) until the program installs its own.
cmcTimerService& cmcTimers();
// Installs service (not owned) and returns the previous one; nullptr restores the default.
cmcTimerService* cmcSetTimerService(cmcTimerService* service);
