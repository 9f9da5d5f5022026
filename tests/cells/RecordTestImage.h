#pragma once
// Small images for the record tests: a blank working image of the image size with the used
// counts set, and a default image whose blank records carry recognisable template bytes.
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "cells/datRecordLayout.h"
#include "cells/datSwitches.h"
#include "image/cmcEeprom.h"
#include "image/cmcImageGeometry.h"

#include <cstdint>
#include <string>

// Restores the program's model switches when a test ends.
class SwitchesGuard {
public:
    SwitchesGuard() : saved_(datSwitches()) {}
    ~SwitchesGuard() { datSwitches() = saved_; }
    SwitchesGuard(const SwitchesGuard&) = delete;
    SwitchesGuard& operator=(const SwitchesGuard&) = delete;

private:
    datModelSwitches saved_;
};

inline void MakeBlankImage(cmcEeprom& image)
{
    image.SetSize(cmcImageSize);
}

// A default image: every slot of every kind holds the same blank template, whose text
// fields read "BLANK" so a record copied from it is easy to recognise.
inline void MakeDefaultImage(cmcEeprom& image)
{
    MakeBlankImage(image);
    for (int kind = 1; kind < datKindCount; ++kind) {
        for (int i = 0; i < datSlotsOf(kind); ++i) {
            datCh rec(image);
            rec.decode(kind, i);
            for (const datFieldDef* f : datFieldsOf(kind)) {
                if (f->compose == datCompose::Text)
                    rec.SetText(f->field, "BLANK");
            }
            rec.encode(kind, i);
        }
    }
}

// Programs channel slot with a receive frequency and a name.
inline void ProgramChannel(cmcEeprom& image, int slot, std::uint32_t rxHz, const std::string& name)
{
    datCh ch(image);
    ch.decode(datKindChannel, slot);
    ch.Set(datField::ChRxFreq, rxHz);
    ch.Set(datField::ChTxFreq, rxHz);
    ch.SetText(datField::ChName, name);
    ch.encode(datKindChannel, slot);
}

inline std::uint32_t RxFreqOf(const cmcEeprom& image, int slot)
{
    datCh ch(image);
    ch.decode(datKindChannel, slot);
    return ch.Get(datField::ChRxFreq);
}

inline std::string NameOf(const cmcEeprom& image, int slot)
{
    datCh ch(image);
    ch.decode(datKindChannel, slot);
    return ch.Text(datField::ChName);
}
