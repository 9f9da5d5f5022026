#pragma once
// The transmit side every link shares: bytes written by the clone protocol wait in a
// transmit buffer, and a pump (a 10 ms timer task) hands them to the device in pieces of
// at most PieceSize bytes, a new piece only once the device has sent the previous one. So
// no write ever waits for the wire, and the device's own queue stays small.
#include "base/cmcTask.h"
#include "image/cmcBuff.h"

#include <cstdint>
#include <memory>

class cmcTransmitPump {
public:
    static constexpr int PieceSize = 1024;
    static constexpr int PeriodMs = 10;

    // What the pump writes to: a serial port, a socket, an in-memory line.
    class Device {
    public:
        virtual ~Device() = default;
        // Bytes handed over earlier that are not on the wire yet.
        [[nodiscard]] virtual int QueuedBytes() const = 0;
        // Hands count bytes over without waiting; answers how many were taken, -1 on error.
        virtual int Send(const std::uint8_t* data, int count) = 0;
    };

    struct Rules {
        // Largest total of bytes waiting (buffer and device queue); 0 for no limit.
        int limit = 0;
        // A device that takes fewer bytes than offered has failed (the serial port): the
        // pump stops and WriteError() is set. Otherwise (a socket) a partial send is
        // backpressure and the rest goes in a later step, while an error or nothing
        // taken stops the pump with the bytes kept.
        bool shortWriteIsError = true;
    };

    cmcTransmitPump(Device& device, Rules rules);
    ~cmcTransmitPump();
    cmcTransmitPump(const cmcTransmitPump&) = delete;
    cmcTransmitPump& operator=(const cmcTransmitPump&) = delete;

    // Queues count bytes and runs one pump step at once; answers count, or 0 when count
    // is not positive or the bytes would take the total waiting to the limit or beyond.
    int Queue(const std::uint8_t* data, int count);
    // One step: hand the next piece over when the device queue is empty, then run again
    // in PeriodMs while bytes remain (or the device is still busy), else stop.
    void Step();
    // Stops the pump, empties the buffer and clears the write error.
    void Reset();
    // Empties the buffer (bytes already handed to the device stay there).
    void DropBuffered();

    [[nodiscard]] int Buffered() const { return buffer_.Size(); }
    // Buffered bytes plus the device's queue.
    [[nodiscard]] int Pending() const { return buffer_.Size() + device_.QueuedBytes(); }
    [[nodiscard]] bool WriteError() const { return writeError_; }
    [[nodiscard]] bool IsRunning() const { return !task_->IsStopped(); }

private:
    void takeFront(int n);

    Device& device_;
    Rules rules_;
    cmcBuff buffer_;
    bool writeError_ = false;
    std::unique_ptr<cmcTask> task_;
};
