#include "cells/CellHost.h"

#include "cells/datClipCh.h"
#include "cells/indCloneInfo.h"

datClipCh& CellHost::Clipboard()
{
    static datClipCh clipboard;
    return clipboard;
}

std::string CellHost::SerialNumber() const
{
    const indCloneInfo* info = CloneInfo();
    return info ? info->SerialNumber() : std::string();
}
