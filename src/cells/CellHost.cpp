#include "cells/CellHost.h"

#include "cells/datClipCh.h"

datClipCh& CellHost::Clipboard()
{
    static datClipCh clipboard;
    return clipboard;
}
