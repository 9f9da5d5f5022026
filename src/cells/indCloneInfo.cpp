#include "cells/indCloneInfo.h"

#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/clPopupMenu.h"

#include <optional>

namespace {

int hexDigit(std::uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isDecimal(std::uint8_t c)
{
    return c >= '0' && c <= '9';
}

// A revision byte: high nibble major, low nibble minor (0x12 gives 1.2).
std::string revision(std::uint8_t b)
{
    return Format("%d.%d", b >> 4, b & 0x0F);
}

// A checksum field: its leading hexadecimal digits (at most 4); none when its first byte is 0.
std::optional<int> checksum(const indCloneInfo& info, int offset)
{
    if (info.At(offset) == 0)
        return std::nullopt;
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexDigit(info.At(offset + i));
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

std::string hex4(int value)
{
    return Format("%04X", value);
}
std::string dollar(std::optional<int> value)
{
    return value ? Format("$%04X", *value) : std::string();
}
// " ($XXXX)" after a revision, when the checksum exists.
std::string suffix(std::optional<int> value)
{
    return value ? Format(" ($%04X)", *value) : std::string();
}

// The four bytes of the PC board's network address (8 hexadecimal characters at 87).
std::string boardAddress(const indCloneInfo& info)
{
    int octets[4] = {};
    for (int i = 0; i < 4; ++i) {
        const int high = hexDigit(info.At(87 + 2 * i));
        const int low = hexDigit(info.At(88 + 2 * i));
        octets[i] = (high < 0 ? 0 : high) * 16 + (low < 0 ? 0 : low);
    }
    return Format("%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);
}

// The band edges in whole MHz; both 0 unless the lower edge starts with decimal digits (up
// to 5, ended early by a zero byte) and the upper edge has 5.
std::string bandLine(const indCloneInfo& info)
{
    int lower = 0;
    int lowerDigits = 0;
    bool sound = true;
    for (int i = 0; i < 5 && info.At(127 + i) != 0; ++i) {
        if (!isDecimal(info.At(127 + i))) {
            sound = false;
            break;
        }
        lower = lower * 10 + (info.At(127 + i) - '0');
        ++lowerDigits;
    }
    int upper = 0;
    for (int i = 0; i < 5 && sound; ++i) {
        if (!isDecimal(info.At(132 + i)))
            sound = false;
        else
            upper = upper * 10 + (info.At(132 + i) - '0');
    }
    if (!sound || lowerDigits == 0)
        lower = upper = 0;
    return Format("%d - %d MHz", lower / 10, upper / 10);
}

std::string options(const indCloneInfo& info)
{
    cmcGTex& texts = MainText();
    std::string out;
    const auto line = [&out](const std::string& text) { out += text + "\n"; };
    const std::uint8_t b50 = info.At(50);
    if (b50 & 0x20)
        line(texts.GetText((b50 & 0x10) ? "GI_Mess_CloneInfo_Opt_Qv44" : "GI_Mess_CloneInfo_Opt_Qv43"));
    if (b50 & 0x04)
        line(texts.GetText("GI_Mess_CloneInfo_Opt_Qv42"));
    if (b50 & 0x08)
        line(texts.GetText("GI_Mess_CloneInfo_Opt_Qv45"));
    if (info.At(51) & 0x40)
        line(texts.GetText("GI_Mess_CloneInfo_Opt_Qv41"));
    if (info.FrontPresent())
        line(texts.GetText("GI_Mess_CloneInfo_Opt_FrontPanel") +
             Format(" ($%04X)", checksum(info, 72).value_or(0)));
    if (info.BoardsPresent())
        line(texts.GetText("GI_Mess_CloneInfo_Opt_PCBoard") +
             (info.BoardAddressPresent() ? Format(" (%s)", boardAddress(info).c_str()) : std::string()));
    return out;
}

std::string dspRevision(const indCloneInfo& info)
{
    return Format("%c.%c", info.At(76), info.At(77));
}

void put(indCloneInfo& info, int offset, std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        info.bytes[static_cast<std::size_t>(offset) + i] = static_cast<std::uint8_t>(text[i]);
}

} // namespace

std::string indCloneInfo::Text(int offset, int count) const
{
    std::string text;
    for (int i = 0; i < count && offset + i < indCloneInfoSize; ++i)
        text += static_cast<char>(At(offset + i));
    return text;
}

int indCloneInfo::LastAddress() const
{
    int address = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexDigit(At(56 + i));
        address = address * 16 + (digit < 0 ? 0 : digit);
    }
    return address;
}

indCloneInfo indSampleCloneInfo()
{
    indCloneInfo info;
    info.word1 = 0x8826;
    info.word2 = 0x0000;
    info.bytes[0] = indCloneInfoSize;
    put(info, 2, "SAMPLE RECORD   ");
    put(info, 18, "NOT FROM A RADIO");
    info.bytes[34] = 0x21; // main revision 2.1
    info.bytes[35] = 0x01; // memory map revision
    put(info, 37, "000A0B00000C");
    info.bytes[49] = 0x01;
    info.bytes[50] = 0x24; // option 3, option 2
    info.bytes[51] = 0x50; // DSP present, option 1
    info.bytes[52] = 0xC0; // front unit; MCU, SCU and PC board
    info.bytes[53] = 0x01; // PC board address present
    put(info, 56, "FF7F");
    put(info, 60, "1A2B");
    put(info, 72, "3C4D");
    put(info, 76, "15");
    put(info, 82, "5E6F");
    put(info, 87, "C0A8000B");
    info.bytes[99] = 0x11;
    info.bytes[100] = 0x0A;
    info.bytes[101] = 0x13;
    info.bytes[102] = 0x14;
    put(info, 103, "7A8B");
    put(info, 107, "9C0D");
    put(info, 127, "01360");
    put(info, 132, "01740");
    return info;
}

std::string indCloneInfoText(const indCloneInfo& info, clLogic logic)
{
    using L = clLogic;
    const std::optional<int> mainSum = checksum(info, 60);
    const std::optional<int> frontSum = checksum(info, 72);
    const std::optional<int> dspSum = checksum(info, 82);
    const std::optional<int> fpgaSum = checksum(info, 103);
    const std::optional<int> scuSum = checksum(info, 107);
    const std::string none = "----";
    const bool dspRev = info.DspPresent() && info.At(76) != 0;
    switch (logic) {
    case L::CL_CloneInfo_Model:
        return MainText().GetText("GI_Mess_CloneInfo_Model") + "\n" + bandLine(info);
    case L::CL_CloneInfo_Revision:
        return revision(info.MainRevision());
    case L::CL_CloneInfo_Revision_DSP:
        return dspRev ? dspRevision(info) : std::string();
    case L::CL_CloneInfo_Revision_FPGA:
        return revision(info.At(100));
    case L::CL_CloneInfo_Revision_Front:
        return info.FrontPresent() ? revision(info.At(99)) : none;
    case L::CL_CloneInfo_Revision_MCU:
        return info.BoardsPresent() ? revision(info.At(101)) : none;
    case L::CL_CloneInfo_Revision_SCU:
        return info.BoardsPresent() ? revision(info.At(102)) : none;
    case L::CL_CloneInfo_CheckSum:
        return dollar(mainSum);
    case L::CL_CloneInfo_CheckSum_DSP:
        return info.DspPresent() ? dollar(dspSum) : std::string();
    case L::CL_CloneInfo_CheckSum_FPGA:
        return dollar(fpgaSum);
    case L::CL_CloneInfo_CheckSum_Front:
        return frontSum && info.FrontPresent() ? dollar(frontSum) : none;
    case L::CL_CloneInfo_CheckSum_MCU:
        return none;
    case L::CL_CloneInfo_CheckSum_SCU:
        return scuSum && info.BoardsPresent() ? dollar(scuSum) : none;
    case L::CL_CloneInfo_RevSum_MainDspFpga:
        return revision(info.MainRevision()) + " ($" + hex4(mainSum.value_or(0)) + " " +
               hex4(dspSum.value_or(0)) + " " + hex4(fpgaSum.value_or(0)) + ")";
    case L::CL_CloneInfo_RevSum_Main:
        return revision(info.MainRevision()) + " ($" + hex4(mainSum.value_or(0)) + ")";
    case L::CL_CloneInfo_RevSum_DSP:
        return dspRev && dspSum ? dspRevision(info) + suffix(dspSum) : none;
    case L::CL_CloneInfo_RevSum_FPGA:
        return revision(info.At(100)) + suffix(fpgaSum);
    case L::CL_CloneInfo_RevSum_Front:
        return info.FrontPresent() ? revision(info.At(99)) + suffix(frontSum) : none;
    case L::CL_CloneInfo_RevSum_MCU:
        return info.BoardsPresent() ? revision(info.At(101)) : none;
    case L::CL_CloneInfo_RevSum_SCU:
        return info.BoardsPresent() ? revision(info.At(102)) + suffix(scuSum) : none;
    case L::CL_CloneInfo_Comment1:
    case L::CL_CloneInfo_Comment2: {
        // A zero byte ends the comment early.
        std::string text = info.Text(logic == L::CL_CloneInfo_Comment1 ? 2 : 18, 16);
        return text.substr(0, text.find('\0'));
    }
    case L::CL_CloneInfo_Option:
        return options(info);
    case L::CL_CloneInfo_OverVolt:
        return info.OverVoltage() ? MainText().GetText("GI_Mess_CloneInfo_OverVolt") : std::string();
    case L::CL_CloneInfo_Esn:
        return clSerialNumberText(info.SerialNumber()).value_or(" ");
    case L::CL_CloneInfo_IpAddress:
        return info.BoardsPresent() && info.BoardAddressPresent() ? boardAddress(info) : none;
    default:
        return {};
    }
}
