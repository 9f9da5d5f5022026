#pragma once
// Timers on virtual time: Advance moves the clock forward and runs every tick that falls
// due, in time order (equal times in the order the timers were started). Installs itself
// for its lifetime.
#include "base/cmcTimerService.h"

#include <cstdint>
#include <map>

class cmcManualTimers final : public cmcTimerService {
public:
    explicit cmcManualTimers(std::uint32_t startMs = 0);
    ~cmcManualTimers() override;
    cmcManualTimers(const cmcManualTimers&) = delete;
    cmcManualTimers& operator=(const cmcManualTimers&) = delete;

    std::uint32_t NowMs() override { return static_cast<std::uint32_t>(now_); }
    std::unique_ptr<cmcTimerSlot> CreateSlot(std::function<void()> onTick) override;
    void Pass(std::uint32_t ms) override { now_ += ms; }

    // Runs every tick due up to now + ms, then leaves the clock at now + ms. A tick handler
    // may call Advance again (as a modal loop would); the nested call runs what falls due.
    void Advance(std::uint32_t ms);
    [[nodiscard]] int RunningTimers() const;

private:
    class Slot;
    struct Entry {
        std::function<void()> onTick;
        int interval = 0;
        bool running = false;
        std::uint64_t due = 0;
        std::uint64_t order = 0; // start sequence, breaks ties between equal due times
    };
    bool runNextDue(std::uint64_t until);

    std::uint64_t now_;
    std::uint64_t nextId_ = 1;
    std::uint64_t nextOrder_ = 1;
    std::map<std::uint64_t, Entry> entries_;
    cmcTimerService* previous_;
};
