#pragma once
// The line settings of the serial cable as the clone scripts write them: four
// comma-separated fields "baud,parity,data bits,stop bits", for example "9600,n,8,1".
#include <string>
#include <string_view>

enum class cmcStopBits { One, OneAndHalf, Two };

struct cmcSerialSettings {
    int baud = 0;                            // leading decimal digits of field 0; 0 when none
    bool parityCheck = false;                // 'M', 'm', 'O' or 'o' in field 1; the parity itself stays none
    int dataBits = 4;                        // field 2 clamped to 4..8
    cmcStopBits stopBits = cmcStopBits::One; // "1.5", "2", anything else one
    bool complete = false;                   // all four fields were there

    // A line can be opened with these settings: all fields there and a baud rate above 0.
    [[nodiscard]] bool Usable() const { return complete && baud > 0; }
    friend bool operator==(const cmcSerialSettings&, const cmcSerialSettings&) = default;
};

// Reads a settings string; a missing field reads as an empty text (baud 0, 4 data bits,
// one stop bit) and leaves the result incomplete.
[[nodiscard]] cmcSerialSettings ParseSerialSettings(std::string_view text);
