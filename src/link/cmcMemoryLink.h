#pragma once
// A link pair in memory, for tests and the radio simulator. The program's end is a
// cmcSerialLink or a cmcTcpLink (from CreateSerial, CreateTcp or Factory()) with the same
// transmit pump as the real links; the radio's end is a byte pipe read and written with
// the Radio... operations. Both ends of one pair share one line: one program end holds it
// while open, as one driver uses one link at a time.
//
// Time is the installed timer service's clock, so tests run on virtual time. With pacing
// on, bytes travel at the line's baud rate (10 bits a byte) and become readable at the
// other end only once their wire time has passed; without it they arrive at once. A TCP
// end connects a configurable time after Open. The radio learns the line settings of
// every serial open (the clone scripts reopen the line to switch its speed).
#include "link/cmcLink.h"
#include "link/cmcSerialSettings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class cmcMemoryLink {
public:
    enum class Kind { None, Serial, Tcp };
    enum class LineEvent { Opened, Closed, Dropped };

    // One attempt of a program end to open the line.
    struct OpenRequest {
        Kind kind = Kind::None;
        int port = 0;     // serial port number or TCP port
        std::string text; // settings string or address
        int attempt = 0;  // attempts before this one, failed ones included
    };

    static constexpr int TcpBufferLimit = 32000;

    cmcMemoryLink();
    ~cmcMemoryLink();
    cmcMemoryLink(const cmcMemoryLink&) = delete;
    cmcMemoryLink& operator=(const cmcMemoryLink&) = delete;

    // ---- the program's end
    [[nodiscard]] std::unique_ptr<cmcSerialLink> CreateSerial();
    [[nodiscard]] std::unique_ptr<cmcTcpLink> CreateTcp();
    // Makes ends of this pair; lives as long as the pair.
    [[nodiscard]] cmcLinkFactory& Factory();

    // An open succeeds when filter answers true (and the request itself is sound: usable
    // serial settings, a dotted IPv4 address, a TCP port of 1 to 65535, the line not held
    // by another end); a refused open reports reason as its OpenFailureReason.
    void SetOpenFilter(std::function<bool(const OpenRequest&)> filter, std::string reason = {});
    // Every open fails (true) or succeeds (false) from now on.
    void FailOpens(bool fail, std::string reason = {});
    // A TCP end counts as connected ms after its Open; a negative ms never connects.
    void SetConnectDelay(int ms);
    // Pacing in both directions: a serial line runs at the baud rate of its settings, a
    // TCP line at tcpBaud (the adaptor's cable to the radio).
    void SetPacing(bool on, int tcpBaud = 38400);
    // The devices of the program's ends take only bytes more bytes in all, then write
    // short (a serial end then reports WriteError); negative: no limit.
    void FailWritesAfter(int bytes);

    // ---- the radio's end
    // Bytes from the program that have arrived, up to capacity; 0 when none.
    int RadioRead(std::uint8_t* buffer, int capacity);
    std::vector<std::uint8_t> RadioReadAll();
    [[nodiscard]] int RadioAvailable() const;
    // Sends bytes to the program's end; answers count, or 0 when the line is not up (no
    // end open, or dropped), and then the bytes are lost as on a dead line.
    int RadioWrite(const std::uint8_t* data, int count);
    int RadioWrite(const std::vector<std::uint8_t>& bytes);
    // Bytes the radio sent that have not reached the program's end yet.
    [[nodiscard]] int RadioPending() const;
    // The radio hangs up (or the cable is pulled): bytes in flight are lost, and until a
    // program end opens the line again its writes vanish and nothing arrives. The
    // program's end does not notice, as a real link does not.
    void Drop();

    // A program end holds the line, it is not dropped, and a TCP end has connected.
    [[nodiscard]] bool IsLineUp() const;
    // The kind of the end that holds the line; None while no end is open.
    [[nodiscard]] Kind LineKind() const;
    // The settings of the latest serial open and their text.
    [[nodiscard]] const cmcSerialSettings& LineSettings() const;
    [[nodiscard]] const std::string& LineSettingsText() const;
    // Port number (serial) or TCP port, and the address, of the latest open.
    [[nodiscard]] int LinePort() const;
    [[nodiscard]] const std::string& LineAddress() const;
    // Settings texts of every successful serial open, in order.
    [[nodiscard]] const std::vector<std::string>& SerialOpenHistory() const;
    // Successful opens so far (each new connection, each speed switch).
    [[nodiscard]] int Opens() const;
    // Told of every open, close and drop of the line, after it happened. The listener and
    // the open filter are forgotten when the pair is destroyed; whoever set them and goes
    // first while ends still live clears them (nullptr).
    void SetLineListener(std::function<void(LineEvent)> listener);

    struct Line; // the state both ends share (defined with the ends)

private:
    class EndFactory;
    std::shared_ptr<Line> line_;
    std::unique_ptr<EndFactory> factory_;
};
