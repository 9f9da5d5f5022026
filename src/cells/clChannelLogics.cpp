// Placeholder until this family's logics are written: it binds no logic yet.
#include "cells/clFamilies.h"

std::span<const clBinding> clChannelLogics() { return {}; }
