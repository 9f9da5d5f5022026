#include "cells/cmcClipCh.h"

#include "cells/datRecordLayout.h"
#include "image/cmcEeprom.h"

#include <algorithm>

cmcClipCh::~cmcClipCh() = default;

void cmcClipCh::Clear()
{
    records_.clear();
    kind_ = 0;
    first_ = 0;
}

void cmcClipCh::Copy(const cmcEeprom& image, int kind, int first, int count)
{
    Clear();
    const int slots = datSlotsOf(kind);
    const int from = std::max(first, 0);
    const int to = std::min(first + count, slots);
    if (to <= from)
        return;
    records_.reserve(static_cast<std::size_t>(to - from));
    for (int i = from; i < to; ++i) {
        datCh rec(image);
        ReadOne(image, rec, kind, i);
        records_.push_back(rec);
    }
    kind_ = kind;
    first_ = from;
}

void cmcClipCh::ReadOne(const cmcEeprom& image, datCh& rec, int kind, int index)
{
    rec = datCh(image);
    rec.decode(kind, index);
}

bool cmcClipCh::Has(int kind) const
{
    return !records_.empty() && kind_ == kind;
}

int cmcClipCh::Paste(cmcEeprom& image, int kind, int first, int count)
{
    if (!Has(kind) || first < 0)
        return 0;
    const int n = std::min({count, Count(), datSlotsOf(kind) - first});
    for (int i = 0; i < n; ++i) {
        datCh rec = records_[static_cast<std::size_t>(i)]; // the clipboard keeps its copy
        WriteOne(image, rec, first + i);
    }
    return std::max(n, 0);
}

void cmcClipCh::WriteOne(cmcEeprom& image, datCh& rec, int index)
{
    rec.SetImage(image);
    rec.encode(rec.Kind(), index);
}
