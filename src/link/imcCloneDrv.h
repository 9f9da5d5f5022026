#pragma once
// The model's clone driver: the plain driver with this model's words in its frames. It is
// the place of the adjustment exchanges (sub-commands of the 0xE8 service frame, kinds 4 to
// 8, steps 20 to 28, through modelFirstStep, runModelStep and modelTimeout); those are not
// part of it yet, so an operation of an adjustment kind would end at once with code 2.
#include "link/cmcCloneDrv.h"

class imcCloneDrv : public cmcCloneDrv {
public:
    explicit imcCloneDrv(cmcLinkFactory& links);
};
