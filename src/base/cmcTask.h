#pragma once
// A periodic step on the window thread: the handler is called every period milliseconds
// by a timer of the installed timer service. The re-entrancy guard keeps a handler that
// pumps events (a modal box) from being entered again by its own ticks.
#include "base/cmcTimerService.h"

#include <functional>
#include <memory>

class cmcTask {
public:
    using Handler = std::function<void(cmcTask& task)>;

    cmcTask();
    ~cmcTask();
    cmcTask(const cmcTask&) = delete;
    cmcTask& operator=(const cmcTask&) = delete;

    void SetHandler(Handler handler) { handler_ = std::move(handler); }
    // ms < 0 stops the timer; otherwise it runs with interval ms (0 is taken as 1).
    // Returns true when the timer ended up stopped.
    bool SetPeriod(int ms);
    [[nodiscard]] int Period() const { return period_; }
    [[nodiscard]] bool IsStopped() const { return stopped_; }
    [[nodiscard]] bool InHandler() const { return inHandler_; }
    // Removes the handler and stops the timer.
    void Clear();

    // How an owner lets go of its task: a stopped task is destroyed at once; a running one
    // (it may be running the very handler that destroys the owner) is cleared and destroys
    // itself at its next tick.
    static void Release(std::unique_ptr<cmcTask> task);

private:
    void tick();
    void destroyLater(std::unique_ptr<cmcTask> self);

    Handler handler_;
    int period_ = -1;
    bool inHandler_ = false;
    bool destroyPending_ = false;
    bool stopped_ = true;
    std::unique_ptr<cmcTimerSlot> slot_;
    std::unique_ptr<cmcTask> self_; // set while destruction is pending
};
