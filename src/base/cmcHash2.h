#pragma once
// Text -> pointer hash table (the selection label records). The table stores the pointer
// only; the records belong to whoever inserted them.
#include "base/cmcHashTable.h"

template <class T> class cmcHash2 : public cmcHashTable<T*> {
public:
    explicit cmcHash2(std::uint32_t buckets = 0) : cmcHashTable<T*>(buckets, "Overlapped Hash2 table.") {}
};
