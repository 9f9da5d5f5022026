// The settings at fixed places of the image (record kind 0). One handler runs every row of
// the settings map: it reads the field, hands it to the row's codec, and writes a change
// back into the field's own bits. The battery voltage bands, drawn from the two
// thresholds, are written out below.
#include "cells/clFamilies.h"

#include "base/cmcFatal.h"
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCodecSupport.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "cells/datSettingsMap.h"
#include "cells/indDocument.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"

#include <algorithm>
#include <vector>

namespace {

using L = clLogic;

// --- which changes repaint every cell ---------------------------------------------------

// Rows whose bits other cells are drawn from (grey conditions, dependent ranges) or share
// with another setting: a change of one of them repaints every cell.
std::vector<bool> rowsOthersDependOn()
{
    const auto rows = datSettingsMap();
    std::vector<std::vector<datSetByte>> bytes;
    for (const datSettingDef& row : rows)
        bytes.push_back(datSettingBytes(row, 0));
    const auto touches = [](const std::vector<datSetByte>& a, int address, std::uint8_t mask) {
        return std::any_of(a.begin(), a.end(),
                           [&](const datSetByte& b) { return b.address == address && (b.mask & mask) != 0; });
    };
    std::vector<bool> depends(rows.size(), false);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const datSettingDef& row = rows[i];
        depends[i] = row.affectsOthers || row.logic2 != clLogic::Count_;
        for (std::size_t j = 0; j < rows.size() && !depends[i]; ++j) {
            if (i == j)
                continue;
            const datSettingDef& other = rows[j];
            if (other.grey == datSetGrey::BitClear &&
                touches(bytes[i], other.greyPlace, static_cast<std::uint8_t>(1u << other.greyBit)))
                depends[i] = true;
            if (other.grey == datSetGrey::TextBlank)
                for (int k = 0; k < other.greyBit; ++k)
                    depends[i] = depends[i] || touches(bytes[i], other.greyPlace + k, 0xFF);
            for (const int place : {other.loAbovePlace, other.hiBelowPlace})
                if (place != 0)
                    depends[i] =
                        depends[i] || touches(bytes[i], place, 0xFF) || touches(bytes[i], place + 1, 0xFF);
            for (const datSetByte& b : bytes[j])
                depends[i] = depends[i] || touches(bytes[i], b.address, b.mask);
        }
    }
    return depends;
}

bool othersDependOn(const datSettingDef& row)
{
    static const std::vector<bool> depends = rowsOthersDependOn();
    const auto rows = datSettingsMap();
    return depends[static_cast<std::size_t>(&row - rows.data())];
}

// --- helpers ------------------------------------------------------------------------------

// The element the cell's argument selects. A setting at a single place ignores the
// argument; an array element the table does not have is a fault of the sheet definition.
int elementOf(const clRun& run, const datSettingDef& row)
{
    if (row.array == datSetArray::None)
        return 0;
    const int n = run.Arg();
    if (n < 0 || n >= datSettingElements(row))
        cmcFatalStop(Format("Cannot use the argument %d with the cell.\n'%s'", n,
                            std::string(clLogicName(run.Cell().logic)).c_str()));
    return n;
}

std::string readBytes(const cmcEeprom& image, int place, int n)
{
    std::string s(static_cast<std::size_t>(n), '\0');
    for (int i = 0; i < n; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<char>(image.GetByte(place + i));
    return s;
}

void writeBytes(cmcEeprom& image, int place, int n, const std::string& s, char pad)
{
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        image.SetByte(place + i, static_cast<std::uint8_t>(k < s.size() ? s[k] : pad));
    }
}

// Runs a codec on a copy of the capsule without its event: the cell only shows its value.
template <class Draw> void showOnly(clRun& run, Draw draw)
{
    cmcCellCapsule view = run.capsule;
    view.eventSource = nullptr;
    view.op = cmcCellCapsule::OpKeyOrDraw;
    view.key = 0;
    view.input.clear();
    int result = 0;
    draw(cmcCodecContext{view, run.host, result});
    run.capsule.output = view.output;
    run.capsule.fontColour = view.fontColour;
    run.capsule.selStart = 0;
    run.capsule.selLength = static_cast<int>(view.output.size());
}

int power10(int a)
{
    int p = 1;
    for (int i = 0; i < a; ++i)
        p *= 10;
    return p;
}

// --- the individual-ID entry of the power status ------------------------------------------

constexpr char IdListSheet[] = "GI_Sheet_Sel_DIG_INDList";
constexpr char IdListTitle[] = "GI_Sheet_Sel_DIG_INDList_Title";

std::uint32_t idOfEntry(const cmcEeprom& image, int entry)
{
    datCh record(image);
    record.decode(datKindIndividualId, entry);
    return record.Get(datField::IndId);
}

// The entry's ID in decimal, "error" for an entry past the list's used count.
std::string idEntryText(const cmcEeprom& image, int entry)
{
    if (entry < 0 || entry >= datIndividualIdCount(image))
        return "error";
    return std::to_string(idOfEntry(image, entry));
}

// The entry is chosen in the model selection popup of the ID list, stepped with space and
// backspace, or typed as the ID it holds (the first used entry holding it).
bool editIdEntry(clRun& run, int& value)
{
    using namespace cmcCodec;
    const cmcCodecContext c = run.Codec();
    cmcCellCapsule& cap = run.capsule;
    const cmcEeprom& image = run.Image();
    const int used = datIndividualIdCount(image);
    bool changed = false;
    if (IsChoiceOf(c, clIndex(L::Flex_InvIDList_ChNo))) {
        const int chosen = ChosenValue(c);
        if (chosen >= 0 && chosen < used && chosen != value) {
            value = chosen;
            changed = true;
        }
    } else if (cap.HasEvent() && cap.op == cmcCellCapsule::OpSetInput) {
        const std::string typed = TrimBlanks(cap.input);
        const std::string digits = Keep(typed, "0123456789", 10);
        int found = -1;
        for (int entry = 0; entry < used && !digits.empty() && found < 0; ++entry)
            if (idOfEntry(image, entry) == std::stoull(digits))
                found = entry;
        if (found >= 0) {
            changed = found != value;
            value = found;
        } else if (!typed.empty()) {
            Refuse("GI_AppMess_ValueErr_Text", typed);
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (IsStepKey(key) && used > 0) {
            const int step = key == cmcKey::Space ? 1 : -1;
            value = value < 0 || value >= used ? 0 : (value + step + used) % used;
            changed = true;
        } else if (key == cmcKey::Enter) {
            run.host.OpenModelSelectionPopup(cap, IdListSheet, clIndex(L::Flex_InvIDList_ChNo), value,
                                             MainText().GetText(IdListTitle));
            run.result = cmcRunResult::PopupOpened;
        } else if (IsDigit(key)) {
            StartEditorWithKey(c);
            return false;
        }
    }
    Show(c, idEntryText(image, value));
    if (value < 0 || value >= used)
        cap.SetError();
    return changed;
}

// --- the generic setting ------------------------------------------------------------------

bool rangedCodec(datSetCodec codec)
{
    switch (codec) {
    case datSetCodec::Number:
    case datSetCodec::PaddedNumber:
    case datSetCodec::Fixed:
    case datSetCodec::Seconds:
    case datSetCodec::MinSec:
    case datSetCodec::HexDigit:
        return true;
    default:
        return false;
    }
}

void runSetting(clRun& run)
{
    const datSettingDef* found = datFindSetting(run.Cell().logic);
    if (found == nullptr)
        return;
    const datSettingDef& row = *found;
    const int n = elementOf(run, row);
    cmcEeprom& image = run.Image();
    const cmcCodecContext c = run.Codec();
    const auto logic = static_cast<L>(run.Cell().logic);

    if (datSettingGrey(image, row))
        run.capsule.fontColour = clSilverColour;

    bool changed = false;
    int value = static_cast<int>(datReadSetting(image, row, n));
    const datSetRange range = datSettingRange(image, row);
    const int place = datSettingPlace(row, 0, n);

    switch (row.codec) {
    case datSetCodec::Choice:
        changed = editChoice(c, value, row.ListOf(logic));
        break;
    case datSetCodec::MarkedChoice:
        changed = editMarkedChoice(c, value, row.ListOf(logic));
        break;
    case datSetCodec::TypedChoice:
        changed = editTypedChoice(c, value, row.ListOf(logic));
        break;
    case datSetCodec::Number:
        changed = editNumber(c, value,
                             cmcNumberForm{range.lo, range.hi, 0, row.step, nullptr, row.clampFirst, false});
        break;
    case datSetCodec::PaddedNumber:
        if (range.lo > range.hi) // the other limit leaves no value: shown, not edited
            showOnly(run, [&](const cmcCodecContext& v) {
                editPaddedNumber(v, value, row.digits, 0, 0xFFFF, row.digits == 0);
            });
        else
            changed = editPaddedNumber(c, value, row.digits, range.lo, range.hi, row.digits == 0);
        break;
    case datSetCodec::Fixed: {
        const double unit = power10(row.decimals);
        cmcFixedForm form;
        form.scale = row.decimals;
        form.decimals = row.shown;
        form.lowest = range.lo / unit;
        form.highest = range.hi / unit;
        form.step = row.step;
        changed = editFixed(c, value, form);
        break;
    }
    case datSetCodec::Seconds: {
        cmcSecondsForm form;
        form.unitsPerSecond = row.unit;
        form.lowest = range.lo;
        form.highest = range.hi;
        form.zeroIsOff = row.zeroIsOff;
        changed = editSeconds(c, value, form);
        break;
    }
    case datSetCodec::MinSec: {
        const int unit = static_cast<int>(row.unit);
        changed = editMinSec(c, value, unit, range.lo * unit, range.hi * unit, row.zeroIsOff);
        break;
    }
    case datSetCodec::Text:
    case datSetCodec::Ascii:
    case datSetCodec::AsciiLower:
    case datSetCodec::CwText: {
        std::string bytes = readBytes(image, place, row.length);
        char pad = ' ';
        if (row.codec == datSetCodec::Text) {
            changed = editText(c, bytes, row.length);
        } else if (row.codec == datSetCodec::AsciiLower) {
            pad = '\0';
            changed = editAscii(c, bytes, row.length, cmcAsciiForm::NulPaddedLowerCase);
        } else {
            changed = editAscii(c, bytes, row.length,
                                row.codec == datSetCodec::CwText ? cmcAsciiForm::CallSign
                                                                 : cmcAsciiForm::BlankPadded);
        }
        if (changed)
            writeBytes(image, place, row.length, bytes, pad);
        break;
    }
    case datSetCodec::Digits:
    case datSetCodec::HexDigits: {
        auto code = static_cast<std::uint32_t>(datReadSetting(image, row, n));
        changed = editNibbleCode(c, code, row.digits, row.codec == datSetCodec::HexDigits);
        value = static_cast<int>(code);
        break;
    }
    case datSetCodec::FlagString: {
        auto bits = static_cast<std::uint32_t>(value);
        changed = editFlagString(c, bits, row.lo, row.hi, 2);
        value = static_cast<int>(bits);
        break;
    }
    case datSetCodec::HexDigit:
        changed = editHexDigit(c, value, row.hi == 15);
        break;
    case datSetCodec::Tone: {
        const auto raw = static_cast<std::uint16_t>(datReadSetting(image, row, n));
        datTone tone = datDecodeTone(raw);
        changed = editTone(c, tone);
        value = datEncodeTone(raw, tone);
        break;
    }
    case datSetCodec::IdEntry:
        changed = editIdEntry(run, value);
        break;
    }

    if (changed) {
        if (!row.IsText())
            datWriteSetting(image, row, n, value);
        run.flags |= cmcRepaint::SameLogic;
        if (othersDependOn(row))
            run.flags |= cmcRepaint::All;
    }
    if (row.repaintAll)
        run.flags |= cmcRepaint::All;
    // A number the radio holds outside the range the cell offers is suspicious (the warning
    // check of the common settings collects it).
    if (rangedCodec(row.codec) && (value < range.lo || value > range.hi))
        run.capsule.SetWarning();
}

// --- derived displays ---------------------------------------------------------------------

// Battery voltage thresholds: bytes in units of 0.05 V; threshold 1 is the upper one.
constexpr double VoltsPerUnit = 0.05;
constexpr double HighestVolts = 255 * VoltsPerUnit;
constexpr int VoltThreshold1Place = 0x10BBD;
constexpr int VoltThreshold2Place = 0x10BBE;

enum class VoltBand { Normal, Low1, Low2 };

void showVoltBand(clRun& run, VoltBand band, bool check)
{
    const cmcEeprom& image = run.Image();
    const double t1 = image.GetByte(VoltThreshold1Place) * VoltsPerUnit;
    const double t2 = image.GetByte(VoltThreshold2Place) * VoltsPerUnit;
    double from = 0;
    double to = 0;
    switch (band) {
    case VoltBand::Normal:
        from = t1;
        to = HighestVolts;
        break;
    case VoltBand::Low1:
        from = t2;
        to = t1;
        break;
    case VoltBand::Low2:
        from = 0;
        to = t2;
        break;
    }
    run.capsule.output = Format("[%3.2fV] - [%3.2fV]", from, to);
    run.capsule.selStart = 0;
    run.capsule.selLength = static_cast<int>(run.capsule.output.size());
    // The second warning must lie below the first, or one band is empty.
    if (check && t2 >= t1)
        run.capsule.SetError();
}

void voltNormal(clRun& run)
{
    showVoltBand(run, VoltBand::Normal, false);
}
void voltLow1(clRun& run)
{
    showVoltBand(run, VoltBand::Low1, false);
}
void voltLow2(clRun& run)
{
    showVoltBand(run, VoltBand::Low2, false);
}
void voltLow1Test(clRun& run)
{
    showVoltBand(run, VoltBand::Low1, true);
}
void voltLow2Test(clRun& run)
{
    showVoltBand(run, VoltBand::Low2, true);
}

// --- key assignments and the display font -------------------------------------------------

// A programmable key's function code, normal or shifted; the codec writes the image itself
// (a shift key's code follows into the shifted slot, level functions keep their level).
void keyFunction(clRun& run)
{
    const int logic = run.Cell().logic;
    int repaint = 0;
    if (editKeyFunction(run.Codec(), run.Image(), cmcKeySlotOf(logic, run.Arg()), cmcKeyIsShifted(logic),
                        repaint))
        run.flags |= cmcRepaint::SameLogic;
    run.flags |= repaint;
}

// The LCD font size the user characters are drawn and edited with: a setting of the
// document, not of the image.
void lcdFontSize(clRun& run)
{
    indDocument& document = run.host.Document();
    int size = document.LcdFontSize();
    if (editChoice(run.Codec(), size, "GI_Sheet_Sel_LcdFontSize")) {
        document.SetLcdFontSize(size);
        run.flags |= cmcRepaint::All;
    }
}

std::vector<clBinding> bindings()
{
    std::vector<clBinding> rows;
    for (const datSettingDef& row : datSettingsMap()) {
        rows.push_back({row.logic, runSetting});
        if (row.logic2 != clLogic::Count_)
            rows.push_back({row.logic2, runSetting});
    }
    // Every key with a slot (the left keys and the dial's other direction have none).
    for (int logic = clIndex(L::CL_KDisp_Key_Conv_RightUp); logic <= clIndex(L::CL_KDisp_Key_Shift_Common);
         ++logic)
        if (cmcKeySlotOf(logic, 0) >= 0)
            rows.push_back({static_cast<L>(logic), keyFunction});
    rows.push_back({L::CL_KDisp_LcdFontSize, lcdFontSize});
    rows.push_back({L::CL_Comm_Volt_Normal_Disp, voltNormal});
    rows.push_back({L::CL_Comm_Volt_Threshold1_Disp, voltLow1});
    rows.push_back({L::CL_Comm_Volt_Threshold2_Disp, voltLow2});
    rows.push_back({L::CL_Comm_Volt_Threshold1_Test, voltLow1Test});
    rows.push_back({L::CL_Comm_Volt_Threshold2_Test, voltLow2Test});
    return rows;
}

} // namespace

std::span<const clBinding> clSettingsLogics()
{
    static const std::vector<clBinding> rows = bindings();
    return rows;
}
