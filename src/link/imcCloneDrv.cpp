#include "link/imcCloneDrv.h"

#include "cells/indModelData.h"

imcCloneDrv::imcCloneDrv(cmcLinkFactory& links) : cmcCloneDrv(links)
{
    SetModelWords(static_cast<std::uint16_t>(indModelWord1), static_cast<std::uint16_t>(indModelWord2));
}
