#pragma once
// The frame rules of the clone protocol, shared by the clone driver and, from the radio's
// side, by the radio simulator: hex templates, wake-up script segments, the ASCII
// hexadecimal data record with its checksum, and the text of the end frame.
//
// A frame on the wire is FE FE, the addresses (EE EF from the program, EF EE from the
// radio), a command byte, a body and FD. Since FE and FD delimit frames, memory data
// travels as upper-case ASCII hexadecimal text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class cmcBuff;

inline constexpr std::uint8_t cmcFrameStart = 0xFE;
inline constexpr std::uint8_t cmcFrameEnd = 0xFD;
inline constexpr std::uint8_t cmcAddrRadio = 0xEE;   // "to" in frames from the program
inline constexpr std::uint8_t cmcAddrProgram = 0xEF; // "from" in frames from the program
inline constexpr std::uint8_t cmcAck = 0xFB;         // ready, or block received
inline constexpr std::uint8_t cmcRefusal = 0xFA;

inline constexpr std::uint8_t cmcCmdInfoRequest = 0xE0;
inline constexpr std::uint8_t cmcCmdInfoAnswer = 0xE1;
inline constexpr std::uint8_t cmcCmdRead = 0xE2;
inline constexpr std::uint8_t cmcCmdWrite = 0xE3;
inline constexpr std::uint8_t cmcCmdData = 0xE4;
inline constexpr std::uint8_t cmcCmdEnd = 0xE5;
inline constexpr std::uint8_t cmcCmdWriteDone = 0xE6;
inline constexpr std::uint8_t cmcCmdService = 0xE8;

// The name every end frame carries before its frame count.
inline constexpr std::string_view cmcEndName = "Zelk Inc.";

// A hex template (already printf-formatted): every hexadecimal digit becomes a nibble,
// nibbles pair into bytes high nibble first, every other character is ignored; an odd last
// nibble becomes a byte whose low nibble is 0. Appends the bytes; answers how many.
int cmcAppendHexTemplate(cmcBuff& out, std::string_view text);
[[nodiscard]] std::vector<std::uint8_t> cmcHexTemplateBytes(std::string_view text);

// The byte as two upper-case ASCII hexadecimal digits (0x3C gives '3' 'C').
void cmcAppendAsciiHex(cmcBuff& out, std::uint8_t byte);
// The value of an upper-case hexadecimal digit character; -1 for any other character.
[[nodiscard]] int cmcUpperHexValue(std::uint8_t c);

// Two's complement of the sum of address high, address low, count and data, modulo 256,
// so that all bytes of a record, checksum included, add up to 0.
[[nodiscard]] std::uint8_t cmcRecordChecksum(int address, const std::uint8_t* data, int count);
// The record text "%04X%02X" of address and count, each data byte as two digits, then the
// checksum as two digits (address 0x0010 with 01 02 gives 0010020102EB).
void cmcAppendRecordText(cmcBuff& out, int address, const std::uint8_t* data, int count);

struct cmcDataRecord {
    int address = 0;
    std::vector<std::uint8_t> data;
};

enum class cmcRecordCheck {
    Ok,
    Length,    // the text length is 2 or 3 modulo 4
    Character, // a character other than '0'-'9', 'A'-'F'
    Count,     // the decoded bytes are not count + 4
    Checksum,  // the bytes do not add up to 0 modulo 256
};

// Decodes a record text (the body of a data frame after the command byte) by the rules
// the radio's records must follow; the record is filled only when the answer is Ok.
[[nodiscard]] cmcRecordCheck cmcDecodeRecordText(const std::uint8_t* text, int length, cmcDataRecord& record);

// The end frame's body: the name, then (withCount) the frame count modulo 256 as two
// upper-case ASCII hexadecimal digits.
void cmcAppendEndText(cmcBuff& out, int frameCount, bool withCount);
[[nodiscard]] std::string cmcEndText(int frameCount, bool withCount);

// One segment of a wake-up script. A segment that begins with '(' runs to the next ')' and
// holds line settings for the serial link; any other runs to the next '(' or the end and
// is a hex template without %-fields.
struct cmcScriptSegment {
    bool lineSettings = false;
    std::string text; // the settings without the parentheses, or the template
};

// Takes the first segment off the front of script (the whole script when the rest would
// be shorter than the segment). Call only while the script is not empty.
[[nodiscard]] cmcScriptSegment cmcTakeScriptSegment(std::string& script);
