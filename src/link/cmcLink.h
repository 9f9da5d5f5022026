#pragma once
// The link to the radio as the clone protocol sees it: bytes in and out, never waiting.
// Writes go into a transmit buffer that a pump (a timer task) hands to the device in
// pieces; reads take what has arrived. The serial cable (cmcComm), the network adaptor
// (cmcTcpClient) and the in-memory pair of the tests implement it.
#include <cstdint>
#include <memory>
#include <string>

class cmcLink {
public:
    virtual ~cmcLink() = default;

    [[nodiscard]] virtual bool IsOpen() const = 0;
    // Stops the pump, closes the device, empties the transmit buffer, clears the write error.
    virtual void Close() = 0;
    // Queues count bytes for sending; answers the bytes queued (0 when closed or full).
    virtual int Write(const std::uint8_t* data, int count) = 0;
    // Up to capacity bytes that have arrived; 0 at once when nothing has.
    virtual int Read(std::uint8_t* buffer, int capacity) = 0;
    // Bytes queued and not yet on the wire (transmit buffer and device queue).
    [[nodiscard]] virtual int OutputPending() const = 0;
    // A write handed fewer bytes to the device than asked.
    [[nodiscard]] virtual bool WriteError() const = 0;
    // A network link is open while its connection is still being made; the serial link is
    // connected whenever it is open.
    [[nodiscard]] virtual bool IsConnected() const { return IsOpen(); }
    // Forgets the bytes not yet sent (the clone driver does this on a time-out).
    virtual void DropOutput() {}
    // Why the last Open failed, in words for the user ("" when it did not fail or the reason
    // is unknown): the device is held by another process, permission is missing, ...
    [[nodiscard]] virtual std::string OpenFailureReason() const { return {}; }
};

// The serial cable: opened by port number with a settings string such as "9600,n,8,1".
class cmcSerialLink : public cmcLink {
public:
    virtual bool Open(int portNumber, const std::string& settings) = 0;
};

// The network adaptor: opened with a TCP port and a dotted IPv4 address (no name lookup).
class cmcTcpLink : public cmcLink {
public:
    virtual bool Open(int port, const std::string& address) = 0;
};

// Makes the links the clone driver owns; the program makes the real ones, tests in-memory
// ones connected to a simulated radio.
class cmcLinkFactory {
public:
    virtual ~cmcLinkFactory() = default;
    virtual std::unique_ptr<cmcSerialLink> CreateSerial() = 0;
    virtual std::unique_ptr<cmcTcpLink> CreateTcp() = 0;
};
