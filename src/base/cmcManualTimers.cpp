#include "base/cmcManualTimers.h"

#include <algorithm>
#include <utility>

class cmcManualTimers::Slot final : public cmcTimerSlot {
public:
    Slot(cmcManualTimers& owner, std::uint64_t id) : owner_(owner), id_(id) {}
    ~Slot() override { owner_.entries_.erase(id_); }
    void Start(int intervalMs) override
    {
        Entry& entry = owner_.entries_.at(id_);
        entry.interval = std::max(1, intervalMs);
        entry.running = true;
        entry.due = owner_.now_ + static_cast<std::uint64_t>(entry.interval);
        entry.order = owner_.nextOrder_++;
    }
    void Stop() override { owner_.entries_.at(id_).running = false; }

private:
    cmcManualTimers& owner_;
    std::uint64_t id_;
};

cmcManualTimers::cmcManualTimers(std::uint32_t startMs)
    : now_(startMs), previous_(cmcSetTimerService(this))
{
}

cmcManualTimers::~cmcManualTimers() { cmcSetTimerService(previous_); }

std::unique_ptr<cmcTimerSlot> cmcManualTimers::CreateSlot(std::function<void()> onTick)
{
    const std::uint64_t id = nextId_++;
    entries_[id].onTick = std::move(onTick);
    return std::make_unique<Slot>(*this, id);
}

void cmcManualTimers::Advance(std::uint32_t ms)
{
    const std::uint64_t until = now_ + ms;
    while (runNextDue(until)) {
    }
    now_ = std::max(now_, until);
}

bool cmcManualTimers::runNextDue(std::uint64_t until)
{
    auto next = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        const Entry& e = it->second;
        if (!e.running || e.due > until)
            continue;
        if (next == entries_.end() || e.due < next->second.due ||
            (e.due == next->second.due && e.order < next->second.order))
            next = it;
    }
    if (next == entries_.end())
        return false;
    Entry& entry = next->second;
    now_ = std::max(now_, entry.due);
    entry.due += static_cast<std::uint64_t>(entry.interval);
    entry.order = nextOrder_++;
    // Copy: the tick may destroy its own slot.
    const std::function<void()> onTick = entry.onTick;
    onTick();
    return true;
}

int cmcManualTimers::RunningTimers() const
{
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [](const auto& kv) { return kv.second.running; }));
}
