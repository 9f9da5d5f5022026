// Key assignments and scan-list channel references.
#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCodecSupport.h"
#include "cells/cmcCodecs.h"
#include "cells/cmcFCache.h"
#include "cells/datCounts.h"
#include "image/cmcEeprom.h"

#include <array>

using namespace cmcCodec;

namespace {
const std::string KeyList = "GI_Sheet_Sel_Keys_Conv_Lmr_VADOR_Rep";
const std::string DialList = "GI_Sheet_Sel_Dials_Lmr_VADOR";
const std::string LevelList = "GI_Sheet_Sel_KDisp_KeyOpt_HL";
constexpr std::uint8_t DigitalFunctionBit = 0x10;

struct KeySlot {
    clLogic normal;
    clLogic shifted;
    int slot;
};
constexpr std::array KeySlots{
    KeySlot{clLogic::CL_KDisp_Key_Conv_RightUp, clLogic::CL_KDisp_Key_Shift_RightUp, 0},
    KeySlot{clLogic::CL_KDisp_Key_Conv_RightDn, clLogic::CL_KDisp_Key_Shift_RightDn, 1},
    KeySlot{clLogic::CL_KDisp_Key_Conv_P0, clLogic::CL_KDisp_Key_Shift_P0, 2},
    KeySlot{clLogic::CL_KDisp_Key_Conv_P1, clLogic::CL_KDisp_Key_Shift_P1, 3},
    KeySlot{clLogic::CL_KDisp_Key_Conv_P2, clLogic::CL_KDisp_Key_Shift_P2, 4},
    KeySlot{clLogic::CL_KDisp_Key_Conv_P3, clLogic::CL_KDisp_Key_Shift_P3, 5},
    KeySlot{clLogic::CL_KDisp_Key_Conv_P4, clLogic::CL_KDisp_Key_Shift_P4, 6},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Opf0, clLogic::CL_KDisp_Key_Shift_Opf0, 7},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Opf1, clLogic::CL_KDisp_Key_Shift_Opf1, 8},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Opf2, clLogic::CL_KDisp_Key_Shift_Opf2, 9},
    KeySlot{clLogic::CL_KDisp_Key_Conv_DialCw, clLogic::CL_KDisp_Key_Shift_DialCw, 10},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Pio1, clLogic::CL_KDisp_Key_Shift_Pio1, 12},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Pio2, clLogic::CL_KDisp_Key_Shift_Pio2, 13},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Pio3, clLogic::CL_KDisp_Key_Shift_Pio3, 14},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Pio4, clLogic::CL_KDisp_Key_Shift_Pio4, 15},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Pio5, clLogic::CL_KDisp_Key_Shift_Pio5, 16},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Pio6, clLogic::CL_KDisp_Key_Shift_Pio6, 17},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Pio7, clLogic::CL_KDisp_Key_Shift_Pio7, 18},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Pio8, clLogic::CL_KDisp_Key_Shift_Pio8, 19},
    KeySlot{clLogic::CL_KDisp_Key_Conv_Pio9, clLogic::CL_KDisp_Key_Shift_Pio9, 20},
};

// Level functions '0' to '5' switch one of three outputs; their level lives in 0x10B52.
bool IsLevelFunction(int code)
{
    return code >= '0' && code <= '5';
}
std::uint8_t LevelBit(int code)
{
    return static_cast<std::uint8_t>(0x20 << ((code - '0') % 3));
}

// The bank the channel selector shows; the zone selector changes it.
int selectorBank = 0;

void OpenChannelSelector(const cmcCodecContext& c, const cmcEeprom& image, int bank,
                         const cmcScanChannelRef& ref)
{
    selectorBank = bank;
    const int first = datFirstChannel(image, bank);
    const int count = datChannelCount(image, bank);
    const int position = (ref.channel >= first && ref.channel < first + count) ? ref.channel - first : 0;
    c.host.OpenModelSelectionPopup(c.capsule, "GI_Sheet_Sel_ScanCHSel", clIndex(clLogic::FlexCHSel), position,
                                   MainText().GetText("GI_AppInd_ScanChannelSelect"));
    c.result = cmcRunResult::PopupOpened;
}

void OpenZoneSelector(const cmcCodecContext& c, int bank)
{
    c.host.OpenModelSelectionPopup(c.capsule, "GI_Sheet_Sel_ScanZoneSel", clIndex(clLogic::FlexZoneSel), bank,
                                   MainText().GetText("GI_AppInd_ScanZoneSelect"));
    c.result = cmcRunResult::PopupOpened;
}
} // namespace

int cmcKeySlotOf(int logic, int arg)
{
    if (logic == clIndex(clLogic::CL_KDisp_Key_Conv_Common) ||
        logic == clIndex(clLogic::CL_KDisp_Key_Shift_Common))
        return (arg >= 0 && arg < cmcKeySlots) ? arg : -1;
    for (const KeySlot& k : KeySlots)
        if (clIndex(k.normal) == logic || clIndex(k.shifted) == logic)
            return k.slot;
    return -1;
}

bool cmcKeyIsShifted(int logic)
{
    return logic >= clIndex(clLogic::CL_KDisp_Key_Shift_RightUp) &&
           logic <= clIndex(clLogic::CL_KDisp_Key_Shift_Common);
}

bool editKeyFunction(const cmcCodecContext& c, cmcEeprom& image, int slot, bool shifted, int& repaint)
{
    cmcCellCapsule& cap = c.capsule;
    if (slot < 0 || slot >= cmcKeySlots) {
        Show(c, "");
        return false;
    }
    const int normalPlace = cmcKeyNormalPlace + slot;
    const int place = (shifted ? cmcKeyShiftedPlace : cmcKeyNormalPlace) + slot;
    const std::string& list = slot == cmcDialSlot ? DialList : KeyList;
    const int flex = clIndex(clLogic::FlexMark);
    const int before = image.GetByte(place);
    const bool blocked = shifted && image.GetByte(normalPlace) == cmcKeyShiftCode;
    bool changed = false;

    if (IsChoiceOf(c, clIndex(clLogic::FlexKeyOpt))) {
        if (!blocked && IsLevelFunction(before)) {
            const std::uint8_t levels = image.GetByte(cmcKeyLevelPlace);
            const std::uint8_t bit = LevelBit(before);
            image.SetByte(cmcKeyLevelPlace,
                          static_cast<std::uint8_t>(ChosenValue(c) != 0 ? (levels | bit) : (levels & ~bit)));
            repaint |= cmcRepaint::All;
            changed = true;
        }
    } else if (!blocked) {
        int code = before;
        if (editMarkedChoice(c, code, list, cmcForeignSource::Absent)) {
            changed = true;
            image.SetByte(place, static_cast<std::uint8_t>(code));
            if (!shifted && code == cmcKeyShiftCode)
                image.SetByte(cmcKeyShiftedPlace + slot, cmcKeyShiftCode);
            if (!shifted && (code == cmcKeyShiftCode) != (before == cmcKeyShiftCode))
                cmcEvents().Post(cmcEvCode::RedrawAll);
            if (IsLevelFunction(code) && IsChoiceOf(c, flex)) {
                const bool high = (image.GetByte(cmcKeyLevelPlace) & LevelBit(code)) != 0;
                OpenList(c, LevelList, clIndex(clLogic::FlexKeyOpt), high ? 1 : 0);
            }
        }
    }

    const int code = image.GetByte(place);
    std::string text = SelectionLabels().GetLabel(list, flex, code);
    if (IsLevelFunction(code))
        text += (image.GetByte(cmcKeyLevelPlace) & LevelBit(code)) != 0 ? " /H" : " /L";
    Show(c, text);
    if (blocked)
        cap.fontColour = clOliveColour;
    if (code == cmcKeyDigitalCode && (image.GetByte(cmcDigitalFunctionPlace) & DigitalFunctionBit) == 0)
        cap.SetError();
    return changed;
}

int cmcScanSelectorBank()
{
    return selectorBank;
}

bool editScanChannel(const cmcCodecContext& c, cmcScanChannelRef& ref, cmcScanChannel which,
                     const cmcEeprom& image)
{
    const std::string list = which == cmcScanChannel::Priority1   ? "GI_Sheet_Sel_ScanPrio1CH"
                             : which == cmcScanChannel::Priority2 ? "GI_Sheet_Sel_ScanPrio2CH"
                                                                  : "GI_Sheet_Sel_ScanTXCH";
    bool changed = false;
    if (IsChoiceOf(c, clIndex(clLogic::FlexZoneSel))) {
        const int bank = ChosenValue(c);
        if (datChannelCount(image, bank) > 0)
            OpenChannelSelector(c, image, bank, ref);
        else
            OpenZoneSelector(c, bank);
    } else if (IsChoiceOf(c, clIndex(clLogic::FlexCHSel))) {
        ref.mode = cmcScanFixedChannelMode;
        ref.channel = datFirstChannel(image, selectorBank) + ChosenValue(c);
        if (which == cmcScanChannel::Priority2)
            ref.prio2InUse = true;
        changed = true;
    } else {
        int mode = ref.mode;
        if (editChoice(c, mode, list, cmcForeignSource::Absent)) {
            ref.mode = mode;
            if (which == cmcScanChannel::Priority2)
                ref.prio2InUse = mode != 0;
            changed = true;
            if (mode == cmcScanFixedChannelMode && IsChoiceOf(c, clIndex(clLogic::Flex0)))
                OpenChannelSelector(c, image, c.host.CurrentBank(), ref);
        }
    }
    if (ref.mode == cmcScanFixedChannelMode) {
        const int position = ref.channel - datFirstChannel(image, datBankOfChannel(image, ref.channel));
        Show(c, Format("%d", position + 1) + MainText().GetText("GI_AddCH"));
    } else {
        Show(c, SelectionLabels().GetLabel(list, clIndex(clLogic::Flex0), ref.mode));
    }
    return changed;
}
