#include "cells/clLogic.h"

#include "cells/cmcCellNames.h"

#include <array>

namespace {
constexpr std::array<std::string_view, clLogicCount> logicNames{{
#define CL_NAME(name) #name,
#include "cells/clLogicNames.def"
#undef CL_NAME
}};

// Filled on first use; a name listed twice stops the program there.
const cmcHash& logicIndex()
{
    static const cmcHash table = [] {
        cmcHash hash(4099);
        cmcFillNameHash(hash, logicNames);
        return hash;
    }();
    return table;
}
} // namespace

std::string_view clLogicName(int index)
{
    if (index < 0 || index >= clLogicCount)
        return {};
    return logicNames[static_cast<std::size_t>(index)];
}

int clLogicIndex(std::string_view name)
{
    const auto* node = logicIndex().Find(name);
    return node != nullptr ? node->value : -1;
}
