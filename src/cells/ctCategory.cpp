#include "cells/ctCategory.h"

#include "base/cmcFatal.h"
#include "base/cmcText.h"
#include "cells/cmcCellNames.h"

namespace {
// Filled on first use; a name listed twice stops the program there.
const cmcHash& categoryIndex()
{
    static const cmcHash table = [] {
        std::array<std::string_view, ctCategoryCount> names{};
        for (std::size_t i = 0; i < names.size(); ++i)
            names[i] = ctCategories[i].name;
        cmcHash hash;
        cmcFillNameHash(hash, names);
        return hash;
    }();
    return table;
}
} // namespace

int ctRecordKind(int category)
{
    if (category == ctNoCategory)
        return 0;
    if (category < 0 || category > ctNoCategory)
        cmcFatalStop(Format("Unknown Cell Category. (%d)", category));
    return ctCategories[static_cast<std::size_t>(category)].recordKind;
}

int ctCategoryIndex(std::string_view name)
{
    const auto* node = categoryIndex().Find(name);
    return node != nullptr ? node->value : -1;
}
