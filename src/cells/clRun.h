#pragma once
// One run of the cell-logic dispatcher as the logic handlers see it: the capsule with the
// cell and the event, the host, the decoded work record of the cell's record, and the
// results the run collects (result flags, return code). The dispatcher (indActiveCell)
// fills it; a handler reads the value, calls a codec and stores a change.
#include "cells/CellHost.h"
#include "cells/cmcCellCapsule.h"

#include <span>

class cmcEeprom;
class datCh;
class datVudaAdr;

// What a codec needs: the capsule, the host for popups, and the run's return code.
struct cmcCodecContext {
    cmcCellCapsule& capsule;
    CellHost& host;
    int& result; // cmcRunResult
};

struct clRun {
    cmcCellCapsule& capsule;
    CellHost& host;
    datCh& record;      // the decoded record of the cell (kind 0: not decoded)
    datVudaAdr& address; // the data-signalling address plan
    int kind = 0;        // record kind of the cell's category
    bool blank = false;  // the addressed record is blank (past the used count)
    int flags = 0;       // cmcRepaint bits collected
    int result = 0;      // cmcRunResult
    int unitIdMin = 0;   // limits of unit identities (GI_AppUnitIdMin, GI_AppUnitIdMax)
    int unitIdMax = 0;

    [[nodiscard]] cmcCodecContext Codec() { return {capsule, host, result}; }
    [[nodiscard]] const cmcCellObj& Cell() const { return *capsule.cell; }
    [[nodiscard]] int Arg() const { return capsule.cell->arg; }
    [[nodiscard]] bool HasEvent() const { return capsule.HasEvent(); }
    [[nodiscard]] cmcEeprom& Image() const;        // the working image
    [[nodiscard]] const cmcEeprom& Default() const; // the default image
};

// The behaviour of one logic. Families of logics register rows of this table.
using clHandler = void (*)(clRun& run);
struct clBinding {
    clLogic logic;
    clHandler handler;
};
