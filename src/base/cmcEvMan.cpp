#include "base/cmcEvMan.h"

#include "base/cmcFatal.h"
#include "base/cmcTask.h"

#include <utility>

namespace {
cmcEvMan*& installed()
{
    static cmcEvMan* evMan = nullptr;
    return evMan;
}

std::vector<std::byte> copyText(std::string_view text)
{
    const auto bytes = std::as_bytes(std::span(text.data(), text.size()));
    std::vector<std::byte> data(bytes.begin(), bytes.end());
    data.push_back(std::byte{0});
    return data;
}

std::vector<std::byte> copyData(std::span<const std::byte> data)
{
    return {data.begin(), data.end()};
}
} // namespace

// Marks one delivery in progress for its whole extent, also when a handler throws.
class cmcEvMan::DeliveryFrame {
public:
    DeliveryFrame(cmcEvMan& owner, cmcEvAnswers* answers) : owner_(owner)
    {
        owner_.deliveries_.push_back(answers);
    }
    ~DeliveryFrame() { owner_.deliveries_.pop_back(); }
    DeliveryFrame(const DeliveryFrame&) = delete;
    DeliveryFrame& operator=(const DeliveryFrame&) = delete;

private:
    cmcEvMan& owner_;
};

cmcEvMan::cmcEvMan() : task_(std::make_unique<cmcTask>())
{
    task_->SetHandler([this](cmcTask&) { dispatch(); });
    task_->SetPeriod(DispatchPeriodMs);
}

cmcEvMan::~cmcEvMan()
{
    if (installed() == this)
        installed() = nullptr;
    // Stopped first, so the task goes at once and no tick can reach the lists below.
    task_->Clear();
    cmcTask::Release(std::move(task_));
    queue_.clear();
    registrations_.clear();
}

void cmcEvMan::Register(cmcEvHandler handler, void* user)
{
    if (!handler)
        return;
    Unregister(handler, user);
    registrations_.push_front(Registration{handler, user});
}

void cmcEvMan::Unregister(cmcEvHandler handler, void* user)
{
    if (!handler)
        return;
    for (Registration& r : registrations_) {
        if (r.handler == handler && r.user == user)
            r.removed = true;
    }
}

void cmcEvMan::Post(cmcEvCode code, std::intptr_t arg1, std::intptr_t arg2)
{
    enqueue(cmcEvent{code, cmcEvMode::Queued, arg1, arg2, {}});
}

void cmcEvMan::Post(cmcEvCode code, std::intptr_t arg1, std::intptr_t arg2, std::string_view text)
{
    enqueue(cmcEvent{code, cmcEvMode::Queued, arg1, arg2, copyText(text)});
}

void cmcEvMan::Post(cmcEvCode code, std::span<const std::byte> data)
{
    enqueue(cmcEvent{code, cmcEvMode::Queued, 0, 0, copyData(data)});
}

void cmcEvMan::Send(cmcEvCode code, std::intptr_t arg1, std::intptr_t control)
{
    deliver(cmcEvent{code, cmcEvMode::Immediate, arg1, control, {}}, nullptr);
}

void cmcEvMan::Send(cmcEvCode code, std::string_view text)
{
    deliver(cmcEvent{code, cmcEvMode::Immediate, 0, 0, copyText(text)}, nullptr);
}

void cmcEvMan::Send(cmcEvCode code, std::intptr_t arg1, std::intptr_t arg2, std::string_view text)
{
    deliver(cmcEvent{code, cmcEvMode::Immediate, arg1, arg2, copyText(text)}, nullptr);
}

cmcEvAnswers cmcEvMan::Ask(cmcEvCode code, std::intptr_t arg1, std::intptr_t arg2)
{
    cmcEvAnswers answers;
    deliver(cmcEvent{code, cmcEvMode::Asked, arg1, arg2, {}}, &answers);
    return answers;
}

void cmcEvMan::Answer(std::intptr_t value)
{
    answer(cmcEvAns{value, 0, {}});
}

void cmcEvMan::Answer(std::intptr_t value, std::intptr_t second)
{
    answer(cmcEvAns{value, second, {}});
}

void cmcEvMan::Answer(std::span<const std::byte> data)
{
    answer(cmcEvAns{0, 0, copyData(data)});
}

void cmcEvMan::answer(cmcEvAns ans)
{
    if (deliveries_.empty() || !deliveries_.back())
        return;
    deliveries_.back()->push_back(std::move(ans));
}

void cmcEvMan::enqueue(cmcEvent event)
{
    queue_.push_back(QueueEntry{std::move(event)});
}

void cmcEvMan::deliver(const cmcEvent& event, cmcEvAnswers* answers)
{
    const DeliveryFrame frame(*this, answers);
    // Entries are never unlinked while a delivery runs, so the iterator stays valid while
    // handlers register (at the front, behind the walk) or unregister (flag only).
    for (auto it = registrations_.begin(); it != registrations_.end(); ++it) {
        if (!it->removed)
            it->handler(it->user, event);
    }
}

void cmcEvMan::dispatch()
{
    for (QueueEntry& entry : queue_)
        entry.fresh = false;

    bool deliveredAny = false;
    // Handlers may post: new entries go to the back with the fresh flag and are passed over.
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (it->fresh || it->delivered)
            continue;
        it->delivered = true;
        deliveredAny = true;
        deliver(it->event, nullptr);
    }

    queue_.remove_if([](const QueueEntry& entry) { return entry.delivered; });
    // A send outside the tick may still be walking the registrations (its handler pumps
    // events, as a modal box does, and so lets this tick run): unlinking waits until then.
    if (deliveries_.empty())
        registrations_.remove_if([](const Registration& r) { return r.removed; });

    if (!deliveredAny)
        Send(cmcEvCode::Idle, std::string_view{});
}

cmcEvMan& cmcEvents()
{
    if (!installed())
        cmcFatalStop("No event manager installed.");
    return *installed();
}

cmcEvMan* cmcSetEvMan(cmcEvMan* evMan)
{
    cmcEvMan* previous = installed();
    installed() = evMan;
    return previous;
}
