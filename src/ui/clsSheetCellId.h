#pragma once
// One entry of a sheet's cell table: the cell's attributes and its selection bits.
#include "cells/cmcCellObj.h"

struct clsSheetCellId {
    cmcCellObj cell;
    bool multiSelectable = false; // block selection is on and the row took part in it
    bool selected = false;
    bool rowMarked = false; // the whole row is highlighted ("MultiSelect=Line")
};
