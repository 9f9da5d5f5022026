#pragma once
// The simulated radio behind a pseudo-terminal, as the programming cable's serial line:
// the program opens the slave device, the radio reads and writes the master. The radio
// keeps the slave open itself, so the program may close and reopen the line (as the
// clone scripts do to switch speed) without the line going away. The program's line speed
// is read from the terminal settings it made.
#include "radiosim/RadioSimPort.h"

#include <cstdint>
#include <string>

class RadioSimPtyPort final : public RadioSimPort {
public:
    // How long a hung-up line stays dead (the cable pulled and plugged in again).
    static constexpr std::uint32_t DeadMs = 1000;

    RadioSimPtyPort() = default;
    ~RadioSimPtyPort() override;
    RadioSimPtyPort(const RadioSimPtyPort&) = delete;
    RadioSimPtyPort& operator=(const RadioSimPtyPort&) = delete;

    // Makes the pseudo-terminal (raw, 9600 baud); false with error on failure.
    bool Open(std::string& error);
    [[nodiscard]] const std::string& Path() const { return path_; }

    int Read(std::uint8_t* buffer, int capacity) override;
    int Write(const std::uint8_t* data, int count) override;
    void Hangup() override;
    [[nodiscard]] int ProgramBaud() const override;

private:
    [[nodiscard]] bool dead();

    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::uint32_t deadSince_ = 0;
    bool hungUp_ = false;
};
