#include "base/cmcTask.h"

cmcTask::cmcTask() : slot_(cmcTimers().CreateSlot([this] { tick(); })) {}

cmcTask::~cmcTask() = default;

bool cmcTask::SetPeriod(int ms)
{
    period_ = ms;
    if (ms < 0) {
        slot_->Stop();
        stopped_ = true;
    } else {
        slot_->Start(ms == 0 ? 1 : ms);
        stopped_ = false;
    }
    return stopped_;
}

void cmcTask::Clear()
{
    handler_ = nullptr;
    SetPeriod(-1);
}

void cmcTask::Release(std::unique_ptr<cmcTask> task)
{
    if (!task)
        return;
    if (task->stopped_)
        return; // destroyed here
    cmcTask& t = *task;
    t.Clear();
    t.destroyLater(std::move(task));
}

void cmcTask::destroyLater(std::unique_ptr<cmcTask> self)
{
    self_ = std::move(self);
    destroyPending_ = true;
    SetPeriod(1);
}

void cmcTask::tick()
{
    if (destroyPending_) {
        self_.reset(); // deletes this; nothing of it may be touched afterwards
        return;
    }
    if (inHandler_ || !handler_)
        return;
    inHandler_ = true;
    // Copy: the handler may replace itself.
    const Handler handler = handler_;
    handler(*this);
    inHandler_ = false;
}
