#include "link/cmcTransmitPump.h"

#include <algorithm>

cmcTransmitPump::cmcTransmitPump(Device& device, Rules rules)
    : device_(device), rules_(rules), task_(std::make_unique<cmcTask>())
{
    task_->SetHandler([this](cmcTask&) { Step(); });
}

// A pump step calls nothing that could destroy the pump, so the task goes at once and no
// timer outlives its link; only from inside its own tick would it have to wait for the next.
cmcTransmitPump::~cmcTransmitPump()
{
    if (task_->InHandler()) {
        task_->SetPeriod(1); // running, so that Release leaves it to its next tick
        cmcTask::Release(std::move(task_));
    }
}

int cmcTransmitPump::Queue(const std::uint8_t* data, int count)
{
    if (count <= 0 || data == nullptr)
        return 0;
    if (rules_.limit > 0 && count >= rules_.limit - Pending())
        return 0;
    task_->SetPeriod(-1);
    buffer_.Append(data, count);
    Step();
    return count;
}

void cmcTransmitPump::Step()
{
    int next = -1;
    const int n = std::min(buffer_.Size(), PieceSize);
    if (n > 0 && !writeError_) {
        if (device_.QueuedBytes() > 0) {
            next = PeriodMs; // the previous piece is still on its way
        } else {
            const int sent = device_.Send(buffer_.Data(), n);
            if (sent >= n) {
                takeFront(n);
                if (buffer_.Size() > 0)
                    next = PeriodMs;
            } else if (rules_.shortWriteIsError) {
                // Only what the device took leaves the buffer, so nothing is sent twice.
                takeFront(std::max(sent, 0));
                writeError_ = true;
            } else if (sent > 0) {
                takeFront(sent);
                next = PeriodMs;
            }
        }
    }
    task_->SetPeriod(next);
}

void cmcTransmitPump::Reset()
{
    task_->SetPeriod(-1);
    buffer_.Clear();
    writeError_ = false;
}

void cmcTransmitPump::DropBuffered()
{
    buffer_.Clear();
}

void cmcTransmitPump::takeFront(int n)
{
    if (n >= buffer_.Size())
        buffer_.Clear();
    else
        buffer_.Assign(buffer_.Data() + n, buffer_.Size() - n);
}
