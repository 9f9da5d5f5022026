#pragma once
// What the simulated radio is: its identity and clone information, its password, its last
// memory address, its line behaviour and the faults it shows on purpose; and the command
// line of torvane-radiosim that sets them.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Faults shown on purpose. They last for the whole run; stall and drop end the operation
// in which they happen (the radio answers again from the next information request on).
struct RadioSimFaults {
    bool silent = false;       // never answers anything
    bool refuse = false;       // answers a read or write request with 0xFA
    int badChecksumRecord = 0; // data record N (from 1) of a read carries a wrong checksum
    bool badCount = false;     // the end frame of a read counts one frame too many
    int stallAfter = -1;       // stops answering after N data frames of a read or write
    int dropAfter = -1;        // hangs up after N data frames of a read or write
    bool writeFail = false;    // ends every write with a failure status, memory unchanged
    int busyWrites = 0;        // ignores the first N write requests (not yet ready)
};

struct RadioSimConfig {
    std::uint16_t modelWord1 = 0x8826;
    std::uint16_t modelWord2 = 0x0000;
    std::uint8_t revision = 0x12; // main revision: 0 wants the older write handshake
    std::uint8_t mapRevision = 1; // memory map revision
    std::string password;         // clone password; empty: none
    bool passwordForRead = false; // the password is wanted for reading too
    int lastAddress = 0xFF7F;     // last memory address the radio reports and reads
    bool pace = false;            // send and take bytes at the wire speed of the current baud rate
    int baud = 9600;              // the radio's line speed at power-on
    bool echo = false;            // the cable echoes every byte the program sends
    int periodMs = 2;             // how often the radio looks at its line
    RadioSimFaults faults;
};

// Bytes in the clone information record.
inline constexpr int RadioSimInfoSize = 137;

// The clone information record the radio answers with: its count, comments, revisions,
// serial number, unit and option flags, password flags (bit 3: a password is set; bit 4:
// it is not wanted for reading), last address, checksums, network address and band edges.
[[nodiscard]] std::array<std::uint8_t, RadioSimInfoSize> RadioSimInfoRecord(const RadioSimConfig& config);

// Reads "NAME" or "NAME@N" into faults; false for an unknown name or a bad N.
[[nodiscard]] bool ParseRadioSimFault(const std::string& text, RadioSimFaults& faults);

// The command line of torvane-radiosim.
struct RadioSimOptions {
    RadioSimConfig config;
    std::string tcpHost;   // --tcp HOST:PORT
    int tcpPort = -1;      // -1: no TCP server
    bool pty = false;      // --pty
    std::string imagePath; // --image FILE; empty: the initial clone file
    std::string savePath;  // --save FILE, after every completed write
    std::string logPath;   // --log FILE
    std::string error;     // why the command line was refused; empty when accepted
};

// Reads the arguments (without the program name); on a refusal error says why.
[[nodiscard]] RadioSimOptions ParseRadioSimOptions(const std::vector<std::string>& arguments);
[[nodiscard]] const char* RadioSimUsage();
