#pragma once
// Text -> 32-bit integer hash table (the colour names of the cell attributes).
#include "base/cmcHashTable.h"

class cmcHash : public cmcHashTable<std::int32_t> {
public:
    explicit cmcHash(std::uint32_t buckets = 0) : cmcHashTable(buckets, "Overlapped Hash table.") {}
};
