#include "platform/cmcQtTimers.h"

#include <chrono>
#include <thread>

#include <QTimer>

#include <algorithm>
#include <utility>

namespace {
// What a tick needs. The connection holds it too, so it outlives a slot that is destroyed
// while its own tick runs.
struct TickState {
    std::function<void()> onTick;
    int depth = 0;     // ticks of this slot on the stack
    bool alive = true; // false once the slot is gone
};
} // namespace

class cmcQtTimers::Slot final : public cmcTimerSlot {
public:
    explicit Slot(std::function<void()> onTick)
        : state_(std::make_shared<TickState>()), timer_(std::make_unique<QTimer>())
    {
        state_->onTick = std::move(onTick);
        timer_->setTimerType(Qt::PreciseTimer);
        timer_->setSingleShot(false);
        QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [state = state_] {
            const std::shared_ptr<TickState> keep = state; // the handler may destroy the slot
            if (!keep->alive)
                return;
            ++keep->depth;
            keep->onTick();
            --keep->depth;
        });
    }

    ~Slot() override
    {
        state_->alive = false;
        timer_->stop();
        if (state_->depth > 0) {
            // Destroyed from inside its own tick: the timer is still delivering the timeout,
            // so it (with the handler that is running) is deleted once control returns to
            // the event loop.
            timer_.release()->deleteLater();
        }
    }

    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

    void Start(int intervalMs) override { timer_->start(std::max(1, intervalMs)); }
    void Stop() override { timer_->stop(); }

private:
    std::shared_ptr<TickState> state_;
    std::unique_ptr<QTimer> timer_;
};

cmcQtTimers::cmcQtTimers(std::uint32_t startMs) : startMs_(startMs), previous_(cmcSetTimerService(this))
{
    clock_.start();
}

cmcQtTimers::~cmcQtTimers()
{
    cmcSetTimerService(previous_);
}

std::uint32_t cmcQtTimers::NowMs()
{
    // Modulo 2^32: the counter wraps like the system's millisecond tick count.
    return startMs_ + static_cast<std::uint32_t>(static_cast<std::uint64_t>(clock_.elapsed()));
}

std::unique_ptr<cmcTimerSlot> cmcQtTimers::CreateSlot(std::function<void()> onTick)
{
    return std::make_unique<Slot>(std::move(onTick));
}

void cmcQtTimers::Pass(std::uint32_t ms)
{
    // The thread does nothing else meanwhile, as a busy wait would, but leaves the processor
    // to others (the radio link's peer may run on the same machine).
    const std::uint32_t start = NowMs();
    while (NowMs() - start < ms)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}
