#include "initial-image/InitialImage.h"

#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "cells/datRecordLayout.h"
#include "cells/datSettingsMap.h"
#include "cells/datTables.h"
#include "cells/indModelData.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace {
// Bytes written into the static form (or the system area): `records` copies, `stride` apart.
struct Declared {
    int address;
    int records;
    int stride;
    std::string_view bytes;
};

using namespace std::string_view_literals;

// The radio's header fields and the values that are not blank texts or zero.
constexpr Declared kDeclared[] = {
    {0x0180, 1, 0, "\x88\x24"sv}, // model word of the system area
    {datSignaturePlace, 1, 0, "ZELK Inc"sv},
    {0x02AA, 1, 0, "\x88\x26"sv},               // model word
    {0xFF80 + 8, 32, 32, "\x80\x00\x80\x00"sv}, // channels: receive and transmit tone off
    {0x10554, 32, 12, "\xFF\xFF\xFF\xFF"sv},    // MSK call list: no address
    {0x121C7, 1, 16, "\x00\x00\x00\x01"sv},     // the one individual ID: 1
    {0x14109, 1, 14, "\x00\x01"sv},             // the one talk group: 1
};

// Settings a new document starts with, by the logic that edits them; every other setting
// is 0 (or blank, for texts). Every choice of the settings pages then shows an item of its
// list. (The MDC tables are not part of a new document: they come only with a radio image
// that holds them.)
struct DeclaredSetting {
    clLogic logic;
    int value;
};

using L = clLogic;
constexpr DeclaredSetting kSettings[] = {
    // MSK signalling: retries, the acknowledge window, the ANI display, the GPS interval
    {L::CL_Msk_TimingErr_NA, 3},
    {L::CL_Msk_TimingErr_NM, 3},
    {L::CL_Msk_TimingErr_NR, 3},
    {L::CL_Msk_TimingErr_TAC, 50},          // 0.50 s
    {L::CL_Msk_Cfg_Dec_ANI_Disp_Timer, 50}, // 5 s
    {L::CL_Msk_Cfg_Gps_IntervalTimer, 2},   // 1:00
    // digital: the whole block of group IDs, display and acknowledge timing, retries
    {L::CL_Digi_Grp_Set_BlockDecode_Max, 65519},
    {L::CL_Digi_Grp_Set_BlockDecode_Min, 1},
    {L::CL_Digi_Grp_Op_Disp_Timer, 50}, // 5 s
    {L::CL_Digi_Config_Ack_RX_Wait, 1000},
    {L::CL_Digi_Config_Attempt_No, 3},
    {L::CL_Digi_RMONI_TXTimer, 10},
    {L::CL_Digi_Expert_FS38_Attack, 3},
    {L::CL_Digi_Expert_FS20_Attack, 3},
    {L::CL_Digi_Expert_N5_BitError, 4},
    {L::CL_Digi_Expert_N6_BitError, 8},
    {L::CL_Digi_Expert_N7_BitError, 4},
    {L::CL_Digi_Expert_N7_Counter, 3},
    {L::CL_Digi_Expert_N5_Counter, 3},
    {L::CL_Digi_Expert_LET, 100}, // 0.1 s
    {L::CL_Digi_Expert_RAN_Det_Count, 2},
    {L::CL_Digi_Expert_RAN_Undet_Count, 5},
    // CW identification: every 10 minutes, 20 words per minute, 800 Hz, no tone
    {L::CL_CW_ID_Interval, 10},
    {L::CL_CW_Speed, 20},
    {L::CL_CW_AudioFreq, 800},
    {L::CL_CW_EncodeWithCTone, 0x8000},
    // the radio's set mode: backlight auto, contrast in the middle, beeps on at level 5
    {L::CL_SetM_Backlight, 2},
    {L::CL_SetM_LcdContrast_Lv128, 64},
    {L::CL_SetM_BeepOn, 1},
    {L::CL_SetM_BeepLev, 5},
    {L::CL_SetM_RingerLev, 5},
    {L::CL_SetM_SqlLev, 2},
    {L::CL_SetM_MicGain, 5},
    {L::CL_SetM_VoxDelay, 1},
    // the user may change backlight, contrast, beep, levels, squelch, mic gain; information
    {L::CL_USetM_Backlight, 1},
    {L::CL_USetM_LcdContrast, 1},
    {L::CL_USetM_BeepOn, 1},
    {L::CL_USetM_BeepLev, 1},
    {L::CL_USetM_RingerLev, 1},
    {L::CL_USetM_SqlLev, 1},
    {L::CL_USetM_MicGain, 1},
    {L::CL_USetM_Information, 1},
    // common: 3-minute time-out timer, power save after 5 s, battery warnings at 7.0/6.6 V
    {L::CL_Comm_Tot_Timer, 180},
    {L::CL_Comm_PwrSave_Timer1, 50},
    {L::CL_Comm_ManDown_ReCycle, 1},
    {L::CL_Comm_Volt_Threshold1, 700},
    {L::CL_Comm_Volt_Threshold2, 660},
    {L::CL_Exp_UserCtcss, 1000}, // 100.0 Hz
    {L::CL_Exp_BeepFreq_Low, 1000},
    {L::CL_Exp_BeepFreq_High, 2000},
    // DTMF: 50 ms digits and gaps, 100 ms for the first digit and for '*' and '#'
    {L::CL_Dtmf_DtmfTimer, 5},
    {L::CL_Dtmf_FirstTimer, 10},
    {L::CL_Dtmf_MarkTimer, 10},
    {L::CL_Dtmf_NotoneTimer, 5},
    // scan: stop 5 s, resume 2 s, vote levels at -100 dBm
    {L::CL_ScanComm_StopTimer, 50},
    {L::CL_ScanComm_ResumeTimer, 20},
    {L::CL_ScanComm_ScanTimer_Fast, 50},
    {L::CL_ScanComm_ScanTimer_Slow, 20},
    {L::CL_ScanComm_VoteLevel_Fast, -100},
    {L::CL_ScanComm_VoteLevel_L2, -100},
    {L::CL_ScanComm_VoteLevel_L0, -100},
    // two-tone and five-tone: 0.10 s gap, group tone A, repeat tone E, link tone F (none)
    {L::CL_2T_NotoneTimer, 10},
    {L::CL_5TTx_SpTone_Group, 10},
    {L::CL_5TTx_SpTone_Repeat, 14},
    {L::CL_5TTx_SpTone_Link2, 15},
    // maker settings that have no meaning at 0
    {L::CL_Maker_Dtcs_Decode, 16},
    {L::CL_Maker_Digital_LET_NXDN, 100},
    {L::CL_Maker_Digital_LET_dPMR, 100},
};

// The settings: texts blank (a password stays empty), then the declared values.
void declaredSettings(cmcEeprom& image)
{
    for (const datSettingDef& row : datSettingsMap())
        if (row.IsText() && row.codec != datSetCodec::AsciiLower)
            for (const datSetByte& b : datSettingBytes(row, 0))
                image.SetByte(b.address, ' ');
    for (const DeclaredSetting& s : kSettings)
        datWriteSetting(image, *datFindSetting(clIndex(s.logic)), 0, s.value);
}

// The tables that a document carries besides the packed list, because cells edit them: tone
// entries, NAC channels, the repeater count, site and records, the channels' digital parts
// and the MDC aliases. Their blank-template tables hold one template record here.
constexpr int kCarried[] = {14, 36, 40, 41, 42, 43, 45, 59};

// Every text field of every record, in every slot, is blank (spaces) in a new document.
void blankTexts(std::uint8_t* b)
{
    for (int kind = 1; kind < datKindCount; ++kind) {
        const auto parts = datPartsOf(kind);
        for (const datFieldDef* field : datFieldsOf(kind)) {
            if (field->compose != datCompose::Text)
                continue;
            const datPartDef& part = parts[static_cast<std::size_t>(field->part)];
            if (part.form != datPartForm::Bytes)
                continue;
            for (int slot = 0; slot < part.slots; ++slot)
                for (int entry = 0; entry < field->entries; ++entry)
                    std::memset(b + part.base + part.stride * slot + field->lo.byte +
                                    entry * field->entryStride,
                                ' ', static_cast<std::size_t>(field->lo.nBytes));
        }
    }
}

// The packing list of the initial file: the program's packed tables, where the channel
// tables outside banks hold one template record, then the carried tables, then the
// descriptor table.
std::vector<datTableDef> initialTables()
{
    std::vector<datTableDef> tables;
    const datTableDef* descriptors = nullptr;
    for (const datTableDef& t : datTableList()) {
        if (t.use != datTableUse::Packed)
            continue;
        if (t.count == datCountRule::Descriptors) {
            descriptors = &t;
            continue;
        }
        datTableDef row = t;
        if (t.count == datCountRule::ChannelsOutsideBanks) {
            row.count = datCountRule::Fixed;
            row.slots = 1;
        }
        tables.push_back(row);
    }
    for (const int id : kCarried) {
        datTableDef row = *datFindTable(id);
        row.use = datTableUse::Packed;
        if (row.blankTemplate)
            row.slots = 1;
        tables.push_back(row);
    }
    tables.push_back(*descriptors);
    return tables;
}
} // namespace

void BuildInitialImage(cmcEeprom& image)
{
    image.SetSize(indModelImageSize);
    std::uint8_t* b = image.Bytes();
    blankTexts(b);
    declaredSettings(image);
    for (const Declared& d : kDeclared)
        for (int r = 0; r < d.records; ++r)
            std::memcpy(b + d.address + r * d.stride, d.bytes.data(), d.bytes.size());
    datSetChannelCount(image, 0, 0);
    datSetIndividualIdCount(image, 1);
    datSetTalkGroupCount(image, 1);
    datSetRepeaterCount(image, 0, 0);
    Static2DynamicWith(image, false, initialTables());
}

cmcIcfResult WriteInitialImage(const std::string& path)
{
    cmcEeprom image;
    BuildInitialImage(image);
    cmcIcfFile file;
    file.SetImage(image);
    file.SetModelWords(indModelWord1, indModelWord2);
    file.SetMapRev(1);
    return file.WriteCloneFile(path, indAddressRanges(2));
}
