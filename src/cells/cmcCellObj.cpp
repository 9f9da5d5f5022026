#include "cells/cmcCellObj.h"

namespace {
const std::string noText;
} // namespace

const std::string& cmcCellObj::DisplayText() const
{
    return text ? *text : noText;
}

const std::string& cmcCellObj::PopupMenuName() const
{
    for (const cmcCellObj* cell = this; cell != nullptr; cell = cell->parent) {
        if (!cell->popupMenu.empty())
            return cell->popupMenu;
    }
    return noText;
}

const cmcCellFont* cmcCellObj::EffectiveFont() const
{
    for (const cmcCellObj* cell = this; cell != nullptr; cell = cell->parent) {
        if (cell->font)
            return &*cell->font;
    }
    return nullptr;
}
