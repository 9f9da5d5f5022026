#pragma once
// The model's active cell: the dispatch operation every sheet, menu, tool bar, popup and
// check runs on a cell, and the helpers that evaluate a cell outside a sheet.
//
// A run decodes the record the cell addresses into a work record, handles the event
// (popup-menu commands, the blank rows and redirects of the record tables, the logic's own
// key, typed text or popup choice) and leaves the display text, the warning and error
// marks, the redirect and the editor selection in the capsule. It returns a cmcRunResult.
//
// The object holds nothing but the host it works for: the cells ask the program around
// them (document, popups, clipboard, help, main window commands) through that CellHost,
// which the caller passes in. Create one for each use; runs nest freely (a check logic
// evaluates other cells while it runs).
#include "cells/CellHost.h"
#include "cells/cmcCellCapsule.h"

#include <string>
#include <string_view>

class indActiveCell {
public:
    explicit indActiveCell(CellHost& host) : host_(host) {}

    // Runs the logic of capsule.cell. With notify, the capsule's notify callback gets the
    // result flags (cmcRepaint) when they are not zero.
    int run(cmcCellCapsule& capsule, bool notify = false);

    // Runs a capsule holding only cell and key (the tree and the main window activate a
    // node's or a command's cell with key 13); returns the run's return code.
    int activate(cmcCellObj& cell, int key);
    // The same, returning the display text the run produced ("" for no cell).
    std::string textOf(cmcCellObj* cell, int key = 0);
    // The error or warning mark of the cell (category, logic, arg), evaluated with record set
    // to the bank that holds channel arg.
    bool errorOf(int category, int logic, int arg);
    bool warningOf(int category, int logic, int arg);

    // The record kind of a category (fatal "Unknown Cell Category. (%d)" outside the table).
    [[nodiscard]] static int recordKindOf(int category);
    [[nodiscard]] static std::string_view logicName(int index);

    // The current bank (or repeater site): its number, the index of its first and last
    // channel (repeater) and its count; all 0 when there is none.
    struct RangeInfo {
        int number = 0;
        int first = 0;
        int last = 0;
        int count = 0;
        bool operator==(const RangeInfo&) const = default;
    };
    [[nodiscard]] RangeInfo bankInfo() const;
    [[nodiscard]] RangeInfo siteInfo() const;
    // The largest count from n down to 0 of records of the category's kind that fit into
    // the radio's memory with bank; -1 when none does.
    [[nodiscard]] int maxFitting(int category, int n, int bank) const;

private:
    int evaluate(int category, int logic, int arg);

    CellHost& host_;
};
