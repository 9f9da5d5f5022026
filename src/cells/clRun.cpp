#include "cells/clRun.h"

#include "cells/indDocument.h"

cmcEeprom& clRun::Image() const { return host.Document().Working(); }

const cmcEeprom& clRun::Default() const { return host.Document().Default(); }
