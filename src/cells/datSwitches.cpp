#include "cells/datSwitches.h"

datModelSwitches& datSwitches()
{
    static datModelSwitches switches;
    return switches;
}
