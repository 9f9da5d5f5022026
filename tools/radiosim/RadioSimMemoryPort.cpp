#include "radiosim/RadioSimMemoryPort.h"

#include "radiosim/RadioSim.h"

void RadioSimMemoryPort::Attach(RadioSim& sim)
{
    link_.SetLineListener([this, &sim](cmcMemoryLink::LineEvent event) {
        if (event == cmcMemoryLink::LineEvent::Opened && link_.LineKind() == cmcMemoryLink::Kind::Tcp)
            sim.NewSession();
    });
}

int RadioSimMemoryPort::Read(std::uint8_t* buffer, int capacity)
{
    return link_.RadioRead(buffer, capacity);
}

int RadioSimMemoryPort::Write(const std::uint8_t* data, int count)
{
    if (link_.RadioPending() > MaxInFlight)
        return 0;
    link_.RadioWrite(data, count); // on a line that is down the bytes are lost
    return count;
}

int RadioSimMemoryPort::ProgramBaud() const
{
    if (link_.LineKind() == cmcMemoryLink::Kind::Tcp)
        return 0;
    return link_.LineSettings().baud;
}
