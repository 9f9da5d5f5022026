#pragma once
// A radio of this family as the clone protocol sees it from the radio's side: it answers
// the information request with its clone information, sends its memory as data records for
// a read, takes data records for a write (committing them only when the write completes),
// honours the clone password, the older write handshake, the line-speed switch and the
// network adaptor's accessory items, and can show the faults of RadioSimFaults on purpose.
//
// It looks at its port every periodMs on a cmcTask of the installed timer service, so it
// runs on virtual time in tests and on the event loop in torvane-radiosim. A serial line
// whose program end runs at another baud rate than the radio garbles every byte: the radio
// then hears nothing it understands and its answers never arrive.
#include "radiosim/RadioSimConfig.h"
#include "radiosim/RadioSimPort.h"

#include "image/cmcEeprom.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class cmcTask;

// One frame (or single answer byte) on the wire, as the frame log keeps it.
struct RadioSimFrame {
    std::uint32_t ms = 0;     // since the radio started
    bool fromProgram = false; // direction
    int preamble = 0;         // 0xFE bytes before the frame's own FE FE (from the program)
    int baud = 0;             // the radio's line speed then
    std::vector<std::uint8_t> bytes;
};

// What the network adaptor accessory took from the accessory items.
struct RadioSimAccessory {
    std::vector<std::uint8_t> items; // sub-commands in the order received
    std::uint8_t dhcp = 0;
    std::array<std::uint8_t, 4> address{};
    std::array<std::uint8_t, 4> mask{};
    std::array<std::uint8_t, 4> gateway{};
};

class RadioSim {
public:
    RadioSim(RadioSimConfig config, RadioSimPort& port);
    ~RadioSim();
    RadioSim(const RadioSim&) = delete;
    RadioSim& operator=(const RadioSim&) = delete;

    // The radio's memory; addresses 0 to the last address travel.
    void SetMemory(const cmcEeprom& image);
    [[nodiscard]] const cmcEeprom& Memory() const { return memory_; }
    void SetModelWords(std::uint16_t word1, std::uint16_t word2);
    [[nodiscard]] const RadioSimConfig& Config() const { return config_; }

    // Starts and stops looking at the port.
    void Start();
    void Stop();
    // One look at the port: take what arrived, answer, send what the wire takes.
    void Poll();
    // A new connection: whatever the last one unlocked or began is forgotten.
    void NewSession();

    // Each frame as a log line, as it is sent or completed.
    void SetLogSink(std::function<void(const std::string& line)> sink) { logSink_ = std::move(sink); }
    // Called after every completed write (memory committed).
    void SetWriteListener(std::function<void()> listener) { writeListener_ = std::move(listener); }

    [[nodiscard]] const std::vector<RadioSimFrame>& Frames() const { return frames_; }
    // Frames of one command byte in one direction (single answer bytes count as their byte).
    [[nodiscard]] int CountFrames(std::uint8_t command, bool fromProgram) const;
    [[nodiscard]] int LineBaud() const { return lineBaud_; }
    [[nodiscard]] int CompletedWrites() const { return completedWrites_; }
    [[nodiscard]] bool Unlocked() const { return unlocked_; }
    [[nodiscard]] const RadioSimAccessory& Accessory() const { return accessory_; }
    // The last address a read sends: the reported last address rounded up to its 16 bytes.
    [[nodiscard]] int ReadEnd() const { return (config_.lastAddress & ~0xF) + 15; }

    static std::string FormatFrame(const RadioSimFrame& frame);

private:
    void receive(const std::uint8_t* data, int count);
    void handleFrame(const std::vector<std::uint8_t>& frame, int preamble);
    void handleInfoRequest(const std::vector<std::uint8_t>& frame);
    void handleReadRequest();
    void handleWriteRequest();
    void handleData(const std::vector<std::uint8_t>& frame);
    void handleEnd(const std::vector<std::uint8_t>& frame);
    void handleService(const std::vector<std::uint8_t>& frame);
    void handleAccessory(std::uint8_t sub, const std::uint8_t* args, int count);
    void handlePassword(const std::uint8_t* args, int count);
    [[nodiscard]] bool locked(bool forRead) const;
    void produceReadFrames();
    // Applies the stall and drop faults after frames data frames; true when the radio stops.
    bool stopAfterFrames(int frames);
    void flushOutput();
    void receivePaced();

    void queue(const std::vector<std::uint8_t>& bytes);
    void queueByte(std::uint8_t b);
    void log(bool fromProgram, int preamble, const std::vector<std::uint8_t>& bytes);
    [[nodiscard]] bool lineGarbled() const;

    RadioSimConfig config_;
    RadioSimPort& port_;
    cmcEeprom memory_;
    std::unique_ptr<cmcTask> task_;
    std::uint32_t startMs_ = 0;
    int lineBaud_;

    // Frame assembly.
    std::vector<std::uint8_t> frame_;
    int feRun_ = 0;
    int preamble_ = 0;

    // Output and pacing.
    std::deque<std::uint8_t> out_;
    std::uint32_t paceMs_ = 0;
    long long paceBits_ = 0;
    // With pacing the program's bytes also reach the radio no faster than the line carries
    // them (a pseudo-terminal has no line speed of its own): taken from the port at once,
    // so the line speed they were sent at is judged then, and handed on at the line rate.
    std::deque<std::uint8_t> in_;
    std::uint32_t inputMs_ = 0;
    long long inputBits_ = 0;
    bool hangupWhenSent_ = false;

    // Session.
    bool unlocked_ = false;
    bool writeDirection_ = false;
    bool stalled_ = false;
    int busyLeft_;

    // Read.
    bool reading_ = false;
    int readAddress_ = 0;
    int readFrames_ = 0;

    // Write.
    bool writing_ = false;
    bool writeBad_ = false;
    int writeFrames_ = 0;
    std::vector<std::uint8_t> staged_;
    int completedWrites_ = 0;

    RadioSimAccessory accessory_;
    std::vector<RadioSimFrame> frames_;
    std::function<void(const std::string&)> logSink_;
    std::function<void()> writeListener_;
};
