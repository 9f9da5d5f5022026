#pragma once
// The window system's clock and timers: QElapsedTimer for the millisecond clock and one
// precise QTimer per slot, ticking on the window thread while the event loop runs (also in
// the nested loops of modal boxes). Installs itself as the timer service for its lifetime.
#include "base/cmcTimerService.h"

#include <QElapsedTimer>

#include <cstdint>

class cmcQtTimers final : public cmcTimerService {
public:
    // startMs is the clock's value now; the clock then counts up from it and wraps at 2^32.
    explicit cmcQtTimers(std::uint32_t startMs = 0);
    ~cmcQtTimers() override;
    cmcQtTimers(const cmcQtTimers&) = delete;
    cmcQtTimers& operator=(const cmcQtTimers&) = delete;

    std::uint32_t NowMs() override;
    // The slot may be destroyed from inside its own tick.
    std::unique_ptr<cmcTimerSlot> CreateSlot(std::function<void()> onTick) override;
    // Waits on the clock, sleeping in short steps; no event is processed and no timer runs
    // meanwhile.
    void Pass(std::uint32_t ms) override;

private:
    class Slot;
    QElapsedTimer clock_;
    std::uint32_t startMs_;
    cmcTimerService* previous_;
};
