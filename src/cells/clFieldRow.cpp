#include "cells/clFieldRow.h"

#include "base/cmcFatal.h"
#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/datCh.h"
#include "cells/datRecordKind.h"

#include <string>

namespace {

std::uint32_t maskOf(int width)
{
    return width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u);
}

bool bytesField(const datFieldDef& f)
{
    return f.compose == datCompose::Bytes;
}

std::vector<const clFieldRow*> joinRows()
{
    std::vector<const clFieldRow*> byLogic(static_cast<std::size_t>(clLogicCount), nullptr);
    for (const auto rows : {clChannelFieldRows(), clRecordFieldRows()}) {
        for (const clFieldRow& row : rows) {
            const int logic = clIndex(row.logic);
            if (logic < 0 || logic >= clLogicCount)
                cmcFatalStop(Format("Record field row outside the logic table. (%d)", logic));
            auto& slot = byLogic[static_cast<std::size_t>(logic)];
            if (slot != nullptr)
                cmcFatalStop(Format("Two record field rows for one logic.\n'%s'",
                                    std::string(clLogicName(logic)).c_str()));
            slot = &row;
        }
    }
    return byLogic;
}

} // namespace

const clFieldRow* clFieldRowOf(int logic)
{
    static const std::vector<const clFieldRow*> rows = joinRows();
    if (logic < 0 || logic >= static_cast<int>(rows.size()))
        return nullptr;
    return rows[static_cast<std::size_t>(logic)];
}

std::vector<clBinding> clBindingsOf(std::span<const clFieldRow> rows)
{
    std::vector<clBinding> bindings;
    bindings.reserve(rows.size());
    for (const clFieldRow& row : rows)
        bindings.push_back({row.logic, &clFieldLogic});
    return bindings;
}

std::uint32_t clReadField(const datCh& record, const clFieldRow& row)
{
    const datFieldDef& f = datFieldOf(row.field);
    std::uint32_t value = 0;
    if (bytesField(f)) {
        const std::string bytes = record.Text(row.field);
        if (row.byte < 0 || row.byte >= static_cast<int>(bytes.size()))
            return 0;
        value = static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(row.byte)]);
    } else {
        value = record.Get(row.field);
    }
    if (row.width != 0)
        value = (value >> row.shift) & maskOf(row.width);
    return value == 0 && row.zeroReadsAs != 0 ? static_cast<std::uint32_t>(row.zeroReadsAs) : value;
}

void clWriteField(datCh& record, const clFieldRow& row, std::uint32_t value)
{
    const datFieldDef& f = datFieldOf(row.field);
    const std::uint32_t mask = row.width == 0 ? 0xFFFFFFFFu : maskOf(row.width) << row.shift;
    const auto merge = [&](std::uint32_t old) {
        if (row.width == 0)
            return value;
        return (old & ~mask) | ((value << row.shift) & mask);
    };
    if (bytesField(f)) {
        std::string bytes = record.Text(row.field);
        if (row.byte < 0 || row.byte >= static_cast<int>(bytes.size()))
            return;
        auto& b = bytes[static_cast<std::size_t>(row.byte)];
        b = static_cast<char>(merge(static_cast<std::uint8_t>(b)) & 0xFF);
        record.SetText(row.field, bytes);
        return;
    }
    record.Set(row.field, merge(record.Get(row.field)));
}

bool clEnsureRecord(clRun& run, int kind)
{
    if (run.record.Kind() == kind)
        return true;
    const int arg = run.Arg();
    if (!datIsRecordKind(kind) || arg < 0 || arg >= datSlotsOf(kind))
        return false;
    run.record.decode(kind, arg);
    run.kind = kind;
    return true;
}

void clShowNotApplicable(clRun& run)
{
    cmcCellCapsule& c = run.capsule;
    c.output = "----";
    c.selStart = 0;
    c.selLength = 4;
    c.fontColour = clSilverColour;
    if (c.cell != nullptr) {
        c.cell->SetHorizontalAlignment(1);
        c.cell->SetVerticalAlignment(1);
    }
}

void clNotInFamily(clRun& run)
{
    clShowNotApplicable(run);
}

int clChannelType(const datCh& channel)
{
    return static_cast<int>(channel.Get(datField::ChMode));
}

bool clTrunkedBank(const datCh& channel)
{
    return (channel.status & datStBank2) != 0;
}

bool clApplies(const datCh& channel, clWhen when, clBankUse bank)
{
    if (channel.Kind() != datKindChannel)
        return true;
    const bool trunked = clTrunkedBank(channel);
    if ((bank == clBankUse::Conventional && trunked) || (bank == clBankUse::Trunked && !trunked))
        return false;
    const int type = clChannelType(channel);
    switch (when) {
    case clWhen::Always:
        return true;
    case clWhen::Analog:
        return type != 3;
    case clWhen::Digital:
        return type != 0;
    case clWhen::Mixed:
        return type == 1 || type == 2;
    }
    return true;
}

bool clIsAddKey(const cmcCellCapsule& capsule)
{
    if (!capsule.HasEvent() || capsule.op != cmcCellCapsule::OpKeyOrDraw || capsule.command != 0)
        return false;
    const int k = capsule.key;
    return (k >= '0' && k <= '9') || k == '.' || k == cmcKey::Space || k == cmcKey::Backspace ||
           k == cmcKey::Enter;
}

void clShowOverflow()
{
    cmcMessageBox(MainText().GetMultiLineText("GI_AppMess_ChErr_Overflow"),
                  MainText().GetText("GI_Sys_AppTitle"), cmcMbButtons::Ok, cmcMbIcon::Error);
}

void clMarkListError(clRun& run)
{
    // A stored value that no item of the list stands for is shown as "error": it is an
    // error of the record (the warning check list collects it).
    if (run.capsule.output == "error")
        run.capsule.SetError();
}

cmcForeignSource clForeignRule(int kind)
{
    return kind == datKindRepeater ? cmcForeignSource::Absent : cmcForeignSource::Blank;
}

void clFieldLogic(clRun& run)
{
    const clFieldRow* row = clFieldRowOf(run.Cell().logic);
    if (row == nullptr)
        cmcFatalStop(Format("No record field row for the logic.\n'%s'",
                            std::string(clLogicName(run.Cell().logic)).c_str()));
    clRunFieldRow(run, *row);
}

void clRunFieldRow(clRun& run, const clFieldRow& row)
{
    cmcCellCapsule& c = run.capsule;
    const int kind = datFieldOf(row.field).kind;
    if (run.blank) {
        // A row past the used part of its table shows nothing and takes no edit here; the
        // row's first cell adds the record.
        c.output.clear();
        return;
    }
    if (!clEnsureRecord(run, kind)) {
        c.output = "error";
        c.SetError();
        return;
    }
    if (!clApplies(run.record, row.when, row.bank)) {
        clShowNotApplicable(run);
        return;
    }
    const cmcCodecContext ctx = run.Codec();
    const std::uint32_t stored = clReadField(run.record, row);
    int value = static_cast<int>(stored);
    bool changed = false;
    switch (row.codec) {
    case clFieldCodec::Choice:
        changed = editChoice(ctx, value, row.list, clForeignRule(kind));
        break;
    case clFieldCodec::MarkedChoice:
        changed = editMarkedChoice(ctx, value, row.list, clForeignRule(kind));
        break;
    case clFieldCodec::TypedChoice:
        changed = editTypedChoice(ctx, value, row.list);
        break;
    case clFieldCodec::Number: {
        cmcNumberForm form;
        form.lowest = row.lo;
        form.highest = row.hi;
        form.offset = row.offset;
        changed = editNumber(ctx, value, form);
        break;
    }
    case clFieldCodec::PaddedNumber:
        changed = editPaddedNumber(ctx, value, row.digits, row.lo, row.hi);
        break;
    case clFieldCodec::HexNumber:
        changed = editHexNumber(ctx, value, row.lo, row.hi, row.digits);
        break;
    case clFieldCodec::FlagString: {
        std::uint32_t bits = stored;
        changed = editFlagString(ctx, bits, row.lo, row.hi, row.digits);
        value = static_cast<int>(bits);
        break;
    }
    case clFieldCodec::Text: {
        std::string bytes = run.record.Text(row.field);
        const int n = static_cast<int>(bytes.size());
        if (editText(ctx, bytes, n)) {
            run.record.SetText(row.field, bytes, ' ');
            run.record.store();
            run.flags |= row.repaint;
        }
        return;
    }
    case clFieldCodec::Show:
        c.output = Format("%d", value + row.offset);
        return;
    }
    clMarkListError(run);
    if (changed && static_cast<std::uint32_t>(value) != stored) {
        clWriteField(run.record, row, static_cast<std::uint32_t>(value));
        run.record.store();
        run.flags |= row.repaint;
    }
}
