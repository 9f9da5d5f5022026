#include "cells/cmcCellNames.h"

#include <vector>

std::optional<std::uint32_t> cmcColourByName(std::string_view name)
{
    static const cmcHash table = [] {
        cmcHash hash;
        for (const cmcColourName& colour : cmcColourNames)
            hash.Insert(colour.name, static_cast<std::int32_t>(colour.value));
        return hash;
    }();
    const auto* node = table.Find(name);
    if (node == nullptr)
        return std::nullopt;
    return static_cast<std::uint32_t>(node->value);
}

std::optional<int> cmcFindName(std::span<const cmcIntName> table, std::string_view name)
{
    for (const cmcIntName& entry : table) {
        if (entry.name == name)
            return entry.value;
    }
    return std::nullopt;
}

void cmcFillNameHash(cmcHash& hash, std::span<const std::string_view> names)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        hash.Insert(names[i], static_cast<std::int32_t>(i));
}
