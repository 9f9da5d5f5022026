#pragma once
// The simulated radio on the radio's end of an in-memory link pair: the tests run the
// clone driver against it on virtual time. A new TCP connection begins a new session, as
// the network adaptor's connection does; the radio learns the program's line speed from
// the settings of the latest serial open.
#include "link/cmcMemoryLink.h"
#include "radiosim/RadioSimPort.h"

class RadioSim;

class RadioSimMemoryPort final : public RadioSimPort {
public:
    // Output is held back while this many bytes are still on their way to the program.
    static constexpr int MaxInFlight = 4096;

    explicit RadioSimMemoryPort(cmcMemoryLink& link) : link_(link) {}
    // Tells sim of every new network connection (takes the link's line listener).
    void Attach(RadioSim& sim);

    int Read(std::uint8_t* buffer, int capacity) override;
    int Write(const std::uint8_t* data, int count) override;
    void Hangup() override { link_.Drop(); }
    [[nodiscard]] int ProgramBaud() const override;

private:
    cmcMemoryLink& link_;
};
