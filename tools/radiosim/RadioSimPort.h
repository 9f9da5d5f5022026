#pragma once
// The wire as the simulated radio sees it: bytes from the program come in, bytes to the
// program go out, never waiting. The in-memory link's radio end, a TCP connection and a
// pseudo-terminal each stand behind it.
#include <cstdint>

class RadioSimPort {
public:
    virtual ~RadioSimPort() = default;
    // Bytes from the program that have arrived, up to capacity; 0 when none.
    virtual int Read(std::uint8_t* buffer, int capacity) = 0;
    // Hands bytes to the wire; answers how many were taken (the rest stays with the radio
    // for later). Bytes sent while nobody listens are taken and lost, as on a real line.
    virtual int Write(const std::uint8_t* data, int count) = 0;
    // The radio hangs up: the connection is closed (network) or the line goes dead.
    virtual void Hangup() = 0;
    // The baud rate the program's end of a serial line runs at; 0 on a network link, which
    // has no line speed of its own to match.
    [[nodiscard]] virtual int ProgramBaud() const = 0;
};
