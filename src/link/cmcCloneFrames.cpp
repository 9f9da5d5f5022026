#include "link/cmcCloneFrames.h"

#include "image/cmcBuff.h"

namespace {
int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr char upperDigits[] = "0123456789ABCDEF";
} // namespace

int cmcAppendHexTemplate(cmcBuff& out, std::string_view text)
{
    int count = 0;
    int high = -1; // the pending high nibble
    for (const char c : text) {
        const int v = hexDigitValue(c);
        if (v < 0)
            continue;
        if (high < 0) {
            high = v;
            continue;
        }
        out.AppendByte(static_cast<std::uint8_t>(high << 4 | v));
        high = -1;
        ++count;
    }
    if (high >= 0) {
        out.AppendByte(static_cast<std::uint8_t>(high << 4));
        ++count;
    }
    return count;
}

std::vector<std::uint8_t> cmcHexTemplateBytes(std::string_view text)
{
    cmcBuff buffer;
    cmcAppendHexTemplate(buffer, text);
    return {buffer.Data(), buffer.Data() + buffer.Size()};
}

void cmcAppendAsciiHex(cmcBuff& out, std::uint8_t byte)
{
    out.AppendByte(static_cast<std::uint8_t>(upperDigits[byte >> 4]));
    out.AppendByte(static_cast<std::uint8_t>(upperDigits[byte & 0x0F]));
}

int cmcUpperHexValue(std::uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::uint8_t cmcRecordChecksum(int address, const std::uint8_t* data, int count)
{
    unsigned sum = static_cast<unsigned>(address >> 8 & 0xFF) + static_cast<unsigned>(address & 0xFF) +
                   static_cast<unsigned>(count & 0xFF);
    for (int i = 0; i < count; ++i)
        sum += data[i];
    return static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
}

void cmcAppendRecordText(cmcBuff& out, int address, const std::uint8_t* data, int count)
{
    cmcAppendAsciiHex(out, static_cast<std::uint8_t>(address >> 8 & 0xFF));
    cmcAppendAsciiHex(out, static_cast<std::uint8_t>(address & 0xFF));
    cmcAppendAsciiHex(out, static_cast<std::uint8_t>(count & 0xFF));
    for (int i = 0; i < count; ++i)
        cmcAppendAsciiHex(out, data[i]);
    cmcAppendAsciiHex(out, cmcRecordChecksum(address, data, count));
}

cmcRecordCheck cmcDecodeRecordText(const std::uint8_t* text, int length, cmcDataRecord& record)
{
    // Whole records are an even number of bytes plus four: 4k characters. One stray last
    // character is tolerated (and ignored); two or three are not.
    if (length < 0 || (length & 2) != 0)
        return cmcRecordCheck::Length;
    for (int i = 0; i < length; ++i)
        if (cmcUpperHexValue(text[i]) < 0)
            return cmcRecordCheck::Character;
    const int byteCount = length / 2;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(byteCount));
    unsigned sum = 0;
    for (int i = 0; i < byteCount; ++i) {
        bytes[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(cmcUpperHexValue(text[2 * i]) << 4 | cmcUpperHexValue(text[2 * i + 1]));
        sum += bytes[static_cast<std::size_t>(i)];
    }
    if (byteCount < 4 || byteCount != bytes[2] + 4)
        return cmcRecordCheck::Count;
    if ((sum & 0xFF) != 0)
        return cmcRecordCheck::Checksum;
    record.address = bytes[0] << 8 | bytes[1];
    record.data.assign(bytes.begin() + 3, bytes.end() - 1);
    return cmcRecordCheck::Ok;
}

void cmcAppendEndText(cmcBuff& out, int frameCount, bool withCount)
{
    out.Append(reinterpret_cast<const std::uint8_t*>(cmcEndName.data()), static_cast<int>(cmcEndName.size()));
    if (withCount)
        cmcAppendAsciiHex(out, static_cast<std::uint8_t>(frameCount & 0xFF));
}

std::string cmcEndText(int frameCount, bool withCount)
{
    cmcBuff buffer;
    cmcAppendEndText(buffer, frameCount, withCount);
    return {reinterpret_cast<const char*>(buffer.Data()), static_cast<std::size_t>(buffer.Size())};
}

cmcScriptSegment cmcTakeScriptSegment(std::string& script)
{
    cmcScriptSegment segment;
    std::size_t length = 0;
    if (!script.empty() && script.front() == '(') {
        segment.lineSettings = true;
        const std::size_t close = script.find(')');
        length = close == std::string::npos ? script.size() : close + 1;
        segment.text = script.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        const std::size_t open = script.find('(');
        length = open == std::string::npos ? script.size() : open;
        segment.text = script.substr(0, length);
    }
    if (script.size() <= length)
        script.clear();
    else
        script.erase(0, length);
    return segment;
}
