#pragma once
// The fixture of the record logic tests: the fake host over the shipped initial file, the
// record-table service on the test's event manager (so blank-row adds insert records as in
// the program), scripted message boxes, and helpers that run a cell through the dispatcher.
#include "FakeCellHost.h"
#include "RecordTestImage.h"

#include "base/cmcScriptedResponder.h"
#include "cells/clFieldRow.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "cells/datRecordService.h"
#include "cells/indActiveCell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// Members are public: table-driven cases prepare the image through them.
class RecordLogicTest : public testing::Test {
public:
    RecordLogicTest() : service(bed.events, bed.host.Image(), bed.host.Document().Default())
    {
        datSwitches() = {};
    }

    cmcEeprom& Image() { return bed.host.Image(); }

    // Runs the cell's capsule through the dispatcher; returns the return code.
    int Run(FakeCell& cell)
    {
        lastFlags = 0;
        cell.capsule.notify = [this](cmcCellCapsule&, int flags) { lastFlags = flags; };
        cell.result = indActiveCell(bed.host).run(cell.capsule, true);
        return cell.result;
    }
    // The text a cell draws (and its state in state).
    std::string Draw(ctCategory category, clLogic logic, int arg, std::uint8_t* state = nullptr)
    {
        FakeCell cell(category, logic, arg);
        cell.Draw();
        Run(cell);
        if (state != nullptr)
            *state = cell.capsule.state;
        return cell.capsule.output;
    }
    int Type(ctCategory category, clLogic logic, int arg, const std::string& text)
    {
        FakeCell cell(category, logic, arg);
        cell.Input(text);
        return Run(cell);
    }
    int Choose(ctCategory category, clLogic logic, int arg, clLogic flex, int value,
               const std::string& input = {})
    {
        FakeCell cell(category, logic, arg);
        cell.Choice(flex, value, {}, input);
        return Run(cell);
    }
    int Press(ctCategory category, clLogic logic, int arg, int key)
    {
        FakeCell cell(category, logic, arg);
        cell.Key(key);
        return Run(cell);
    }

    // Channels 0 .. n-1 of bank 0 in use, each with its own receive frequency.
    void AddChannels(int n)
    {
        for (int i = datChannelCount(Image(), 0); i < n; ++i) {
            bed.events.Send(cmcEvCode::InsertChannel, 0, i);
            ProgramChannel(Image(), i, 146'000'000u + 25'000u * static_cast<std::uint32_t>(i), "CH");
        }
        bed.TakeEvents();
    }
    void AddRepeaters(int n)
    {
        for (int i = datRepeaterCount(Image(), 0); i < n; ++i) {
            bed.events.Send(cmcEvCode::InsertRepeater, 0, i);
            datCh r(Image());
            r.decode(datKindRepeater, i);
            r.Set(datField::RptRxFreq, 450'000'000u + 25'000u * static_cast<std::uint32_t>(i));
            r.Set(datField::RptTxFreq, 455'000'000u + 25'000u * static_cast<std::uint32_t>(i));
            r.encode(datKindRepeater, i);
        }
        bed.TakeEvents();
    }
    // One more entry at the end of an ID list, with an identity.
    void AddListEntry(int kind, std::uint32_t id)
    {
        const int count = datUsedCount(Image(), kind, 0);
        bed.events.Send(kind == datKindIndividualId ? cmcEvCode::InsertIndividualId
                                                    : cmcEvCode::InsertTalkGroup,
                        0, count);
        datCh entry(Image());
        entry.decode(kind, count);
        entry.Set(kind == datKindIndividualId ? datField::IndId : datField::TgId, id);
        entry.encode(kind, count);
        bed.TakeEvents();
    }
    datCh Record(int kind, int index)
    {
        datCh r(Image());
        r.decode(kind, index);
        return r;
    }
    void SetChannelType(int slot, int type)
    {
        datCh ch = Record(datKindChannel, slot);
        ch.Set(datField::ChMode, static_cast<std::uint32_t>(type));
        ch.encode(datKindChannel, slot);
    }
    void SetTrunkedBank(bool on)
    {
        datCh bank = Record(datKindBank, 0);
        bank.status =
            static_cast<std::uint8_t>(on ? (bank.status | datStBank2) : (bank.status & ~datStBank2));
        bank.encode(datKindBank, 0);
    }
    std::vector<std::uint8_t> Bytes() { return {Image().Bytes(), Image().Bytes() + Image().GetSize()}; }

    CellTestBed bed;
    int lastFlags = 0; // result flags of the last run
    cmcScriptedResponder boxes;
    SwitchesGuard guard;
    datRecordService service;
};

// The first address where two images differ, -1 when they are equal.
inline int FirstDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i])
            return static_cast<int>(i);
    return a.size() == b.size() ? -1 : static_cast<int>(std::min(a.size(), b.size()));
}
