#pragma once
// The record clipboard: copies of consecutive records of one kind. Copy reads records from
// an image, paste writes them back at another place (of the same or another image).
#include "cells/datCh.h"

#include <vector>

class cmcEeprom;

class cmcClipCh {
public:
    cmcClipCh() = default;
    virtual ~cmcClipCh();
    cmcClipCh(const cmcClipCh&) = delete;
    cmcClipCh& operator=(const cmcClipCh&) = delete;

    // Empties the clipboard (kind 0).
    virtual void Clear();
    // Clears, then reads records first .. first + count - 1 of kind from image; records
    // outside the kind's places are left out.
    virtual void Copy(const cmcEeprom& image, int kind, int first, int count);
    // Decodes record index of kind from image into rec.
    virtual void ReadOne(const cmcEeprom& image, datCh& rec, int kind, int index);
    // Not empty and holding records of kind.
    [[nodiscard]] virtual bool Has(int kind) const;
    // When the clipboard holds kind: writes at most count of its records, the first at
    // first, none past the kind's places. Answers how many it wrote.
    virtual int Paste(cmcEeprom& image, int kind, int first, int count);
    // Encodes rec as record index of image.
    virtual void WriteOne(cmcEeprom& image, datCh& rec, int index);

    [[nodiscard]] int Kind() const { return kind_; }
    [[nodiscard]] int First() const { return first_; }
    [[nodiscard]] int Count() const { return static_cast<int>(records_.size()); }
    [[nodiscard]] const std::vector<datCh>& Records() const { return records_; }

private:
    std::vector<datCh> records_;
    int kind_ = 0;
    int first_ = 0;
};
