#include "link/cmcIpv4Address.h"
#include "link/cmcSerialSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct SettingsCase {
    const char* text;
    int baud;
    bool parityCheck;
    int dataBits;
    cmcStopBits stopBits;
    bool usable;
};

const SettingsCase settingsCases[] = {
    {"9600,n,8,1", 9600, false, 8, cmcStopBits::One, true},
    {"38400,N,8,1", 38400, false, 8, cmcStopBits::One, true},
    {"9600,n,9,1", 9600, false, 8, cmcStopBits::One, true},          // data bits clamped down
    {"9600,n,3,1", 9600, false, 4, cmcStopBits::One, true},          // and up
    {"9600,n,8,1.5", 9600, false, 8, cmcStopBits::OneAndHalf, true}, //
    {"9600,n,8,2", 9600, false, 8, cmcStopBits::Two, true},
    {"9600,n,8,3", 9600, false, 8, cmcStopBits::One, true}, // anything else is one
    {"9600,o,8,1", 9600, true, 8, cmcStopBits::One, true},
    {"9600,M,8,1", 9600, true, 8, cmcStopBits::One, true},
    {"9600,e,8,1", 9600, false, 8, cmcStopBits::One, true},  // only M and O switch checking on
    {"9600x,n,8,1", 9600, false, 8, cmcStopBits::One, true}, // leading digits only
    {"fast,n,8,1", 0, false, 8, cmcStopBits::One, false},    // no digits: baud 0
    {"9600,n,8", 9600, false, 8, cmcStopBits::One, false},   // stop bits missing
    {"9600", 9600, false, 4, cmcStopBits::One, false},       // missing fields read as empty
    {"", 0, false, 4, cmcStopBits::One, false},
};
} // namespace

TEST(SerialSettingsTest, FieldsAreReadAsTheScriptsWriteThem)
{
    for (const SettingsCase& c : settingsCases) {
        SCOPED_TRACE(c.text);
        const cmcSerialSettings s = ParseSerialSettings(c.text);
        EXPECT_EQ(s.baud, c.baud);
        EXPECT_EQ(s.parityCheck, c.parityCheck);
        EXPECT_EQ(s.dataBits, c.dataBits);
        EXPECT_EQ(s.stopBits, c.stopBits);
        EXPECT_EQ(s.Usable(), c.usable);
    }
}

TEST(Ipv4AddressTest, OnlyFourDecimalPartsAreAnAddress)
{
    EXPECT_EQ(ParseDottedIpv4("192.168.0.11"), 0xC0A8000Bu);
    EXPECT_EQ(ParseDottedIpv4("010.000.000.001"), 0x0A000001u); // decimal, not octal
    EXPECT_EQ(ParseDottedIpv4("255.255.255.255"), 0xFFFFFFFFu);
    for (const char* bad :
         {"radio.local", "localhost", "192.168.0", "192.168.0.1.5", "1234.0.0.1", "256.1.1.1", "127.1",
          "1.2.3.", ".1.2.3", "1..2.3", " 1.2.3.4", "1.2.3.4 ", "0x7f.0.0.1", ""}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParseDottedIpv4(bad).has_value());
    }
}
